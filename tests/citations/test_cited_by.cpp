// What cites an article and what a link points to, on the reader's own
// program folder (build/: the whole 建築基準法 and 施行令), checked against
// the official text of the 施行令.
#include "citations/cited_by.h"
#include "citations/link_peek.h"
#include "citations/readable_text.h"
#include "compose/velto_doc.h"
#include "core/kanji_numerals.h"
#include "tests/compose_fixture.h"
#include "tools/import/law_tree.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>

using namespace velto;
using velto::test::TempDir;

namespace {

using velto::test::Reader;

class WholeLaw : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        reader = new Reader(VELTO_BINARY_DIR "/");
        ASSERT_TRUE(reader->started);
        index = new ReverseLinkIndex(reader->doc);
        index->open(true);
        ASSERT_TRUE(index->ready() && index->stored()) << "the build writes the index into the database";
    }
    static void TearDownTestSuite()
    {
        delete index;
        delete reader;
    }
    static CVeltoDoc& doc() { return reader->doc; }

    // The sentences of page `page` whose ids begin with `scope`, as the reader reads them.
    static std::vector<std::pair<std::string, std::string>> sentences(const std::string& page, const std::string& scope)
    {
        std::vector<std::pair<std::string, std::string>> out;
        auto rs = doc().database().execute("SELECT ID_BN, 法文 FROM T_文 WHERE ID_BN > '" + page + "-' AND ID_BN < '" +
                                           page + ".' ORDER BY ID_BN");
        for (; !rs->eof(); rs->move_next()) {
            const std::string id = rs->text("ID_BN");
            if (id.rfind(scope, 0) == 0)
                out.emplace_back(id, readable_text(marked_links_html(id, rs->text("法文"), false)).text);
        }
        return out;
    }

    static Reader* reader;
    static ReverseLinkIndex* index;
};

Reader* WholeLaw::reader = nullptr;
ReverseLinkIndex* WholeLaw::index = nullptr;

// Every text of an element of the official tree, joined.
void collect_text(const import::Node& node, std::string& out)
{
    if (node.is_text())
        out += node.text;
    for (const import::Node& child : node.children)
        collect_text(child, out);
}

// The articles of the main provisions whose official text cites `words`
// ("法第六条", and not 法第六条の二), as page identifiers of law `law`.
void articles_citing(const import::Node& node, const std::string& law, const std::string& words,
                     std::set<std::string>& out, bool in_main = false)
{
    in_main = in_main || node.tag == "MainProvision";
    if (node.tag == "SupplProvision")
        return;
    if (in_main && node.tag == "Article") {
        std::string text;
        collect_text(node, text);
        for (std::size_t at = text.find(words); at != std::string::npos; at = text.find(words, at + 1)) {
            if (text.compare(at + words.size(), 3, "の") == 0)
                continue;
            int number[3] = {0, 0, 0};
            std::string num = *node.attribute("Num");
            for (int i = 0; i < 3 && !num.empty(); ++i) {
                const std::size_t sep = num.find('_');
                number[i] = std::stoi(num.substr(0, sep));
                num = sep == std::string::npos ? std::string() : num.substr(sep + 1);
            }
            char id[32];
            std::snprintf(id, sizeof id, "%s-%04d%02d%02d", law.c_str(), number[0], number[1], number[2]);
            out.insert(id);
            break;
        }
        return;
    }
    for (const import::Node& child : node.children)
        articles_citing(child, law, words, out, in_main);
}

} // namespace

// --- the sentences citing an article ---

