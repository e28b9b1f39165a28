// velto-import on the official law data: counts, pages, numbering and references.
#include "core/database.h"
#include "core/identifiers.h"
#include "compose/velto_doc.h"
#include "tests/fixtures.h"
#include "tests/tools/import_fixture.h"
#include "tools/dbbuild/file_replacement.h"
#include "tools/import/importer.h"
#include "tools/import/references.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <sqlite3.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

using namespace velto;
using namespace velto::import;
using velto::test::TempDir;
using namespace velto::test;

// --- the official data ---

namespace {

const std::string kEgov = std::string(VELTO_SHARED_DIR) + "/data/egov/";

struct RealLaw {
    std::string file;
    const char* id;
    std::vector<std::pair<std::string, std::string>> aliases;
};

// The two laws the project ships, unpacked by the build; and, where the shared
// law data is at hand, older versions of them and three laws in law XML.
const std::vector<RealLaw>& real_laws()
{
    static const std::vector<RealLaw> laws = [] {
        std::vector<RealLaw> all = {
            {VELTO_BINARY_DIR "/official/building_act.json", "01A", {}},
            {VELTO_BINARY_DIR "/official/order_full.json", "01B", {{"法", "01A"}}},
            {kEgov + "AMDlab_bsj-viewer/building-standards/lawdata.json", "02A", {}},
            {kEgov + "AMDlab_bsj-viewer/building-standards-enforcement-order/lawdata.json", "02B", {{"法", "02A"}}},
            {kEgov + "xml/327AC0000000231_20240401_505AC0000000063.xml", "03A", {}},
            {kEgov + "xml/405AC0000000088_20240401_504AC0100000052.xml", "04A", {}},
            {kEgov + "xml/417AC0000000086_20170401_428AC0000000062.xml", "05A", {}},
        };
        std::vector<RealLaw> present;
        for (RealLaw& law : all)
            if (std::filesystem::exists(law.file))
                present.push_back(std::move(law));
        return present;
    }();
    return laws;
}

bool have_law(const std::string& id)
{
    for (const RealLaw& law : real_laws())
        if (law.id == id)
            return true;
    return false;
}

struct Counts {
    int articles = 0, headings = 0, sentences = 0, supplements = 0, appended_tables = 0;
};

// Counted straight from the official tree, without the importer.
void count(const QJsonObject& node, bool in_main, Counts& c)
{
    const QString tag = node["tag"].toString();
    in_main = in_main || tag == "MainProvision";
    if (in_main) {
        c.articles += tag == "Article";
        c.headings += tag == "Part" || tag == "Chapter" || tag == "Section" || tag == "Subsection" || tag == "Division";
        c.sentences += tag == "Paragraph" || tag == "Item" || tag == "Subitem1" || tag == "Subitem2" || tag == "Subitem3";
    }
    c.supplements += tag == "SupplProvision";
    c.appended_tables += tag == "AppdxTable";
    for (const QJsonValue child : node["children"].toArray())
        if (child.isObject())
            count(child.toObject(), in_main, c);
}

Counts official_counts(const std::string& path)
{
    const std::string bytes = velto::test::read_file(path);
    Counts c;
    if (path.size() > 4 && path.substr(path.size() - 4) == ".xml")
        count(tree_of_xml(bytes), false, c);
    else
        count(QJsonDocument::fromJson(QByteArray::fromStdString(bytes))["law_full_text"].toObject(), false, c);
    return c;
}

class ImportRealData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        for (const RealLaw& law : real_laws()) {
            ImportSummary summary;
            std::string error;
            ImportOptions options{database(), law.file, law.id, {}, 60, law.aliases};
            ASSERT_TRUE(import_law(options, summary, error)) << error;
            summaries_[law.id] = summary;
        }
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(have_law("01A") && have_law("01B")) << "the build unpacks the official data";
        ASSERT_EQ(summaries_.size(), real_laws().size());
        db_.open("Data Source=" + database() + ";", "admin", "");
    }
    static std::string database() { return dir_->file("VT2014.m88"); }

    std::string text(const std::string& id_bn)
    {
        auto rs = db_.execute("SELECT * FROM T_文 WHERE ID_BN = '" + id_bn + "'");
        return rs->eof() ? "(no sentence " + id_bn + ")" : rs->text("法文");
    }
    int number(const std::string& sql)
    {
        auto rs = db_.execute(sql);
        return rs->number("n");
    }

    static TempDir* dir_;
    static std::map<std::string, ImportSummary> summaries_;
    Database db_;
};

