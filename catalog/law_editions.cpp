#include "catalog/law_editions.h"

#include "catalog/visible_text.h"

#include <cstdio>
#include <set>

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


// Two years before `today`, as a date string compares; empty when `today` is no date.
std::string two_years_before(std::string_view today)
{
    if (!iso_date(today))
        return {};
    return std::to_string(std::stoi(std::string(today.substr(0, 4))) - 2) + std::string(today.substr(4));
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
            editions.push_back({rs->text("ID_HN"), rs->text("題名"), rs->text("法令番号"), rs->text("施行日"), rs->text("版ID"), {}, {}, false});
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

namespace {

// The main-provision sentences of a statement's rows, by identifier, marks removed.
std::vector<std::pair<std::string, std::string>> main_sentences(Database& db, const std::string& statement)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (auto rs = db.execute(statement); !rs->eof(); rs->move_next())
        rows.emplace_back(rs->text("ID_BN"), visible_text(rs->text("法文")));
    return rows;
}

// True when the main provision of `law` in the earlier edition `revision`
// has exactly the sentences the current text has.
bool same_main_provision(Database& db, const std::string& law, const std::string& revision)
{
    // Supplementary provisions (F) and appended tables (T) are not compared.
    const std::string main = " AND MID(ID_BN, 5, 1) <> 'F' AND MID(ID_BN, 5, 1) <> 'T' ORDER BY ID_BN";
    const auto earlier = main_sentences(db, "SELECT ID_BN, 法文 FROM T_旧文 WHERE 版ID = '" + sql_escape(revision) + "'" + main);
    return !earlier.empty() &&
           earlier == main_sentences(db, "SELECT ID_BN, 法文 FROM T_文 WHERE LEFT(ID_BN, 3) = '" + sql_escape(law) + "'" + main);
}

} // namespace

void read_main_provision_dates(Database& db, std::vector<LawEdition>& editions, const LawFamilies& families,
                               std::string_view today)
{
    if (!db.has_table("T_旧文"))
        return;
    const std::string limit = two_years_before(today);
    std::set<std::string> compared;
    for (const LawEdition& child : editions) {
        // A text outdated by its age is marked whatever its act says.
        if (!iso_date(child.enforced) || (!limit.empty() && child.enforced < limit))
            continue;
        for (const std::string& parent : families.parents(child.law)) {
            for (LawEdition& act : editions) {
                if (act.law != parent || !iso_date(act.enforced) || child.enforced >= act.enforced ||
                    !compared.insert(act.law).second)
                    continue;
                for (const EarlierEdition& earlier : act.earlier) {
                    if (!iso_date(earlier.enforced) || !same_main_provision(db, act.law, earlier.revision))
                        break;
                    act.main_since = earlier.enforced;
                }
            }
        }
    }
}

void mark_outdated_editions(std::vector<LawEdition>& editions, const LawFamilies& families, std::string_view today)
{
    const std::string limit = two_years_before(today);
    for (LawEdition& e : editions) {
        e.outdated = false;
        if (!iso_date(e.enforced))
            continue;
        e.outdated = !limit.empty() && e.enforced < limit;
        for (const std::string& parent : families.parents(e.law))
            for (const LawEdition& other : editions)
                if (other.law == parent && iso_date(other.enforced) &&
                    e.enforced < (other.main_since.empty() ? other.enforced : other.main_since))
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