TEST_F(WholeLaw, EveryOrderArticleWhoseOfficialTextCitesArticle6OfTheActIsListed)
{
    std::string bytes, error;
    ASSERT_TRUE(velto::read_input_file(VELTO_BINARY_DIR "/official/order_full.json", bytes, error)) << error;
    import::Node root;
    ASSERT_TRUE(import::parse_law_document(bytes, root, error)) << error;
    std::set<std::string> expected;
    articles_citing(root, "01B", "法第六条", expected);
    ASSERT_GE(expected.size(), 5u) << "the 施行令 cites 法第六条 in many articles";

    const CitedByList list = cited_by(doc(), *index, "01A-00060000-00");
    EXPECT_EQ(list.subject, "建築基準法 第6条");
    EXPECT_TRUE(list.message.empty());
    std::set<std::string> listed;
    for (const CitingSentence& row : list.sentences) {
        listed.insert(row.page.substr(0, 12));
        // The link's words are the law's own: the order writes 法第六条…
        if (row.page.compare(0, 3, "01B") == 0) {
            EXPECT_EQ(row.reference.rfind("法第六条", 0), 0u) << row.sentence << " " << row.reference;
        }
        EXPECT_FALSE(row.reference.empty()) << row.sentence;
        EXPECT_EQ(row.sentence.substr(0, 15), row.page);
        EXPECT_EQ(row.anchor.substr(0, 39), row.sentence + "-to-");
    }
    for (const std::string& article : expected)
        EXPECT_TRUE(listed.count(article)) << article << " cites 法第六条 and is not listed";

    // The rows say where they are, in the law's own words.
    const auto row = std::find_if(list.sentences.begin(), list.sentences.end(),
                                  [](const CitingSentence& r) { return r.page == "01B-00090000-00"; });
    ASSERT_NE(row, list.sentences.end());
    EXPECT_EQ(row->law, "建築基準法施行令");
    EXPECT_EQ(row->label, "第9条");
    std::string caption, supplement;
    ASSERT_TRUE(doc()._page_names(row->page, caption, supplement));
    EXPECT_EQ(row->caption, caption);
    EXPECT_EQ(row->before, "");
    EXPECT_EQ(row->reference, "法第六条第一項");
    EXPECT_EQ(row->after.substr(0, std::string("（法").size()), "（法");
}

TEST_F(WholeLaw, AnArticleNoOneCitesGivesAnEmptyListAndSaysSo)
{
    const CitedByList list = cited_by(doc(), *index, "01B-01500000-00");
    EXPECT_TRUE(list.sentences.empty());
    EXPECT_EQ(list.message, "建築基準法施行令 第150条 を引用している条文はありません。");

    EXPECT_EQ(cited_by(doc(), *index, "00A-Z0010000-00").message, "このページは引用される条文ではありません。");
    EXPECT_EQ(cited_by(doc(), *index, "no page").message, "このページは引用される条文ではありません。");
}

TEST_F(WholeLaw, EveryIndexedLinkIsALinkOfItsPage)
{
    // The index reads the links as the pages are made: each row's anchor is in its page.
    for (const char* target : {"01A-00060000", "01A-00200000", "01A-00020000"}) {
        std::map<std::string, std::string> pages;
        for (const SentenceLink& link : index->links_to(target)) {
            const std::string page = link.sentence.substr(0, 15);
            if (!pages.count(page)) {
                struct FullText : PageViewLink {
                    std::string current_page_id() const override { return {}; }
                    void rebuild_current_page() override {}
                    bool from_link() const override { return true; }
                } full;
                doc().set_page_view(&full);
                ASSERT_TRUE(doc()._html_build(page, pages[page])) << page;
                doc().set_page_view(nullptr);
            }
            // A citation of a paragraph or item links its first sentence, which begins with the article.
            EXPECT_NE(pages[page].find("id=\"" + link.anchor + "\" href='http://" + target), std::string::npos)
                << link.anchor;
        }
    }
}

