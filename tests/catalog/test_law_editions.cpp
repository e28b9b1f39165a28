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
INSERT INTO T_旧版 VALUES ('r0', '01A', '建築基準法', '昭和二十五年法律第二百一号', '325AC0000000201', '2019-12-01', '', 'd.xml');
INSERT INTO T_旧版 VALUES ('r1', '01A', '建築基準法', '昭和二十五年法律第二百一号', '325AC0000000201', '2023-06-16', '', 'e.json');
INSERT INTO T_旧版 VALUES ('r2', '01B', '建築基準法施行令', '', '', '2020-04-01', '', 'f.xml');
)sql"});
    std::vector<LawEdition> editions;
    {
        Database db;
        db.open("Data Source=" + file + ";", "admin", "");
        ASSERT_TRUE(read_law_editions(db, editions));
    }
    EXPECT_EQ(about_text(editions), "ヴェルト VelTo Ver.14.03\n\n収録している法令の本文:\n"
                                    "建築基準法（昭和二十五年法律第二百一号）\n　令和7年12月1日施行\n"
                                    "　旧版　令和5年6月16日施行\n　旧版　令和元年12月1日施行\n"
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

TEST(LawEditions, AnEditionIsOutdatedWhenOlderThanTwoYearsOrThanTheLawItCarriesOut)
{
    LawFamilies families;
    for (const auto& [law, title] : {std::pair{"03A", "消防法"}, {"03B", "消防法施行令"}, {"03C", "消防法施行規則"},
                                     {"09A", "建築士法"}})
        families.add_title(law, title, true);
    const struct {
        const char* today;
        const char* act;
        const char* order;
        const char* rule;
        bool act_old, order_old, rule_old;
    } cases[] = {
        {"2026-12-07", "2025-06-01", "2025-06-01", "2025-06-01", false, false, false},
        {"2026-12-07", "2025-06-01", "2024-12-07", "2025-06-01", false, true, false},  // the order lags the act
        {"2026-12-07", "2024-12-07", "2024-12-07", "2024-12-07", false, false, false}, // exactly two years
        {"2026-12-07", "2024-12-06", "2024-12-06", "2024-12-06", true, true, true},
        {"2026-12-07", "2025-06-01", "2025-06-01", "2025-05-31", false, false, true},  // the rule lags the order
        {"2026-12-07", "", "2020-01-01", "2025-06-01", false, true, false},            // an unknown date is no date
        {"", "2000-01-01", "2000-01-01", "2000-01-01", false, false, false},           // nor is an unknown today
    };
    for (const auto& c : cases) {
        std::vector<LawEdition> editions = {{"03A", "消防法", "", c.act, "", {}}, {"03B", "消防法施行令", "", c.order, "", {}},
                                            {"03C", "消防法施行規則", "", c.rule, "", {}},
                                            {"09A", "建築士法", "", "2026-01-01", "", {}}};
        mark_outdated_editions(editions, families, c.today);
        EXPECT_EQ(editions[0].outdated, c.act_old) << c.today << " " << c.act;
        EXPECT_EQ(editions[1].outdated, c.order_old) << c.today << " " << c.order;
        EXPECT_EQ(editions[2].outdated, c.rule_old) << c.today << " " << c.rule;
        EXPECT_FALSE(editions[3].outdated); // newer than 消防法, but of no family with it
    }
    EXPECT_EQ(outdated_edition_notice("2019-06-25"),
              "この法令の本文は2019年6月25日施行時点のものです。それ以後の改正は含まれていません。");
}

TEST(LawEditions, TheAboutTextMarksAnOutdatedEditionAndListsTheEarlierOnes)
{
    LawEdition act{"05A", "宅地造成及び特定盛土等規制法", "昭和三十六年法律第百九十一号", "2025-06-01", "r", {}};
    act.earlier = {{"宅地造成及び特定盛土等規制法", "2023-05-26", "r2"}, {"宅地造成等規制法", "2015-08-01", "r1"}};
    LawEdition order{"05B", "宅地造成等規制法施行令", "昭和三十七年政令第十六号", "2019-04-01", "r3", {}};
    order.outdated = true;
    EXPECT_EQ(about_text({act, order}), "ヴェルト VelTo Ver.14.03\n\n収録している法令の本文:\n"
                                        "宅地造成及び特定盛土等規制法（昭和三十六年法律第百九十一号）\n　令和7年6月1日施行\n"
                                        "　旧版　令和5年5月26日施行\n　旧版　平成27年8月1日施行（宅地造成等規制法）\n"
                                        "宅地造成等規制法施行令（昭和三十七年政令第十六号）\n"
                                        "　平成31年4月1日施行　※古い版です。それ以後の改正は含まれていません。");
}

TEST(LawFamilies, AnOrderOrRuleNamesItsActAndOrderByItsTitle)
{
    LawFamilies families;
    families.add_title("01A", "建築基準法", true);
    families.add_title("01B", "建築基準法施行令", true);
    families.add_title("01D", "建築基準法に基づく指定建築基準適合判定資格者検定機関等に関する省令", true);
    families.add_title("05A", "宅地造成及び特定盛土等規制法", true);
    families.add_title("05A", "宅地造成等規制法", false); // the act's title before 2023
    families.add_title("05B", "宅地造成等規制法施行令", true);
    families.add_title("05C", "宅地造成等規制法施行規則", true);
    families.add_title("09C", "建築士法施行規則", true);
    families.add_title("07D", "高齢者、障害者等が円滑に利用できるようにするために誘導すべき建築物特定施設の構造及び配置に関する基準を定める省令", true);
    using Aliases = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(families.aliases("01A"), Aliases{});
    EXPECT_EQ(families.aliases("01B"), (Aliases{{"法", "01A"}}));
    EXPECT_EQ(families.aliases("01D"), (Aliases{{"法", "01A"}, {"令", "01B"}}));
    EXPECT_EQ(families.aliases("05B"), (Aliases{{"法", "05A"}}));
    EXPECT_EQ(families.aliases("05C"), (Aliases{{"法", "05A"}, {"令", "05B"}}));
    EXPECT_EQ(families.aliases("09C"), Aliases{}); // its act is not here
    EXPECT_EQ(families.aliases("07D"), Aliases{});
    EXPECT_EQ(families.parents("05C"), (std::vector<std::string>{"05A", "05B"}));
}
