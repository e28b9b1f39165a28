// velto-import on a collection: a manifest of laws and earlier editions in one
// write, the 法 and 令 of an order or rule, the forms of a rule, earlier
// editions kept, and what stops a collection.
#include "core/database.h"
#include "tests/fixtures.h"
#include "tests/tools/import_fixture.h"
#include "tools/import/collection.h"
#include "tools/import/importer.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velto;
using namespace velto::import;
using namespace velto::test;

namespace {

const std::string kImporter = VELTO_BINARY_DIR "/velto-import";

// Files named as e-Gov names them, so that each tells its law and edition.
constexpr const char* kAct2020 = "399AC0000000001_20200101_000000000000000.xml";
constexpr const char* kAct2025 = "399AC0000000001_20250101_507AC0000000001.xml";
constexpr const char* kOrder = "399CO0000000002_20200101_000000000000000.xml";
constexpr const char* kRule = "399M60000800003_20200101_000000000000000.xml";

// 試験法 and its order and rule; the act of 2025 has its first article reworded.
class CollectionImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        write_file(dir.file(kAct2020), kLaw);
        write_file(dir.file(kAct2025), replaced(kLaw, "この法律は、", "この法律は、改めて"));
        const std::string order = replaced(replaced(kLaw, ">試験法<", ">試験法施行令<"),
                                           "建築士法第三条及び第四条の規定並びにこの法律の第九条第一項の規定による。",
                                           "法第九条及び法第十条並びに令第九条の規定による。");
        write_file(dir.file(kOrder), replaced(order, "昭和二十五年法律第二百一号", "昭和二十五年政令第二号"));
        const std::string rule = replaced(replaced(kLaw, ">試験法<", ">試験法施行規則<"),
                                          "建築士法第三条及び第四条の規定並びにこの法律の第九条第一項の規定による。",
                                          "法第六条の二及び令第九条の規定による。");
        write_file(dir.file(kRule), replaced(rule, "</LawBody>",
                                             "<AppdxNote><AppdxNoteTitle>別記</AppdxNoteTitle></AppdxNote>"
                                             "<AppdxStyle><AppdxStyleTitle>第一号様式（第一条関係）</AppdxStyleTitle>"
                                             "<StyleStruct><Style><Fig src=\"./pict/1.jpg\"/></Style></StyleStruct></AppdxStyle>"
                                             "<AppdxFig><AppdxFigTitle>別図第１　試験体</AppdxFigTitle>"
                                             "<FigStruct><Fig src=\"./pict/2.jpg\"/></FigStruct></AppdxFig></LawBody>"));
    }

    bool import(const std::string& manifest, std::string& error, CollectionSummary* out = nullptr)
    {
        write_file(dir.file("collection.txt"), manifest);
        CollectionSummary summary;
        const bool ok = import_collection({database(), dir.file("collection.txt"), "", 60}, summary, error);
        if (out)
            *out = summary;
        return ok;
    }
    std::string database() const { return dir.file("VT2014.m88"); }
    std::string value(const std::string& sql)
    {
        Database db;
        db.open("Data Source=" + database() + ";", "admin", "");
        auto rs = db.execute(sql);
        return rs->eof() ? std::string("(none)") : rs->text("v");
    }

    TempDir dir;
};

} // namespace

namespace {
// The citations of 05B 第6条の2: 法 is its act; the act has no 第十条; 令 names no other law here.
const std::vector<std::string> kOrderCitations = {"法第九条 05A-00090000-00", "法第十条 (存在しない規定)",
                                                  "第九条 (収録されていない法令)"};
} // namespace