TEST_F(WholeLaw, ADatabaseWithoutTheIndexBuildsItInTheBackgroundAndListsTheSame)
{
    TempDir dir;
    std::filesystem::copy_file(VELTO_BINARY_DIR "/VT2014.m88", dir.file("VT2014.m88"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("VT2014.m88").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE T_引", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    Reader old(dir.path());
    ASSERT_TRUE(old.started) << "a database without the table opens";
    ReverseLinkIndex built(old.doc);
    EXPECT_EQ(cited_by(old.doc, built, "01A-00060000-00").message, "引用の索引を作っています。しばらくお待ち下さい。");
    std::mutex lock;
    std::condition_variable finished;
    bool done = false, ok = false;
    built.open(false, [&](bool success) {
        std::lock_guard guard(lock);
        done = true;
        ok = success;
        finished.notify_one();
    });
    {
        std::unique_lock guard(lock);
        ASSERT_TRUE(finished.wait_for(guard, std::chrono::seconds(60), [&] { return done; }));
    }
    ASSERT_TRUE(ok && built.ready() && !built.stored());
    for (const char* page : {"01A-00060000-00", "01A-00870000-00", "02K-KD121400-00"}) {
        const CitedByList a = cited_by(old.doc, built, page), b = cited_by(doc(), *index, page);
        ASSERT_EQ(a.sentences.size(), b.sentences.size()) << page;
        for (std::size_t i = 0; i < a.sentences.size(); ++i)
            EXPECT_EQ(a.sentences[i].sentence + a.sentences[i].before + a.sentences[i].reference,
                      b.sentences[i].sentence + b.sentences[i].before + b.sentences[i].reference);
    }
}

// --- what a link points to ---

TEST_F(WholeLaw, APreviewShowsTheParagraphALinkPointsTo)
{
    const struct {
        const char* anchor;
        const char* link;
        const char* scope;   // the sentences shown
        const char* heading; // how the preview begins
        bool pinpoint;
    } cases[] = {
        // 法→令: the reference block of 法第28条, whose pinpoint target is 令第19条第1項.
        {"01A-00280000-00-0100-0000-0000-0000-to-01B-00190000-r01", "01B-00190000-00", "01B-00190000-00-0100",
         "建築基準法施行令 第19条第1項　【", true},
        // 令→法: the citation "法第六条第一項" links its paragraph, its items with it.
        {"01B-00040000-00-0200-0000-0000-0000-to-01A-00060000-p01", "01A-00060000-00-0100-0000-0000-0000",
         "01A-00060000-00-0100", "建築基準法 第6条第1項　【", false},
        // "法第六条第一項第一号": the item.
        {"01B-00140200-00-0100-0200-0000-0000-to-01A-00060000-p01", "01A-00060000-00-0100-0100-0000-0000",
         "01A-00060000-00-0100-0100", "建築基準法 第6条第1項第一号", false},
        // No words after the link: the article's first paragraph.
        {"", "01A-00200000-00", "01A-00200000-00-0100", "建築基準法 第20条　【", false},
    };
    LinkPeek peek(doc());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.anchor);
        PeekTarget target;
        std::string html;
        ASSERT_TRUE(peek.compose(c.anchor, c.link, target, html));
        EXPECT_EQ(target.scope, c.scope);
        EXPECT_EQ(target.pinpoint, c.pinpoint);
        EXPECT_EQ(target.heading.rfind(c.heading, 0), 0u) << target.heading;

        // The preview's text is the heading, then the paragraph as its page shows it.
        const auto expected = sentences(target.page, target.scope);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(target.anchor, expected.front().first);
        const std::string text = readable_text(html).text;
        EXPECT_EQ(text.rfind(target.heading, 0), 0u);
        std::size_t at = 0;
        for (const auto& [id, sentence] : expected) {
            EXPECT_NE(html.find("<a id=\"" + id + "\">"), std::string::npos) << id;
            at = text.find(sentence, at);
            EXPECT_NE(at, std::string::npos) << sentence;
        }
        // Nothing else: no other sentence, no reference block.
        std::size_t blocks = 0;
        for (std::size_t p = html.find("<a id=\""); p != std::string::npos; p = html.find("<a id=\"", p + 1))
            blocks += html.compare(p + 7, 16, target.page + "-") == 0 && html.compare(p + 42, 1, "\"") == 0;
        EXPECT_EQ(blocks, expected.size());
        EXPECT_EQ(html.find("-r01"), std::string::npos);
    }
}

