#include "catalog/law_editions.h"

#include <cstdio>

namespace velto {

namespace {

constexpr std::string_view kProgramLine = "ヴェルト VelTo Ver.14.03";
// The law whose edition names the whole collection: 建築基準法.
constexpr std::string_view kBuildingStandardsAct = "01A";

struct Era {
    int from; // first day as YYYYMMDD
    const char* name;
};

constexpr Era kEras[] = {
    {20190501, "令和"}, {19890108, "平成"}, {19261225, "昭和"}, {19120730, "大正"}, {18680125, "明治"},
};

bool digits(std::string_view text)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

} // namespace

bool read_law_editions(Database& db, std::vector<LawEdition>& editions)
{
    editions.clear();
    try {
        if (db.execute("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'T_版'")->eof())
            return true;
        auto rs = db.execute("SELECT T_版.* FROM T_版, T_法 WHERE T_版.ID_HN = T_法.ID_HN AND T_法.[表示] = YES "
                             "ORDER BY T_版.ID_HN");
        for (; !rs->eof(); rs->move_next())
            editions.push_back({rs->text("ID_HN"), rs->text("題名"), rs->text("法令番号"), rs->text("施行日"), rs->text("版ID")});
    } catch (const ComponentError&) {
        editions.clear();
        return false;
    }
    return true;
}

std::string japanese_date(std::string_view iso)
{
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-' || !digits(iso.substr(0, 4)) || !digits(iso.substr(5, 2)) ||
        !digits(iso.substr(8, 2)))
        return std::string(iso);
    const int year = std::stoi(std::string(iso.substr(0, 4)));
    const int month = std::stoi(std::string(iso.substr(5, 2)));
    const int day = std::stoi(std::string(iso.substr(8, 2)));
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return std::string(iso);
    const int date = year * 10000 + month * 100 + day;
    for (const Era& era : kEras) {
        if (date < era.from)
            continue;
        const int era_year = year - era.from / 10000 + 1;
        std::string out = era.name;
        out += era_year == 1 ? std::string("元") : std::to_string(era_year);
        char rest[32];
        std::snprintf(rest, sizeof rest, "年%d月%d日", month, day);
        return out + rest;
    }
    return std::string(iso);
}

std::string edition_caption(const std::vector<LawEdition>& editions)
{
    const LawEdition* named = nullptr;
    for (const LawEdition& e : editions) {
        if (e.enforced.empty() || e.title.empty())
            continue;
        if (e.law == kBuildingStandardsAct)
            return e.title + " " + japanese_date(e.enforced) + "施行";
        if (!named)
            named = &e;
    }
    return named ? named->title + " " + japanese_date(named->enforced) + "施行" : std::string();
}

std::string about_text(const std::vector<LawEdition>& editions, bool readable)
{
    std::string text(kProgramLine);
    if (!readable)
        return text + "\n\n収録している法令の版を読めませんでした。";
    if (editions.empty())
        return text;
    text += "\n\n収録している法令の本文:";
    for (const LawEdition& e : editions) {
        text += "\n" + e.title;
        if (!e.number.empty())
            text += "（" + e.number + "）";
        text += "\n　" + (e.enforced.empty() ? std::string("施行日不明") : japanese_date(e.enforced) + "施行");
    }
    return text;
}

} // namespace velto