TEST_F(CollectionImport, OneRunWritesEveryLawWithItsEarlierEditions)
{
    std::string error;
    CollectionSummary summary;
    ASSERT_TRUE(import(std::string("# 試験法\n05A current ") + kAct2025 + " 試法\n05A earlier " + kAct2020 +
                           "\n\n05B current " + kOrder + "\n05C current " + kRule + "  # with forms\n",
                       error, &summary))
        << error;
    EXPECT_EQ(summary.laws, 3);
    EXPECT_EQ(summary.earlier, 1);
    EXPECT_EQ(ids_in(database(), "SELECT ID_HN AS id FROM T_法 ORDER BY ID_HN"),
              (std::vector<std::string>{"05A", "05B", "05C"}));
    EXPECT_EQ(value("SELECT 法名略式 AS v FROM T_法 WHERE ID_HN = '05A'"), "試法");
    EXPECT_EQ(value("SELECT 版ID AS v FROM T_版 WHERE ID_HN = '05A'"), "399AC0000000001_20250101_507AC0000000001");
    EXPECT_EQ(value("SELECT 施行日 AS v FROM T_版 WHERE ID_HN = '05C'"), "2020-01-01");

    // The earlier edition, under the identifiers of the current one, and nowhere the reader lists pages.
    EXPECT_EQ(ids_in(database(), "SELECT 版ID || ' ' || ID_HN || ' ' || 施行日 AS id FROM T_旧版"),
              (std::vector<std::string>{"399AC0000000001_20200101_000000000000000 05A 2020-01-01"}));
    EXPECT_EQ(value("SELECT count(*) AS v FROM T_旧条"), value("SELECT count(*) AS v FROM T_条 WHERE ID_FN LIKE '05A-%'"));
    EXPECT_EQ(value("SELECT 法文 AS v FROM T_旧文 WHERE ID_BN = '05A-00010000-00-0100-0000-0000-0000'")
                  .find("改めて"), std::string::npos);
    EXPECT_NE(value("SELECT 法文 AS v FROM T_文 WHERE ID_BN = '05A-00010000-00-0100-0000-0000-0000'")
                  .find("改めて"), std::string::npos);
    EXPECT_EQ(value("SELECT count(*) AS v FROM T_旧表 WHERE ID_BN = '05A-T0020000-00-0000-0000-0000-0000'"), "1");

    // 法 and 令 of the order and the rule are their own act and order, as the titles tell;
    // a citation of an article the act lacks stays text, and the text keeps the law's words.
    EXPECT_EQ(value("SELECT 法文 AS v FROM T_文 WHERE ID_BN = '05B-00060200-00-0100-0000-0000-0000'"),
              "法第九条及び法第十条並びに令第九条の規定による。");
    EXPECT_EQ(citations_in(database(), "05B-00060200-00-0100-0000-0000-0000"), kOrderCitations);
    EXPECT_EQ(citations_in(database(), "05C-00060200-00-0100-0000-0000-0000"),
              (std::vector<std::string>{"法第六条の二 05A-00060200-00", "令第九条 05B-00090000-00"}));

    // The rule's forms and figures: a line each on its 別記 page, named as left out.
    const std::string forms = value("SELECT 表式データ AS v FROM T_表 WHERE ID_BN = '05C-T9990000-00-0000-0000-0000-0000'");
    EXPECT_NE(forms.find("<p><b>別記</b></p>"), std::string::npos) << forms;
    EXPECT_NE(forms.find("<p>別記第一号様式（第一条関係）（省略）</p>"), std::string::npos) << forms;
    EXPECT_NE(forms.find("<p>別図第１　試験体（省略）</p>"), std::string::npos) << forms;
    EXPECT_EQ(value("SELECT 条名 AS v FROM T_条 WHERE ID_FN = '05C-T9990000-00'"), "様式・別図");
    EXPECT_EQ(value("SELECT count(*) AS v FROM T_条 WHERE ID_FN = '05A-T9990000-00'"), "0"); // the act has none
}