TEST_F(WholeLaw, APreviewOfATableShowsItsFirstRowsAndOfANotificationItsTitle)
{
    LinkPeek peek(doc());
    PeekTarget target;
    std::string html;
    ASSERT_TRUE(peek.compose("", "01A-T0010000-00", target, html));
    EXPECT_EQ(target.heading.rfind("建築基準法 別表第1", 0), 0u) << target.heading;
    std::string page;
    ASSERT_TRUE(doc()._html_build("01A-T0010000-00", page));
    const auto rows = [](const std::string& h) {
        std::size_t n = 0;
        for (std::size_t p = h.find("<tr"); p != std::string::npos; p = h.find("<tr", p + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(rows(html), 5u);
    EXPECT_GT(rows(page), 5u);
    EXPECT_NE(html.find("<div>…</div>"), std::string::npos);

    ASSERT_TRUE(peek.compose("", "02K-KD121400-00", target, html));
    EXPECT_EQ(target.heading, "建築基準法関係告示 平12年 1400号　不燃材料を定める件");
    EXPECT_EQ(readable_text(html).text, target.heading);

    EXPECT_FALSE(peek.compose("", "00A-Z0010000-00", target, html)) << "the program's own pages";
    EXPECT_FALSE(peek.compose("", "01A-99990000-00", target, html)) << "a page the reader does not have";
    EXPECT_TRUE(html.empty());
    EXPECT_TRUE(reader->reporter.messages().empty());
}

// --- text as the reader reads it ---

TEST(ReadableText, WordsWithoutTagsAndWhereTheLinkStands)
{
    const struct {
        const char* html;
        const char* anchor;
        const char* text;
        const char* reference;
    } cases[] = {
        {"法<a id=\"k\" href='http://01A-00060000_VELTO'>第6条</a>第一項", "k", "法第6条第一項", "第6条"},
        {"<html><head><style>td { x }</style><title>t</title></head><body><table><tr><td>A&amp;B</td><td>C</td>"
         "</tr></table><!-- note --></body></html>",
         "", "A&B C", ""},
        {"  a\r\n\t b &#x5B;&#93;&nbsp;c &bogus; ", "", "a b [] c &bogus;", ""},
        {"<a id=\"x\" href='http://A_VELTO'>one</a> <a id=\"k\">two", "k", "one two", "two"},
        {"<a id=\"other\">x</a>", "k", "x", ""},
        {"<", "", "<", ""}, // opens no tag: text, as in a page
    };
    for (const auto& c : cases) {
        const ReadableText r = readable_text(c.html, c.anchor);
        EXPECT_EQ(r.text, c.text) << c.html;
        const std::string reference = r.reference_begin == std::string::npos
                                          ? std::string()
                                          : r.text.substr(r.reference_begin, r.reference_end - r.reference_begin);
        EXPECT_EQ(reference, c.reference) << c.html;
    }
}

TEST(ReadableText, ExcerptsAreCutOnCharactersWithEllipses)
{
    CitingSentence row;
    const std::string text = "一二三四五六七八九十REF一二三四五六七八九十";
    cut_excerpt(text, std::string("一二三四五六七八九十").size(), std::string("一二三四五六七八九十REF").size(), row, 3,
                4);
    EXPECT_EQ(row.before, "…八九十");
    EXPECT_EQ(row.reference, "REF");
    EXPECT_EQ(row.after, "一二三四…");
    cut_excerpt("短い", 0, 0, row);
    EXPECT_EQ(row.before + "|" + row.reference + "|" + row.after, "||短い");
}

TEST(LinkIndex, OneEntryPerArticleWithThePagesAnchors)
{
    const std::string id = "01B-00010000-00-0100-0000-0000-0000";
    const auto links = links_of_text(id, "法[第6条/01A]又は法[第6条/01A]、[第2条]、[L告示/02K-KD121400L]、[第十条]", false);
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].target, "01A-00060000");
    EXPECT_EQ(links[0].anchor, id + "-to-01A-00060000-p01");
    EXPECT_EQ(links[1].target, "01B-00020000");
    EXPECT_EQ(links[2].anchor, id + "-to-02K-KD121400-m01");
    EXPECT_EQ(links_of_text(id, "<td>[第3条]</td>", true).at(0).anchor, id + "-to-01B-00030000-t01");
    EXPECT_TRUE(links_of_text(id, "[第", false).empty());
}

// --- the command line ---

TEST_F(WholeLaw, TheCommandLinePrintsTheCitingSentencesOrWhyThereAreNone)
{
    TempDir scratch;
    const auto cited = [&](const std::string& id) {
        return velto::test::run_reader(VELTO_BINARY_DIR, "--cited-by '" + id + "'", scratch);
    };
    auto r = cited("01A-00060000-00");
    EXPECT_EQ(r.status, 0) << r.err;
    std::string expected;
    for (const CitingSentence& row : cited_by(doc(), *index, "01A-00060000-00").sentences)
        expected += row.page + "\t" + row.sentence + "\t" + row.before + row.reference + row.after + "\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_NE(r.out.find("01B-00090000-00\t01B-00090000-00-0100-0000-0000-0000\t法第六条第一項"), std::string::npos);
    r = cited("01B-01500000-00");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "建築基準法施行令 第150条 を引用している条文はありません。\n");
    r = cited("");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "このページは引用される条文ではありません。\n");
}
