#include "catalog/contents_tree.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdlib>

using namespace velto;
using velto::test::TempDir;

namespace {

std::string repeat(const std::string& piece, int times)
{
    std::string s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

// 150 Shift-JIS bytes: 75 full-width characters.
const std::string k150 = repeat("建", 75);

std::string tree_fixture_sql()
{
    return R"sql(
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法', -1);
INSERT INTO T_法 VALUES ('02A', '章のない法', '無', '章のない法', -1);
INSERT INTO T_法 VALUES ('03K', '告示集', '告', '告示集', -1);
INSERT INTO T_法 VALUES ('04A', '隠れた法', '隠', '隠れた法', 0);
INSERT INTO T_章 VALUES ('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0120-0000-0000-0000', '補則', NULL, NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0100-0100-0000-0000', '総則', '通則', NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0100-0100-0100-0000', '総則', '通則', '款名', NULL, 0);
INSERT INTO T_章 VALUES ('01A-0100-0100-0100-0100', '総則', '通則', '款名', '目名', 0);
INSERT INTO T_章 VALUES ('01A-0900-0100-0000-0000', NULL, '親のない節', NULL, NULL, 0);
INSERT INTO T_章 VALUES ('03K-0100-0000-0000-0000', '第一　防火', NULL, NULL, NULL, 1);
INSERT INTO T_条 VALUES ('01A-00010000-00', '01A-0100-0000-0000-0000', '目的', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00020000-00', '01A-0100-0100-0000-0000', 'なし', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-00', '01A-0100-0000-0000-0000', '適用', '', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-01', '01A-0100-0000-0000-0000', '', '第二項以下', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-00040000-00', '01A-0100-0000-0000-0000', ')sql" + k150 + R"sql(', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00050000-00', '01A-0100-0000-0000-0000', ')sql" + k150 + R"sql(x', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00050200-00', '01A-0100-0000-0000-0000', 'a)sql" + k150 + R"sql(', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00060200-00', '01A-0999-0000-0000-0000', '親は法', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-F0000000-00', '01A-0120-0000-0000-0000', '附則の題', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-T0020100-00', '01A-0120-0000-0000-0000', '別表', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-Z0010000-00', '01A-0120-0000-0000-0000', '特別', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00070000-00', '01A-0120-0000-0000-0000', '隠れた条', '', 0, 0, 0);
INSERT INTO T_条 VALUES ('02A-00010000-00', '02A-0000-0000-0000-0000', '趣旨', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('03K-KC450101-00', '03K-0100-0000-0000-0000', '昭和の告示', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('03K-KD120101-00', '03K-0100-0000-0000-0000', '平成12年', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('03K-KD190101-00', '03K-0100-0000-0000-0000', '平成19年', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('03K-KD260101-00', '03K-0100-0000-0000-0000', '平成26年', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('09X-00010000-00', '09X-0000-0000-0000-0000', '法のない条', '', 0, 0, -1);
)sql";
}

class ContentsTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        velto::test::build_fixture_db(dir.file("t.m88"), {tree_fixture_sql()});
        db.open("Data Source=" + dir.file("t.m88") + ";", "admin", "");
        ASSERT_TRUE(tree.build(db, rules, reporter));
        ASSERT_TRUE(reporter.messages().empty());
    }

    const TreeNode& node(const std::string& id)
    {
        const int i = tree.node_of(id);
        EXPECT_GE(i, 0) << id;
        return tree.nodes().at(static_cast<std::size_t>(std::max(i, 0)));
    }

    TempDir dir;
    Database db;
    IdentifierRules rules;
    CapturingReporter reporter;
    ContentsTree tree;
};

} // namespace

TEST_F(ContentsTreeTest, ListingShowsStructureBeforePagesInOrder)
{
    EXPECT_EQ(tree.listing(),
              "建築基準法\t01A\t1\n"
              "  1章　総則\t01A-0100-0000-0000-0000\t1\n"
              "    1節　通則\t01A-0100-0100-0000-0000\t1\n"
              "      1款　款名\t01A-0100-0100-0100-0000\t1\n"
              "        1目　目名\t01A-0100-0100-0100-0100\t1\n"
              "      2条　\t01A-00020000-00\t5\n"
              "    1条　目的\t01A-00010000-00\t5\n"
              "    3条　適用\t\t5\n"
              "      3条 (01)　\t01A-00030000-00\t3\n"
              "      3条 (02)　第二項以下\t01A-00030000-01\t3\n"
              // 150 bytes stay whole; 151 are cut to 150, or to 149 where the
              // 150th byte would split a character.
              "    4条　" + k150 + "\t01A-00040000-00\t5\n"
              "    5条　" + k150 + " ... \t01A-00050000-00\t5\n"
              "    5条の2　a" + repeat("建", 74) + " ... \t01A-00050200-00\t5\n"
              "  1章の2　補則\t01A-0120-0000-0000-0000\t1\n"
              "    附則　\t01A-F0000000-00\t5\n"
              "    別表第2の1　別表\t01A-T0020100-00\t4\n"
              "    不明　特別\t01A-Z0010000-00\t5\n"
              "  6条の2　親は法\t01A-00060200-00\t5\n"
              "章のない法\t02A\t1\n"
              "  1条　趣旨\t02A-00010000-00\t5\n"
              "告示集\t03K\t1\n"
              "  第一　防火\t03K-0100-0000-0000-0000\t1\n"
              "    昭45年 0101号　昭和の告示\t03K-KC450101-00\t6\n"
              "    平12年 0101号　平成12年\t03K-KD120101-00\t7\n"
              "    平19年 0101号　平成19年\t03K-KD190101-00\t8\n"
              "    平26年 0101号　平成26年\t03K-KD260101-00\t13\n"
              "1節　親のない節\t01A-0900-0100-0000-0000\t1\n");
}

TEST_F(ContentsTreeTest, MapsHoldLawsHeadingsAndPagesButNotSplitArticleNodes)
{
    EXPECT_EQ(node("01A").depth, 0);
    EXPECT_EQ(node("01A-0100-0100-0100-0100").depth, 4);
    EXPECT_EQ(node("01A-00030000-01").image, tree_image::SplitPage);
    const TreeNode& split = tree.nodes()[static_cast<std::size_t>(node("01A-00030000-01").parent)];
    EXPECT_EQ(split.id, "");
    EXPECT_EQ(tree.node_of("01A-00030000"), -1);
    EXPECT_EQ(tree.node_of("01A-00070000-00"), -1); // hidden page
    EXPECT_EQ(tree.node_of("04A"), -1);             // hidden law
    EXPECT_EQ(tree.node_of("09X-00010000-00"), -1); // no law to hang under
}

TEST(ContentsTreeBuild, EmptyLawTableIsReported)
{
    TempDir dir;
    velto::test::build_fixture_db(dir.file("t.m88"), {""});
    Database db;
    db.open("Data Source=" + dir.file("t.m88") + ";", "admin", "");
    IdentifierRules rules;
    CapturingReporter reporter;
    ContentsTree tree;
    EXPECT_FALSE(tree.build(db, rules, reporter));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].caption, "ツリーの生成");
    EXPECT_EQ(reporter.messages()[0].text,
              "テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n関数 = VTreeCtrl::_show()");
    EXPECT_TRUE(tree.nodes().empty());
}

TEST(ContentsTreeBuild, DatabaseFailureIsReportedAndKeepsWhatWasBuilt)
{
    TempDir dir;
    velto::test::build_fixture_db(dir.file("t.m88"), {R"sql(
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法', -1);
INSERT INTO T_章 VALUES ('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0);
)sql"});
    Database db;
    db.open("Data Source=" + dir.file("t.m88") + ";", "admin", "");
    // The page table goes away behind the reader's back once it is open.
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("t.m88").c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "DROP TABLE T_条", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(writer);
    IdentifierRules rules;
    CapturingReporter reporter;
    ContentsTree tree;
    EXPECT_FALSE(tree.build(db, rules, reporter));
    ASSERT_EQ(reporter.messages().size(), 1u);
    const auto& message = reporter.messages()[0];
    EXPECT_EQ(message.caption, "ツリーの生成");
    EXPECT_NE(message.text.find("\nコード = "), std::string::npos) << message.text;
    EXPECT_NE(message.text.find("\n説明 = no such table: T_条\n"), std::string::npos) << message.text;
    const std::string tail = "\n関数 = VTreeCtrl::_show()";
    ASSERT_GE(message.text.size(), tail.size());
    EXPECT_EQ(message.text.substr(message.text.size() - tail.size()), tail);
    EXPECT_EQ(tree.listing(), "建築基準法\t01A\t1\n"
                              "  1章　総則\t01A-0100-0000-0000-0000\t1\n");
}

namespace {

// Runs the program on a database of `sql`; its standard output and exit status.
std::string run_tree(const std::string& sql, int& status)
{
    TempDir program;
    velto::test::build_fixture_db(program.file("VT2014.m88"), {sql});
    const std::string out = program.file("tree.txt");
    const std::string command = std::string(VELTO_BINARY_DIR) + "/velto --program-dir " + program.path() +
                                " --settings " + program.file("s.ini") + " --tree >" + out + " 2>/dev/null";
    const int raw = std::system(command.c_str());
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return velto::test::read_file(out);
}

} // namespace

TEST_F(ContentsTreeTest, CommandLinePrintsTheListing)
{
    int status = -1;
    EXPECT_EQ(run_tree(tree_fixture_sql(), status), tree.listing());
    EXPECT_EQ(status, 0);
}

TEST(ContentsTreeBuild, APageWhoseFirstPageIsHiddenGetsItsOwnArticleNode)
{
    TempDir dir;
    velto::test::build_fixture_db(dir.file("t.m88"), {R"sql(
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法', -1);
INSERT INTO T_条 VALUES ('01A-00030000-00', '01A-0000-0000-0000-0000', '適用', '前', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-01', '01A-0000-0000-0000-0000', '', '後', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-00080000-00', '01A-0000-0000-0000-0000', '隠れた前半', '前', 2, 0, 0);
INSERT INTO T_条 VALUES ('01A-00080000-01', '01A-0000-0000-0000-0000', '', '後半', 2, 0, -1);
)sql"});
    Database db;
    db.open("Data Source=" + dir.file("t.m88") + ";", "admin", "");
    IdentifierRules rules;
    CapturingReporter reporter;
    ContentsTree tree;
    ASSERT_TRUE(tree.build(db, rules, reporter));
    EXPECT_EQ(tree.listing(), "建築基準法\t01A\t1\n"
                              "  3条　適用\t\t5\n"
                              "    3条 (01)　前\t01A-00030000-00\t3\n"
                              "    3条 (02)　後\t01A-00030000-01\t3\n"
                              "  8条　\t\t5\n"
                              "    8条 (02)　後半\t01A-00080000-01\t3\n");
}
