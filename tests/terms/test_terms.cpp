// Defined terms on the reader's own folder (the whole laws of the collection,
// imported from the official data): which definition a word has where it is
// used, what the pages underline, how a definition's source is named, and
// the two verbs of the command line.
#include "citations/provision_name.h"
#include "citations/term_peek.h"
#include "terms/definition_finder.h"
#include "tests/compose_fixture.h"
#include "tests/program/program_folders.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <regex>

using namespace velto;
using namespace velto::test;

namespace {

// 法第二条 and 令第一条, the items that define the words below.
constexpr char kMainStructure[] = "01A-00020000-00-0100-0500-0000-0000";   // 主要構造部
constexpr char kFireResisting[] = "01A-00020000-00-0100-0700-0000-0000";   // 耐火構造
constexpr char kQuasiFireResisting[] = "01A-00020000-00-0100-0720-0000-0000"; // 準耐火構造
constexpr char kSite[] = "01B-00010000-00-0100-0100-0000-0000";            // 敷地
// 「（以下この条において「対象区域」という。）」 in 法第五十六条の二第一項.
constexpr char kTargetArea[] = "01A-00560200-00-0100-0000-0000-0000";
// 「以下この条において「増築等」という。」 in 法第八十六条の七第一項.
constexpr char kExtension[] = "01A-00860700-00-0100-0000-0000-0000";

class TermsOfTheCollection : public ::testing::Test {
protected:
    static void SetUpTestSuite() { reader = new Reader(kProgramDir); }
    static void TearDownTestSuite()
    {
        delete reader;
        reader = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(reader->started);
        ASSERT_NE(reader->doc.term_book(), nullptr);
        ASSERT_TRUE(reader->doc.term_book()->available());
    }
    static std::string page(const std::string& id, bool marks = true)
    {
        reader->doc.toggles().TermMarks = marks ? 1 : 0;
        std::string html;
        EXPECT_TRUE(reader->doc._html_build(id, true, html)) << id;
        reader->doc.toggles().TermMarks = 1;
        return html;
    }
    static std::string mark_of(const std::string& term, const std::string& definition)
    {
        return std::string("data-term=\"") + definition + "\" style=\"border-bottom: 1px dotted #707070; position: relative\">" + term +
               "</span>";
    }

