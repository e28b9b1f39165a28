// The rows of the article list: labels, titles, page captions and images, as
// read from the database and as printed by velto --list.
#include "catalog/article_rows.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <tuple>

using namespace velto;
using velto::test::TempDir;

namespace {

const char* const kRowsSql = R"sql(
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法', -1);
INSERT INTO T_法 VALUES ('02K', '告示', '告', '告示', -1);
INSERT INTO T_法 VALUES ('03B', '隠れた令', '令', '隠れた令', 0);
INSERT INTO T_条 VALUES ('01A-00010000-00', NULL, '目的', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00020000-00', NULL, 'なし', NULL, NULL, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-00', NULL, '適用の除外', '', 3, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-01', NULL, '', '二', 3, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-02', NULL, '独自の名', 'なし', 3, 0, -1);
INSERT INTO T_条 VALUES ('01A-00040000-00', NULL, '隠れた条', '', 0, 0, 0);
INSERT INTO T_条 VALUES ('01A-00200200-00', NULL, NULL, NULL, NULL, 0, -1);
INSERT INTO T_条 VALUES ('01A-0005000-00',  NULL, '短い', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-F0000000-00', NULL, '附則の題', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-T0020100-00', NULL, '別表', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-Z0010000-00', NULL, '特別', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('02K-KC450101-00', NULL, '昭和の告示', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('02K-KD180543-00', NULL, '構造計算', '', 2, 0, -1);
INSERT INTO T_条 VALUES ('02K-KD180543-01', NULL, NULL, '続き', 2, 0, -1);
INSERT INTO T_条 VALUES ('03B-00010000-00', NULL, '隠れた法の条', '', 0, 0, -1);
)sql";

class ArticleRowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        velto::test::build_fixture_db(dir.file("t.m88"), {kRowsSql});
        db.open("Data Source=" + dir.file("t.m88") + ";", "admin", "");
    }

    TempDir dir;
    Database db;
    IdentifierRules rules;
    CapturingReporter reporter;
    ArticleRows rows;
};

} // namespace

TEST_F(ArticleRowsTest, LabelsTitlesAndImagesOfEveryKindOfPage)
{
    const int h18 = ArticleRows::notice_year_image(18);
    using Row = std::tuple<std::string, std::string, int>; // label, title, image
    const std::map<std::string, Row> expected{
        {"01A-00010000-00", {"1条", "目的", list_image::Page}},
        {"01A-00020000-00", {"2条", "", list_image::Page}},     // なし
        {"01A-00200200-00", {"20条の2", "", list_image::Page}}, // NULL title and split count
        {"01A-0005000-00", {"不明", "短い", list_image::Page}},
        {"01A-F0000000-00", {"附則", "", list_image::Page}}, // no title for supplementary provisions
        {"01A-T0020100-00", {"別表第2の1", "別表", list_image::Table}},
        {"01A-Z0010000-00", {"不明", "特別", list_image::Page}},
        // A split article: the title first, then the captions of the later pages ("なし" is none).
        {"01A-00030000-00", {"3条　01", "適用の除外", list_image::Page}},
        {"01A-00030000-01", {"3条　02", " ・ 二", list_image::SplitMiddle}},
        {"01A-00030000-02", {"3条　03", " ・ ", list_image::SplitLast}},
        {"02K-KC450101-00", {"昭45年 0101号", "昭和の告示", list_image::Showa}},
        {"02K-KD180543-00", {"平18年 0543号　01", "構造計算", h18 + 1}},
        {"02K-KD180543-01", {"平18年 0543号　02", " ・ 続き", list_image::SplitLast}},
    };
    std::map<std::string, Row> actual;
    for (const char* law : {"01A", "02K"}) {
        ASSERT_TRUE(rows.build(db, rules, reporter, law));
        for (const ArticleRow& row : rows.rows())
            actual[row.id] = {row.label, row.title, row.image};
    }
    EXPECT_EQ(actual, expected); // hidden pages stay out
    EXPECT_TRUE(reporter.messages().empty());

    EXPECT_EQ(ArticleRows::header("02K"), "告示番号");
    EXPECT_EQ(ArticleRows::header(""), "条");
}