TEST_F(CollectionImport, AFaultAnywhereStopsTheImportNamingThePlaceAndWritesNothing)
{
    write_file(dir.file("broken.xml"), kLaw.substr(0, kLaw.size() / 2));
    const std::string act = std::string("05A current ") + kAct2025 + "\n";
    const struct {
        const char* name;
        std::string manifest;
        std::vector<std::string> message; // parts the message must hold
    } cases[] = {
        {"broken file", act + "05B current " + kOrder + "\n05C current broken.xml\n",
         {"collection.txt:3: ", "broken.xml", "line", "not well-formed XML"}},
        {"missing file", act + "05B current absent.xml\n", {"collection.txt:2: ", "absent.xml"}},
        {"unknown edition", act + "05B newest " + kOrder + "\n", {"collection.txt:2: ", "\"newest\""}},
        {"bad code", "05AA current " + std::string(kOrder) + "\n", {"collection.txt:1: ", "\"05AA\""}},
        {"the reader's own pages", "00A current " + std::string(kOrder) + "\n", {"collection.txt:1: ", "00A"}},
        {"nothing", "# only a comment\n", {"collection.txt", "names no law file"}},
        {"earlier without current", act + "05B earlier " + kOrder + "\n",
         {"collection.txt:2: ", "05B, which has no current text"}},
        {"earlier of another law", act + "05A earlier " + kOrder + "\n",
         {"collection.txt:2: ", "399CO0000000002, not an edition of 05A"}},
        {"earlier that is the current text", act + "05A earlier " + kAct2025 + "\n",
         {"collection.txt:2: ", "is the current text of 05A (line 1)"}},
        {"one law under two codes", act + "06A current " + kAct2020 + "\n",
         {"collection.txt:2: ", "試験法 (399AC0000000001) is 05A already (line 1)"}},
        {"one code for two laws", act + "05A current " + kOrder + "\n",
         {"collection.txt:2: ", "05A has a current text of another law already (line 1)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(import(c.manifest, error));
        for (const std::string& part : c.message)
            EXPECT_NE(error.find(part), std::string::npos) << error;
        EXPECT_FALSE(std::filesystem::exists(database())) << "no database, not even a part of one";
        EXPECT_FALSE(std::filesystem::exists(database() + ".importing"));
    }

    // An existing database stays as it was, byte for byte; the command line says so.
    std::string error;
    ASSERT_TRUE(import(act, error)) << error;
    const std::string before = read_file(database());
    write_file(dir.file("collection.txt"), act + "05C current broken.xml\n");
    TempDir scratch;
    const ToolRun run = run_tool(kImporter, "--db " + database() + " --manifest " + dir.file("collection.txt"), scratch);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("collection.txt:2: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("the database is unchanged"), std::string::npos) << run.err;
    EXPECT_EQ(read_file(database()), before);
}

TEST_F(CollectionImport, ALawImportedTwiceKeepsOneLaw)
{
    // Twice in one manifest: the later line, as two imports in a row.
    std::string error;
    CollectionSummary summary;
    ASSERT_TRUE(import(std::string("05A current ") + kAct2020 + "\n05A current " + kAct2025 + "\n", error, &summary))
        << error;
    EXPECT_EQ(summary.laws, 1);
    ASSERT_EQ(summary.notes.size(), 1u);
    EXPECT_NE(summary.notes[0].find(std::string(kAct2020) + " passed over: line 2 gives 05A again"), std::string::npos)
        << summary.notes[0];
    EXPECT_EQ(value("SELECT count(*) AS v FROM T_法"), "1");
    EXPECT_EQ(value("SELECT 版ID AS v FROM T_版"), "399AC0000000001_20250101_507AC0000000001");
    const std::string pages = value("SELECT count(*) AS v FROM T_条");

    // Again, by the one-law command line: replaced, not added.
    TempDir scratch;
    const ToolRun run = run_tool(kImporter, "--db " + database() + " --law-id 05A " + dir.file(kAct2025), scratch);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(value("SELECT count(*) AS v FROM T_法"), "1");
    EXPECT_EQ(value("SELECT count(*) AS v FROM T_版"), "1");
    EXPECT_EQ(value("SELECT count(*) AS v FROM T_条"), pages);
}

// --- earlier editions of one law ---

TEST_F(CollectionImport, TheReplacedEditionIsKeptWhenAskedFor)
{
    const auto one = [&](const std::string& file, bool earlier, bool keep, std::string& error) {
        ImportOptions options{database(), dir.file(file), "05A", {}, 60, {}};
        options.earlier = earlier;
        options.keep_replaced = keep;
        ImportSummary summary;
        return import_law(options, summary, error);
    };
    std::string error;
    EXPECT_FALSE(one(kAct2020, true, false, error)); // no current text to stand beside
    EXPECT_NE(error.find("law 05A is not in the database"), std::string::npos) << error;
    ASSERT_TRUE(one(kAct2020, false, false, error)) << error;
    EXPECT_FALSE(one(kAct2020, true, false, error));
    EXPECT_NE(error.find("is its current edition, not an earlier one"), std::string::npos) << error;
    EXPECT_FALSE(one(kOrder, true, false, error));
    EXPECT_NE(error.find("law 05A is 399AC0000000001; " + std::string(kOrder) + " is an edition of 399CO0000000002"),
              std::string::npos)
        << error;
    const std::string sentences = value("SELECT count(*) AS v FROM T_文");

    ASSERT_TRUE(one(kAct2025, false, true, error)) << error;
    EXPECT_EQ(value("SELECT 版ID AS v FROM T_版"), "399AC0000000001_20250101_507AC0000000001");
    EXPECT_EQ(value("SELECT 版ID || ' ' || 施行日 AS v FROM T_旧版"), "399AC0000000001_20200101_000000000000000 2020-01-01");
    EXPECT_EQ(value("SELECT count(*) AS v FROM T_旧文"), sentences);
    // The same text again keeps nothing more; a text without a revision id cannot be kept.
    ASSERT_TRUE(one(kAct2025, false, true, error)) << error;
    EXPECT_EQ(value("SELECT count(*) AS v FROM T_旧版"), "1");
    write_file(dir.file("law.xml"), kLaw);
    ASSERT_TRUE(one("law.xml", false, false, error)) << error;
    EXPECT_FALSE(one(kAct2025, false, true, error));
    EXPECT_NE(error.find("has no revision id"), std::string::npos) << error;
}

TEST_F(CollectionImport, AnOrderImportedAloneFindsItsActByTitle)
{
    TempDir scratch;
    ASSERT_EQ(run_tool(kImporter, "--db " + database() + " --law-id 05A " + dir.file(kAct2025), scratch).status, 0);
    const ToolRun order = run_tool(kImporter, "--db " + database() + " --law-id 05B " + dir.file(kOrder), scratch);
    ASSERT_EQ(order.status, 0) << order.err;
    EXPECT_EQ(citations_in(database(), "05B-00060200-00-0100-0000-0000-0000"), kOrderCitations);
    // --refer names another law for the links of the tables; the citations of
    // the sentences are resolved, with every import, by the laws' titles.
    ASSERT_EQ(run_tool(kImporter, "--db " + database() + " --law-id 05B --refer 法=05C " + dir.file(kOrder), scratch)
                  .status,
              0);
    EXPECT_EQ(citations_in(database(), "05B-00060200-00-0100-0000-0000-0000"), kOrderCitations);
}