    static Reader* reader;
};

Reader* TermsOfTheCollection::reader = nullptr;

// ---------------------------------------------------------------------------
// The forms of a definition, on sentences of the collection.

TEST(DefinitionFinder, ReadsTheFormsTheLawsDefineIn)
{
    struct Row {
        const char* id;
        const char* text;
        std::string found; // "term unit from_here" per definition, joined by "|"
    };
    const Row rows[] = {
        {"01B-00010000-00-0100-0000-0000-0000", "この政令において次の各号に掲げる用語の意義は、それぞれ当該各号に定めるところによる。", ""},
        {"01B-00010000-00-0100-0100-0000-0000", "敷地　一の建築物又は用途上不可分の関係にある二以上の建築物のある一団の土地をいう。", "敷地 0 0"},
        {"01B-00010000-00-0200-0100-0000-0000", "地階　床が地盤面下にある階をいう。", ""}, // another paragraph's item
        {"01A-00040000-00-0100-0000-0000-0000", "…の事務（以下この条において「確認等事務」という。）をつかさどらせる", "確認等事務 3 1"},
        {"09A-00100300-00-0400-0000-0000-0000", "一級建築士（以下それぞれ「構造設計一級建築士」又は「設備設計一級建築士」という。）は",
         "構造設計一級建築士 0 1|設備設計一級建築士 0 1"},
        {"01B-01350500-00-0100-0000-0000-0000", "この章において「天空率」とは、次の式によつて計算した数値をいう。", "天空率 1 0"},
        {"04A-00040000-00-0100-0000-0000-0000", "この法律において「都市計画」とは、都市の健全な発展と秩序ある整備を図るための…をいう。",
         "都市計画 0 0"},
        {"01A-00070300-00-0600-0000-0000-0000", "（[第18条]第三十一項及び第三十五項において「特定工程後の工程」と総称する。）", ""},
        {"01A-00020000-00-0200-0000-0000-0000", "建築物（…をいう。以下同じ。）", ""},
        {"01A-00060000-00-0100-0000-0000-0000", "前項の「一時間準耐火基準」とは、…", "一時間準耐火基準 3 0"}, // its article
        {"01B-00820000-00-0100-0000-0000-0000", "前条第二項第一号イに規定する保有水平耐力計算とは、次の…をいう。",
         "保有水平耐力計算 0 0"},
        {"01B-00820000-00-0200-0000-0000-0000", "前項の場合において建築物とは、…", ""}, // a clause, not a word
        // Unquoted, after the sentence that says so: 消防法第二条.
        {"03A-00020000-00-0100-0000-0000-0000", "この法律の用語は左の例による。", ""},
        {"03A-00020000-00-0200-0000-0000-0000", "防火対象物とは、山林又は舟車…をいう。", "防火対象物 0 0"},
        {"03A-00030000-00-0100-0000-0000-0000", "消防長とは、…", ""}, // the next article
        // Broken text is no definition, and is read without fault.
        {"01A-00080000-00-0100-0000-0000-0000", "この法律において」とは「以下「", ""},
        {"01A-00080000-00-0200-0000-0000-0000", "（以下この条において「」という。）以下「a「b」という", ""},
        {"01A-00080000-00-0300-0000-0000-0000", "以下", ""},
    };
    std::vector<LawSentence> sentences;
    for (const Row& row : rows)
        sentences.push_back({row.id, row.text});
    std::map<std::string, std::string> found;
    for (const DefinedTerm& t : find_definitions(sentences)) {
        std::string& line = found[t.sentence];
        line += (line.empty() ? "" : "|") + t.term + " " + std::to_string(static_cast<int>(t.unit)) + " " +
                (t.from_here ? "1" : "0");
    }
    for (const Row& row : rows)
        EXPECT_EQ(found[row.id], row.found) << row.text;
}

// ---------------------------------------------------------------------------
// Which definition a word has in a sentence: its scope and the inheritance of
// an order from its act applied.

TEST_F(TermsOfTheCollection, AWordMeansWhatTheDefinitionInScopeSays)
{
    struct Row {
        const char* sentence;
        const char* term;
        std::string definition; // empty: nothing defines the word there
    };
    const Row rows[] = {
        {"01A-00210000-00-0100-0000-0000-0000", "主要構造部", kMainStructure}, // 法第二十一条: the act's own item
        {"01A-00010000-00-0100-0000-0000-0000", "建築物", "01A-00020000-00-0100-0100-0000-0000"}, // before 第二条
        {"01B-01120000-00-0100-0000-0000-0000", "主要構造部", kMainStructure}, // 令第百十二条: the act's word
        {"01B-00020000-00-0100-0100-0000-0000", "敷地", kSite},                // 令第一条 in the order
        {"01A-00040000-00-0200-0000-0000-0000", "確認等事務", "01A-00040000-00-0100-0000-0000-0000"}, // later in 第四条
        {"01A-00560200-00-0400-0000-0000-0000", "対象区域", kTargetArea},      // in its article
        {"01A-00570500-00-0400-0000-0000-0000", "対象区域", ""},               // outside it
        {"01A-00860200-00-0100-0000-0000-0000", "増築等", ""},                 // before and outside it
        {"04A-00050000-00-0100-0000-0000-0000", "都市計画区域", "04A-00040000-00-0200-0000-0000-0000"}, // 「…」とは
        {"03A-00080000-00-0100-0000-0000-0000", "防火対象物", "03A-00020000-00-0200-0000-0000-0000"}, // unquoted
        {"01B-01120000-00-0100-0000-0000-0000", "定義語なし", ""},
    };
    TermBook& book = *reader->doc.term_book();
    for (const Row& row : rows) {
        const std::optional<DefinedTerm> t = book.term_at(row.sentence, row.term);
        EXPECT_EQ(t ? t->sentence : std::string(), row.definition) << row.term << " in " << row.sentence;
    }
}

// ---------------------------------------------------------------------------
// The pages: uses underlined within their scope, the longest word first, and
// nothing else of the page changed.

TEST_F(TermsOfTheCollection, PagesUnderlineTheUsesOfTheirTerms)
{
    struct Row {
        const char* page;
        std::string mark;
        bool present;
    };
    const Row rows[] = {
        {"01B-01120000-00", mark_of("主要構造部", kMainStructure), true},
        {"01B-01120000-00", mark_of("準耐火構造", kQuasiFireResisting), true},
        {"01B-01120000-00", "準<span class=\"vt-term\" data-term=\"" + std::string(kFireResisting), false},
        {"01B-00200000-00", mark_of("敷地", kSite), true},
        {"01A-00560200-00", mark_of("対象区域", kTargetArea), true},
        {"01A-00570500-00", "data-term=\"" + std::string(kTargetArea), false},
        {"01A-00860200-00", "data-term=\"" + std::string(kExtension), false},
        {"01C-00010300-00", mark_of("建築物", "01A-00020000-00-0100-0100-0000-0000"), true}, // a rule, too
        {"01A-T0010000-00", mark_of("特殊建築物", "01A-00020000-00-0100-0200-0000-0000"), true}, // 別表第一
    };
    for (const Row& row : rows)
        EXPECT_EQ(page(row.page).find(row.mark) != std::string::npos, row.present) << row.page << ": " << row.mark;
}

TEST_F(TermsOfTheCollection, MarksChangeNothingElseAndStayOutOfLinks)
{
    const std::regex mark("<span class=\"vt-term\" data-term=\"[0-9A-Z-]{35}\" style=\"[^\"]*\">([^<]*)</span>");
    const std::regex link_with_mark("<a [^>]*>[^]*?vt-term[^]*?</a>");
    for (const char* id : {"01B-01120000-00", "01A-00020000-00", "01A-00060000-00", "01B-00010000-00", "01B-01290000-00",
                           "01A-T0010000-00"}) {
        const std::string marked = page(id);
        EXPECT_NE(marked.find("class=\"vt-term\""), std::string::npos) << id;
        EXPECT_EQ(std::regex_replace(marked, mark, "$1"), page(id, false)) << id;
        std::string links;
        for (std::size_t at = marked.find("<a "); at != std::string::npos; at = marked.find("<a ", at + 1))
            links += marked.substr(at, marked.find("</a>", at) - at);
        EXPECT_EQ(links.find("vt-term"), std::string::npos) << id;
    }
}

// The sample's pages, whose laws define words too: with TermMarks off, and on
// a database without its terms table, every page is the page as it was before
// terms were marked.
TEST(SampleTerms, PagesWithoutMarksAreThePagesAsTheyWere)
{
    TempDir bare;
    std::filesystem::copy_file(kSampleDir + "VT2014.m88", bare.file("VT2014.m88"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(bare.file("VT2014.m88").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE T_用語", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    Reader sample(kSampleDir), without_table(bare.path());
    ASSERT_TRUE(sample.started && without_table.started);
    ASSERT_TRUE(sample.doc.term_book()->available());
    ASSERT_FALSE(without_table.doc.term_book()->available());
    // Pictures are named by their folder, which differs.
    const auto in_folder = [](std::string html, const std::string& folder) {
        const std::string path = std::filesystem::canonical(folder).string();
        for (std::size_t at = html.find(path); at != std::string::npos; at = html.find(path, at))
            html.replace(at, path.size(), "DIR");
        return html;
    };
    std::size_t pages = 0, marked = 0;
    for (const HistoryEntry& e : sample.doc.pages().pages()) {
        std::string on, off, bare_page;
        sample.doc._html_build(e.id, true, on);
        sample.doc.toggles().TermMarks = 0;
        sample.doc._html_build(e.id, true, off);
        sample.doc.toggles().TermMarks = 1;
        without_table.doc._html_build(e.id, true, bare_page);
        EXPECT_EQ(in_folder(off, kSampleDir), in_folder(bare_page, bare.path())) << e.id;
        ++pages;
        marked += on != off;
    }
    EXPECT_GT(pages, 0u);
    EXPECT_GT(marked, 0u); // the sample's 建築基準法 underlines its terms when they are on
    EXPECT_TRUE(sample.reporter.messages().empty() && without_table.reporter.messages().empty());
}

// ---------------------------------------------------------------------------
// A definition's source, as the law of the page names it.

TEST(ProvisionName, NamesTheProvisionAsTheLawsCiteIt)
{
    struct Row {
        const char* sentence;
        bool single_paragraph;
        const char* name;
    };
    const Row rows[] = {
        {kMainStructure, true, "第二条第五号"},
        {kMainStructure, false, "第二条第一項第五号"},
        {"01B-01120000-00-1800-0000-0000-0000", false, "第百十二条第十八項"},
        {"01A-00060200-00-0100-0300-0000-0000", false, "第六条の二第一項第三号"},
        {"01A-00020000-00-0100-0920-0100-0000", true, "第二条第九号の二イ"},
        {"01A-F0000000-61-0370-0000-0000-0000", false, ""}, // a supplementary provision
        {"01A-0002", true, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(provision_name(row.sentence, row.single_paragraph), row.name) << row.sentence;
}

TEST_F(TermsOfTheCollection, TheSourceIsNamedAsThePagesLawNamesIt)
{
    TermPeek peek(reader->doc);
    EXPECT_EQ(peek.source_name(kMainStructure, "01B"), "法第二条第五号");
    EXPECT_EQ(peek.source_name(kMainStructure, "01A"), "法第二条第五号"); // the act's own short name
    EXPECT_EQ(peek.source_name(kSite, "01C"), "令第一条第一号");
    EXPECT_EQ(peek.source_name(kMainStructure, "03A"), "建築基準法第二条第五号");

    PeekTarget target;
    std::string html;
    ASSERT_TRUE(peek.compose(kMainStructure, "主要構造部", "01B", target, html));
    EXPECT_EQ(target.page, "01A-00020000-00");
    EXPECT_EQ(target.anchor, kMainStructure);
    EXPECT_TRUE(target.named); // a click opens the definition itself
    EXPECT_NE(html.find("法第二条第五号　「主要構造部」"), std::string::npos);
    EXPECT_NE(html.find("壁、柱、床"), std::string::npos);
}

// ---------------------------------------------------------------------------
// The command line.

TEST(TermVerbs, PrintTheTermsOfALawAndTheDefinitionOfAWordInUse)
{
    TempDir scratch;
    struct Row {
        const char* args;
        int status;
        std::string out; // a line the output holds
    };
    const Row rows[] = {
        {"--terms 01A", 0, std::string("主要構造部\t") + kMainStructure + "\tこの法令\n"},
        {"--terms 建築基準法施行令", 0, std::string("敷地\t") + kSite + "\tこの法令\n"},
        {"--terms 01A", 0, std::string("対象区域\t") + kTargetArea + "\t以下この条\n"},
        {"--term-at 01B-01120000-00-0100-0000-0000-0000 主要構造部", 0, std::string(kMainStructure) + "\n"},
        {"--term-at 01A-00860200-00-0100-0000-0000-0000 増築等", 1, ""},
        {"--term-at 01B-01120000-00-0100-0000-0000-0000 定義語なし", 1, ""},
        {"--term-at 01B-99990000-00-0100-0000-0000-0000 主要構造部", 1, ""},
        {"--terms 99Z", 1, ""},
        {"--term-at 01B-01120000-00-0100-0000-0000-0000", 1, ""},
    };
    for (const Row& row : rows) {
        const ToolRun run = run_reader(kProgramDir, row.args, scratch);
        EXPECT_EQ(run.status, row.status) << row.args << "\n" << run.err;
        if (row.status == 0)
            EXPECT_NE(run.out.find(row.out), std::string::npos) << row.args;
        else
            EXPECT_TRUE(run.out.empty() && !run.err.empty()) << row.args;
    }
}

} // namespace
