// Which text of each law the database holds, as the version dialog and
// `velto --version` say it.
#include "catalog/law_editions.h"
#include "tests/fixtures.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace velto;
using velto::test::TempDir;

TEST(LawEditions, DatesInTheJapaneseEra)
{
    const std::pair<const char*, const char*> cases[] = {
        {"2025-12-01", "令和7年12月1日"}, {"2019-05-01", "令和元年5月1日"}, {"2019-04-30", "平成31年4月30日"},
        {"1989-01-08", "平成元年1月8日"}, {"1989-01-07", "昭和64年1月7日"}, {"1950-11-16", "昭和25年11月16日"},
        {"1926-12-24", "大正15年12月24日"}, {"1912-07-30", "大正元年7月30日"}, {"1900-01-01", "明治33年1月1日"},
        {"1800-01-01", "1800-01-01"}, {"2025-13-01", "2025-13-01"}, {"2025-1-1", "2025-1-1"}, {"", ""},
        {"令和7年", "令和7年"},
    };
    for (const auto& [iso, japanese] : cases)
        EXPECT_EQ(japanese_date(iso), japanese) << iso;
}

TEST(LawEditions, TheEditionTheWindowNamesIsThatOfTheBuildingStandardsAct)
{
    const LawEdition act{"01A", "建築基準法", "", "2025-12-01", ""};
    const LawEdition order{"01B", "建築基準法施行令", "", "2026-04-01", ""};
    const LawEdition undated{"00B", "某法", "", "", ""};
    const LawEdition other{"03C", "消防法", "", "2024-04-01", ""};
    const struct {
        std::vector<LawEdition> editions;
        const char* caption;
    } cases[] = {
        {{act, order}, "建築基準法 令和7年12月1日施行"},
        {{undated, order, act, other}, "建築基準法 令和7年12月1日施行"}, // wherever it stands among many
        {{undated, order, other}, "建築基準法施行令 令和8年4月1日施行"}, // else the first law with a date
        {{LawEdition{"01A", "建築基準法", "", "", ""}, other}, "消防法 令和6年4月1日施行"},
        {{undated}, ""},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(edition_caption(c.editions), c.caption) << c.editions.size();
}

TEST(LawEditions, ReadFromTheDatabaseForTheLawsTheReaderShows)
{
    TempDir dir;
    const std::string file = dir.file("VT2014.m88");
    // 01B of the standard fixture is not shown.
    velto::test::build_fixture_db(file, {velto::test::standard_fixture_sql(), R"sql(
INSERT INTO T_版 VALUES ('01A', '建築基準法', '昭和二十五年法律第二百一号', '325AC0000000201', 'r', '2025-12-01', '', 'a.json');
INSERT INTO T_版 VALUES ('01B', '建築基準法施行令', '昭和二十五年政令第三百三十八号', '', '', '', '', 'b.json');
INSERT INTO T_版 VALUES ('02K', '告示<b>', '', '', '', '', '', 'c.xml');
)sql"});
    std::vector<LawEdition> editions;
    {
        Database db;
        db.open("Data Source=" + file + ";", "admin", "");
        ASSERT_TRUE(read_law_editions(db, editions));
    }
    EXPECT_EQ(about_text(editions), "ヴェルト VelTo Ver.14.03\n\n収録している法令の本文:\n"
                                    "建築基準法（昭和二十五年法律第二百一号）\n　令和7年12月1日施行\n"
                                    "告示<b>\n　施行日不明");
    EXPECT_EQ(about_text({}), "ヴェルト VelTo Ver.14.03");
    EXPECT_EQ(about_text({}, false), "ヴェルト VelTo Ver.14.03\n\n収録している法令の版を読めませんでした。");

    // A database made before the table existed has no editions, and that is no fault.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "DROP TABLE T_版", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
    Database db;
    db.open("Data Source=" + file + ";", "admin", "");
    EXPECT_TRUE(read_law_editions(db, editions));
    EXPECT_TRUE(editions.empty());
}