TEST(ArticleRowImages, NoticeImagesByEraAndYear)
{
    // Heisei years with a picture of their own; the next index pictures the split notice's first page.
    const std::map<int, int> own{{12, 10}, {13, 12}, {14, 14}, {15, 20}, {16, 22}, {17, 24}, {18, 26},
                                 {19, 28}, {20, 30}, {21, 32}, {23, 34}, {25, 36}, {26, 38}};
    IdentifierRules rules;
    for (int year = 1; year <= 31; ++year) {
        char id[16];
        std::snprintf(id, sizeof id, "02K-KD%02d0001-00", year);
        const auto it = own.find(year);
        const int single = it != own.end() ? it->second : list_image::Heisei;
        EXPECT_EQ(ArticleRows::make_row(rules, id, "t", "c", 0).image, single) << id;
        EXPECT_EQ(ArticleRows::make_row(rules, id, "t", "c", 3).image, it != own.end() ? single + 1 : single) << id;
    }
    // Showa, the other eras and no era keep their image on a split first page.
    for (const char* id : {"02K-KC450101-00", "02K-KA100001-00", "02K-KB100001-00", "02K-Kd180001-00"}) {
        const int single = id[5] == 'C' ? list_image::Showa : list_image::Page;
        EXPECT_EQ(ArticleRows::make_row(rules, id, "t", "c", 0).image, single) << id;
        EXPECT_EQ(ArticleRows::make_row(rules, id, "t", "c", 2).image, single) << id;
    }
    // Identifiers of any length or content make a row without failing.
    for (const char* id : {"", "0", "01A-", "01A-00010000-0", "01A-00000000-00", "01A-K\xff"})
        EXPECT_EQ(ArticleRows::make_row(rules, id, "題", "補", 2).label.rfind("不明", 0), 0u) << id;
}

TEST_F(ArticleRowsTest, LawIdentifiersAreOnlyValuesAndFailuresAreReported)
{
    for (const char* law : {"", "0'1", "01A' OR '1'='1", "%"}) {
        EXPECT_TRUE(rows.build(db, rules, reporter, law)) << law;
        EXPECT_TRUE(rows.rows().empty()) << law;
    }
    EXPECT_TRUE(reporter.messages().empty());

    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("t.m88").c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "DROP TABLE T_条", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(writer);
    EXPECT_FALSE(rows.build(db, rules, reporter, "01A"));
    ASSERT_EQ(reporter.messages().size(), 1u);
    const auto& message = reporter.messages()[0];
    EXPECT_EQ(message.caption, "リストの生成");
    EXPECT_EQ(message.icon, MessageIcon::Stop);
    EXPECT_EQ(message.text.rfind("#importによって生成されたクラスに対し例外が生成されました。\n\n\tコード = ", 0), 0u);
    EXPECT_NE(message.text.find("\n\t説明 = no such table: T_条\n"), std::string::npos) << message.text;
    EXPECT_TRUE(message.text.ends_with("\n\t関数 = VListLst::_show()")) << message.text;
}

TEST(ArticleRowsCommandLine, PrintsTheRowsOfAShownLaw)
{
    TempDir program;
    TempDir scratch;
    velto::test::build_fixture_db(program.file("VT2014.m88"), {kRowsSql});
    std::string out;
    std::string err;
    const auto run = [&](const std::string& args) {
        const int raw = std::system((std::string(VELTO_BINARY_DIR) + "/velto --program-dir " + program.path() +
                                     " --settings " + scratch.file("s.ini") + " " + args + " >" +
                                     scratch.file("out") + " 2>" + scratch.file("err"))
                                        .c_str());
        out = velto::test::read_file(scratch.file("out"));
        err = velto::test::read_file(scratch.file("err"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    ASSERT_EQ(run("--list 02K"), 0) << err;
    EXPECT_EQ(out, "02K-KC450101-00\t昭45年 0101号\t昭和の告示\t8\n"
                   "02K-KD180543-00\t平18年 0543号　01\t構造計算\t" +
                       std::to_string(ArticleRows::notice_year_image(18) + 1) +
                       "\n"
                       "02K-KD180543-01\t平18年 0543号　02\t ・ 続き\t17\n");

    // Only laws the reader shows can be listed.
    EXPECT_EQ(run("--list 03B"), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "velto: the reader shows no law 03B\n");
}
