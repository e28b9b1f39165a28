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

// "YYYY-MM-DD" with a month and a day that can be.
bool iso_date(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digits(text.substr(0, 4)) ||
        !digits(text.substr(5, 2)) || !digits(text.substr(8, 2)))
        return false;
    const int month = std::stoi(std::string(text.substr(5, 2)));
    const int day = std::stoi(std::string(text.substr(8, 2)));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}


std::string enforced_text(std::string_view iso)
{
    return iso.empty() ? std::string("施行日不明") : japanese_date(iso) + "施行";
}

} // namespace

bool read_law_editions(Database& db, std::vector<LawEdition>& editions)
{
    editions.clear();
    try {
        if (!db.has_table("T_版"))
            return true;
        auto rs = db.execute("SELECT T_版.* FROM T_版, T_法 WHERE T_版.ID_HN = T_法.ID_HN AND T_法.[表示] = YES "
                             "ORDER BY T_版.ID_HN");
        for (; !rs->eof(); rs->move_next())
            editions.push_back({rs->text("ID_HN"), rs->text("題名"), rs->text("法令番号"), rs->text("施行日"), rs->text("版ID"), {}});
        rs->close();
        if (!db.has_table("T_旧版"))
            return true;
        rs = db.execute("SELECT * FROM T_旧版 ORDER BY ID_HN, 施行日 DESC, 版ID DESC");
        for (; !rs->eof(); rs->move_next()) {
            const std::string law = rs->text("ID_HN");
            for (LawEdition& e : editions)
                if (e.law == law)
                    e.earlier.push_back({rs->text("題名"), rs->text("施行日"), rs->text("版ID")});
        }
    } catch (const ComponentError&) {
        editions.clear();
        return false;
    }
    return true;
}

void mark_outdated_editions(std::vector<LawEdition>& editions, const LawFamilies& families, std::string_view today)
{
    // Two years before today, as a date string compares.
    std::string limit;
    if (iso_date(today))
        limit = std::to_string(std::stoi(std::string(today.substr(0, 4))) - 2) + std::string(today.substr(4));
    for (LawEdition& e : editions) {
        e.outdated = false;
        if (!iso_date(e.enforced))
            continue;
        e.outdated = !limit.empty() && e.enforced < limit;
        for (const std::string& parent : families.parents(e.law))
            for (const LawEdition& other : editions)
                if (other.law == parent && iso_date(other.enforced) && e.enforced < other.enforced)
                    e.outdated = true;
    }
}

std::string japanese_date(std::string_view iso)
{
    if (!iso_date(iso))
        return std::string(iso);
    const int year = std::stoi(std::string(iso.substr(0, 4)));
    const int month = std::stoi(std::string(iso.substr(5, 2)));
    const int day = std::stoi(std::string(iso.substr(8, 2)));
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

std::string outdated_edition_notice(std::string_view iso)
{
    std::string date(iso);
    if (iso_date(iso)) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", std::stoi(std::string(iso.substr(0, 4))),
                      std::stoi(std::string(iso.substr(5, 2))), std::stoi(std::string(iso.substr(8, 2))));
        date = buffer;
    }
    return "この法令の本文は" + date + "施行時点のものです。それ以後の改正は含まれていません。";
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
        text += "\n　" + enforced_text(e.enforced);
        if (e.outdated)
            text += "　※古い版です。それ以後の改正は含まれていません。";
        for (const EarlierEdition& earlier : e.earlier) {
            text += "\n　旧版　" + enforced_text(earlier.enforced);
            if (earlier.title != e.title)
                text += "（" + earlier.title + "）";
        }
    }
    return text;
}

} // namespace velto