TempDir* ImportRealData::dir_ = nullptr;
std::map<std::string, ImportSummary> ImportRealData::summaries_;

} // namespace

TEST_F(ImportRealData, CountsMatchTheOfficialFiles)
{
    for (const RealLaw& law : real_laws()) {
        SCOPED_TRACE(law.file);
        const Counts expected = official_counts(law.file);
        const std::string id = law.id;
        EXPECT_GT(expected.articles, 40);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_条 WHERE ID_FN LIKE '" + id + "-0%'"), expected.articles);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_章 WHERE ID_SN LIKE '" + id + "-%'"), expected.headings);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_文 WHERE ID_BN LIKE '" + id + "-0%'"), expected.sentences);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_条 WHERE ID_FN LIKE '" + id + "-F%'"), expected.supplements);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_条 WHERE ID_FN LIKE '" + id + "-T%'"), expected.appended_tables);
        // Every article page has sentences.
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_条 WHERE ID_FN LIKE '" + id +
                         "-0%' AND ID_FN NOT IN (SELECT substr(ID_BN, 1, 15) FROM T_文)"),
                  0);
    }
}

TEST_F(ImportRealData, EveryPageOpensThroughTheReadersStatements)
{
    IdentifierRules rules;
    std::vector<std::string> pages;
    for (auto rs = db_.execute("SELECT * FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND  T_条.[表示] = YES "
                               "AND  T_法.[表示] = YES ORDER BY [ID_FN]");
         !rs->eof(); rs->move_next())
        pages.push_back(rs->text("ID_FN"));
    EXPECT_GT(pages.size(), 900u);
    int sentences = 0;
    for (const std::string& id : pages) {
        IdKind kind;
        ASSERT_TRUE(IdentifierRules::_id_kind(id, kind)) << id;
        auto title = db_.execute("SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = '" + id + "' ");
        ASSERT_FALSE(title->eof()) << id;
        SectionFields section;
        ASSERT_TRUE(IdentifierRules::_parse_section_id(title->text("T_条.ID_SN"), 15, section)) << id;
        if (kind == IdKind::Table) {
            EXPECT_FALSE(db_.execute("SELECT * FROM T_表 WHERE ID_BN = '" + id + "-0000-0000-0000-0000' ORDER BY 順序")->eof()) << id;
            continue;
        }
        auto rs = db_.execute("SELECT * FROM T_文 WHERE LEFT([ID_BN], 15) = '" + id + "' ORDER BY [ID_BN]");
        ASSERT_FALSE(rs->eof()) << id;
        for (; !rs->eof(); rs->move_next(), ++sentences) {
            const std::string bn = rs->text("ID_BN");
            int depth = -1;
            ASSERT_TRUE(IdentifierRules::_sentence_depth(bn, depth)) << bn;
            std::string label;
            const bool labelled = rules._sentence_label(bn, label, 1u << depth, rs->text("書式コード"), false);
            if (kind == IdKind::Article) {
                EXPECT_TRUE(labelled) << bn;
                EXPECT_TRUE(!label.empty() || rs->text("書式コード") != "") << bn;
            } else {
                EXPECT_GE(depth, 1) << bn;
            }
            if (rs->number("表式") != 0) {
                EXPECT_FALSE(db_.execute("SELECT * FROM T_表 WHERE ID_BN = '" + bn + "' ORDER BY 順序")->eof()) << bn;
            }
        }
    }
    EXPECT_GT(sentences, 4000);
}

TEST_F(ImportRealData, WellKnownArticlesShowTheirOfficialNumberingAndText)
{
    // 建築基準法 第2条 第一号 建築物, 第九号の二 イ (2) (ii).
    const std::string article2 = "01A-00020000-00";
    EXPECT_EQ(tag_of(article2 + "-0100-0000-0000-0000"), "第2条");
    EXPECT_EQ(tag_of(article2 + "-0100-0100-0000-0000"), "一");
    EXPECT_EQ(text(article2 + "-0100-0100-0000-0000").rfind("建築物　土地に定着する工作物のうち、", 0), 0u);
    EXPECT_EQ(text(article2 + "-0100-0200-0000-0000").rfind("特殊建築物　学校", 0), 0u);
    EXPECT_EQ(tag_of(article2 + "-0100-0920-0000-0000"), "九の二");
    EXPECT_EQ(tag_of(article2 + "-0100-0920-0100-0000"), "イ");
    EXPECT_EQ(tag_of(article2 + "-0100-0920-0120-0000"), "(2)");
    EXPECT_EQ(tag_of(article2 + "-0100-0920-0122-0000"), "（ⅱ）");
    // 第6条第1項 and its items.
    const std::string article6 = "01A-00060000-00";
    EXPECT_EQ(text(article6 + "-0100-0000-0000-0000").rfind("建築主は、第一号若しくは第二号に掲げる建築物を", 0), 0u);
    EXPECT_EQ(tag_of(article6 + "-0100-0300-0000-0000"), "三");
    EXPECT_EQ(text(article6 + "-0100-0100-0000-0000").rfind("別表第一（い）欄に掲げる用途に供する特殊建築物", 0), 0u);
    EXPECT_EQ(tag_of(article6 + "-0200-0000-0000-0000"), "2");
    auto caption = db_.execute("SELECT * FROM T_条 WHERE ID_FN = '" + article6 + "'");
    EXPECT_EQ(caption->text("条名"), "建築物の建築等に関する申請及び確認");
    // The two versions of the act differ where the law changed; the text of 第1条 did not.
    if (have_law("02A"))
        EXPECT_EQ(text("01A-00010000-00-0100-0000-0000-0000"), text("02A-00010000-00-0100-0000-0000-0000"));
    if (!have_law("03A"))
        return;
    // 航空法 (XML): a heading and its article.
    auto chapter = db_.execute("SELECT * FROM T_章 WHERE ID_SN = '03A-0100-0000-0000-0000'");
    ASSERT_FALSE(chapter->eof());
    EXPECT_EQ(chapter->text("章名"), "総則");
}

TEST_F(ImportRealData, CitationsLinkWhereTheTargetIsCertain)
{
    const auto cites = [&](const std::string& id_bn, const std::string& entry) {
        const std::vector<std::string> all = citations_in(database(), id_bn);
        return std::find(all.begin(), all.end(), entry) != all.end();
    };
    // 2025 建築基準法: 第九条 in 第6条の2, 第六条の三 in 第6条, down to the paragraph;
    // 建築士法 is no law of this database and stays text.
    EXPECT_TRUE(cites("01A-00060200-00-0700-0000-0000-0000", "第九条第一項 01A-00090000-00 -0100-0000-0000-0000"));
    EXPECT_TRUE(cites("01A-00060000-00-0500-0000-0000-0000", "第六条の三第一項 01A-00060300-00 -0100-0000-0000-0000"));
    const std::string architects = text("01A-00060000-00-0300-0100-0000-0000");
    EXPECT_EQ(architects.rfind("建築士法第三条第一項、第三条の二第一項", 0), 0u) << architects;
    EXPECT_TRUE(cites("01A-00060000-00-0300-0100-0000-0000", "第三条第一項 (収録されていない法令)"));
    EXPECT_TRUE(cites("01A-00060000-00-0300-0100-0000-0000", "第三条の二第一項 (収録されていない法令)"));
    // The enforcement order: 法 is the act.
    EXPECT_TRUE(cites("01B-00060000-00-0100-0000-0000-0000", "法第五条の二第一項 01A-00050200-00 -0100-0000-0000-0000"));
    EXPECT_TRUE(cites("01B-00010000-00-0100-0500-0000-0000", "第百八条の二各号 01B-01080200-00"));
    // Supplementary provisions carry no links.
    EXPECT_EQ(number("SELECT count(*) AS n FROM T_引用 WHERE ID_BN LIKE '%-F%'"), 0);
    EXPECT_EQ(number("SELECT count(*) AS n FROM T_文 WHERE ID_BN LIKE '%-F%' AND 法文 LIKE '%[第%'"), 0);
}

TEST_F(ImportRealData, EveryImportedPageComposesWithoutAReport)
{
    const std::map<std::string, std::string> pages = composed_pages(dir_->path());
    for (const auto& [id, html] : pages)
        ASSERT_EQ(html.find("[第"), std::string::npos) << id << ": a reference was left unlinked";
    EXPECT_GT(pages.size(), 900u);
}
