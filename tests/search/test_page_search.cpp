// Full-text search: which pages hold the words, how the result rows read, and
// that the database's search index answers exactly as the search statements do.
#include "search/like_text.h"
#include "search/page_search.h"
#include "search/search_index_writer.h"
#include "search/search_service.h"
#include "core/sjis.h"
#include "tests/compose_fixture.h"
#include "tests/tools/import_fixture.h"
#include "tools/dbgen/db_generator.h"
#include "tools/import/importer.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <set>

using namespace velto;
using namespace velto::test;

namespace {

// Searchable text on the composition fixture: a five-page article whose
// title and sentences hold different words, pages the reader does not show,
// Latin letters, a quote, a text with a NUL and one that is not valid UTF-8.
const char* const kSearchSql = R"sql(
UPDATE T_文 SET 検索用データ = 'この法律は、建築物の構造に関する最低の基準を定め、構造の安全を図る。'
  WHERE ID_BN = '01A-00010000-00-0100-0000-0000-0000';
UPDATE T_文 SET 検索用データ = '容積率は、10M3とする。' WHERE ID_BN = '01A-00520000-00-0100-0000-0000-0000';
UPDATE T_表 SET 検索用データ = '構造 用途 耐火' WHERE ID_BN = '01A-T0010000-00-0000-0000-0000-0000';
INSERT INTO T_条 VALUES ('01A-00300000-00', NULL, '防火壁等', '', 5, 0, -1);
INSERT INTO T_条 VALUES ('01A-00300000-01', NULL, '', '二', 5, 0, -1);
INSERT INTO T_条 VALUES ('01A-00300000-02', NULL, '', '三', 5, 0, -1);
INSERT INTO T_条 VALUES ('01A-00300000-03', NULL, '', '四', 5, 0, -1);
INSERT INTO T_条 VALUES ('01A-00300000-04', NULL, '', '五', 5, 0, -1);
INSERT INTO T_文 VALUES ('01A-00300000-00-0100-0000-0000-0000', '', '', 0, 0, 0, 0, '耐火構造の防火壁とする。');
INSERT INTO T_文 VALUES ('01A-00300000-01-0100-0000-0000-0000', '', '', 0, 0, 0, 0, 'JIS A 1304による耐火試験');
INSERT INTO T_文 VALUES ('01A-00300000-02-0100-0000-0000-0000', '', '', 0, 0, 0, 0, 'O''Kと書く');
INSERT INTO T_文 VALUES ('01A-00300000-03-0100-0000-0000-0000', '', '', 0, 0, 0, 0, '準耐火' || char(0) || '不燃材料');
INSERT INTO T_表 VALUES ('01A-00300000-04-0100-0000-0000-0000', 1, '', CAST(X'E88090E781AB80E69D90' AS TEXT));
INSERT INTO T_法 VALUES ('03A', '隠れた法', '隠', '隠れた法', 0);
INSERT INTO T_条 VALUES ('03A-00010000-00', NULL, '耐火', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00400000-00', NULL, '耐火の隠れた条', '', 0, 0, 0);
INSERT INTO T_文 VALUES ('01A-00400000-00-0100-0000-0000-0000', '', '', 0, 0, 0, 0, '耐火');
INSERT INTO T_文 VALUES ('01A-00990000-00-0100-0000-0000-0000', '', '', 0, 0, 0, 0, '耐火の本文だけの頁');
)sql";

const std::string kFire = "01A-00300000-";

class PageSearchTest : public ComposeFixture {
protected:
    void SetUp() override
    {
        ComposeFixture::SetUp();
        rebuild(kSearchSql);
        index = SearchIndex::open(doc->database());
        ASSERT_NE(index, nullptr);
    }

    std::vector<std::string> statements(const std::string& word)
    {
        std::vector<std::string> pages;
        FullTextSearch(doc->database(), nullptr).search_by_statements(word, pages);
        return pages;
    }

    SearchOutcome search(const std::vector<std::string>& words, const SearchIndex* with = nullptr)
    {
        FullTextSearch search(doc->database(), with);
        return search_words(search, words);
    }

    std::unique_ptr<SearchIndex> index;
};

// Searches `words` through the index and by the statements and expects the same pages.
void expect_same_pages(Database& db, const std::vector<std::string>& words)
{
    const std::unique_ptr<SearchIndex> index = SearchIndex::open(db);
    ASSERT_NE(index, nullptr);
    FullTextSearch search(db, nullptr);
    for (const std::string& word : words) {
        std::vector<std::string> expected;
        search.search_by_statements(word, expected);
        ASSERT_TRUE(like_answerable(word)) << word;
        EXPECT_EQ(index->find(db, word), expected) << word;
    }
}

// Words of one to six characters cut from the stored texts at regular places.
std::vector<std::string> words_of(Database& db, std::size_t count)
{
    std::set<std::string> words;
    for (const char* statement : {"SELECT [条名] AS t FROM T_条", "SELECT [検索用データ] AS t FROM T_文",
                                  "SELECT [検索用データ] AS t FROM T_表"}) {
        std::size_t row = 0;
        for (auto rs = db.execute(statement); !rs->eof() && words.size() < count; rs->move_next(), ++row) {
            const std::string text = rs->text("t");
            const std::size_t length = utf8_length(text);
            if (row % 7 != 0 || length < 7)
                continue;
            const std::size_t size = 1 + row % 6;
            const std::string word(utf8_substr(text, (row * 13) % (length - size), size));
            if (like_answerable(word) && word.find(' ') == std::string::npos)
                words.insert(word);
        }
    }
    return {words.begin(), words.end()};
}

// Runs `sql` on the database file at `path`.
void change_database(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

} // namespace

// --- Which pages a search lists -----------------------------------------------

TEST_F(PageSearchTest, PagesHoldingEveryWordInTitleSentenceOrTable)
{
    struct Case {
        std::vector<std::string> words;
        std::vector<std::string> pages;
    };
    const std::vector<Case> cases{
        // Title of one page and a sentence of it: listed once.
        {{"防火壁"}, {kFire + "00"}},
        // Titles, sentences and a table; hidden pages and the hidden law's page are left out.
        {{"耐火"}, {kFire + "00", kFire + "01", kFire + "03", "01A-T0010000-00"}},
        // One word only in the title, the other only in a sentence: listed once.
        {{"防火壁等", "耐火"}, {kFire + "00"}},
        {{"構造", "耐火"}, {kFire + "00", "01A-T0010000-00"}},
        {{"構造", "耐火", "用途"}, {"01A-T0010000-00"}},
        {{"容積", "10M3"}, {"01A-00520000-00"}},
        // Latin letters of either case; the text after a NUL is not searched.
        {{"jis", "1304"}, {kFire + "01"}},
        {{"不燃"}, {}},
        {{"構造", "ない語"}, {}},
        // Words never reach from one text of a page into the next.
        {{"等耐"}, {}},
    };
    for (const Case& c : cases) {
        for (const SearchIndex* with : std::initializer_list<const SearchIndex*>{nullptr, index.get()}) {
            const SearchOutcome outcome = search(c.words, with);
            ASSERT_EQ(outcome.status, SearchOutcome::Status::Done);
            EXPECT_EQ(outcome.pages, c.pages) << c.words[0] << (with ? " (index)" : " (statements)");
        }
    }
}

TEST_F(PageSearchTest, AWordWithQuotesOrWildcardsIsSearchedSafely)
{
    EXPECT_EQ(statements("O'K"), std::vector<std::string>{kFire + "02"});
    EXPECT_EQ(statements("'"), std::vector<std::string>{kFire + "02"});
    EXPECT_EQ(statements("'; DROP TABLE T_条; --"), std::vector<std::string>{});
    // LIKE's own wildcards stay wildcards, as the statements always had them.
    EXPECT_EQ(statements("JIS_A").size(), 1u);
    EXPECT_EQ(search({"JIS_A"}, index.get()).pages.size(), 1u);
    using namespace std::string_view_literals;
    for (std::string_view word : {"JIS_A"sv, "10%"sv, "a\0b"sv, "\xE8\x80"sv, "\xEF\xBF\xBD"sv, ""sv})
        EXPECT_FALSE(like_answerable(word)) << word;
}

TEST_F(PageSearchTest, TheProgressBarHearsSixStepsAWord)
{
    std::vector<int> steps;
    FullTextSearch search(doc->database(), nullptr);
    search_words(search, {"構造", "耐火"}, [&](int n) { steps.push_back(n); });
    EXPECT_EQ(steps, (std::vector<int>{1, 1, 4, 1, 1, 4}));

    int total = 0;
    FullTextSearch fast(doc->database(), index.get());
    search_words(fast, {"構造", "耐火", "JIS_A"}, [&](int n) { total += n; });
    EXPECT_EQ(total, 3 * kSearchStepsPerWord);
}

TEST_F(PageSearchTest, ADatabaseFailureEndsTheSearch)
{
    doc->database().close();
    const SearchOutcome outcome = search({"構造"});
    EXPECT_EQ(outcome.status, SearchOutcome::Status::Failed);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_TRUE(outcome.pages.empty());
}

// --- Rows and messages ------------------------------------------------------

TEST_F(PageSearchTest, RowsNameTheLawAndLabelThePageByItsKind)
{
    struct Case {
        const char* id;
        const char* law;
        const char* label;
    };
    const Case cases[] = {
        {"01A-00010000-00", "建築基準法", "1条"},
        {"01A-00300000-01", "建築基準法", "30条 (P.02/05)"},
        {"01A-00520000-02", "建築基準法", "52条 (P.03/03)"},
        {"01A-F0000000-00", "建築基準法", "附則"},
        {"05K-KD180543-00", "国土交通省告示", "平18年 543号"},
        {"01A-T0010000-00", "建築基準法", "別表第1"},
        {"00A-Z0010000-00", "ヴェルト", "不明"},
        {"99X-00010000-00", "", "1条"},
        {"01A", "建築基準法", "不明"},
    };
    for (const Case& c : cases) {
        const SearchRow row = search_row(*doc, c.id);
        EXPECT_EQ(row.id, c.id);
        EXPECT_EQ(row.law, c.law) << c.id;
        EXPECT_EQ(row.label, c.label) << c.id;
    }
    EXPECT_EQ(search_result_message(0), "見つかりませんでした。");
    EXPECT_EQ(search_result_message(12), "12件見つかりました。");
}

// --- The search index ----------------------------------------------------

TEST_F(PageSearchTest, TheIndexAnswersAsTheStatements)
{
    expect_same_pages(doc->database(), {"耐火", "耐", "火", "材", "不燃", "構造", "防火壁", "防火壁等", "jis", "JIS A",
                                        "o'k", "'", "10M3", "３", "容積率は、10M3とする。", "ない語", "隠れた", "a",
                                        "耐火構造の防火壁", "構造の安全を図る。", "基準を定め、構造"});
    // The text that is not valid UTF-8 is matched as SQLite reads it: 耐 and
    // 材 are there, 火 is not (a stray byte is taken into it).
    EXPECT_EQ(index->find(doc->database(), "材"), std::vector<std::string>{kFire + "04"});
    EXPECT_EQ(index->find(doc->database(), "火").size(), 4u);
    EXPECT_EQ(index->find(doc->database(), "耐火").size(), 4u);
}

TEST_F(PageSearchTest, ADatabaseWithoutAnIndexOrWithADamagedOneIsSearchedByTheStatements)
{
    const std::string path = dir.file("VT2014.m88");
    const std::vector<std::string> words{"耐火", "構造"};
    const std::vector<std::string> expected = search(words).pages;
    ASSERT_EQ(expected.size(), 2u);
    const auto searched_as_before = [&](const char* what) {
        doc->database().close();
        start();
        const std::unique_ptr<SearchIndex> opened = SearchIndex::open(doc->database());
        const SearchOutcome outcome = search(words, opened.get());
        EXPECT_EQ(outcome.status, SearchOutcome::Status::Done) << what;
        EXPECT_EQ(outcome.pages, expected) << what;
        return opened != nullptr;
    };
    // Postings that end in the middle of a number or name pages past the end.
    change_database(path, "UPDATE T_索引 SET 出現 = X'80' WHERE 文字 = '耐火'");
    EXPECT_TRUE(searched_as_before("cut postings"));
    change_database(path, "UPDATE T_索引 SET 出現 = X'7F01' WHERE 文字 = '構造'");
    EXPECT_TRUE(searched_as_before("a page past the end"));
    // The page list cut off, or an index of another form: no index.
    change_database(path, "UPDATE T_索引情報 SET 内容 = X'0F3031' WHERE 項目 = '頁'");
    EXPECT_FALSE(searched_as_before("cut page list"));
    change_database(path, "UPDATE T_索引情報 SET 内容 = '2' WHERE 項目 = '形式'");
    EXPECT_FALSE(searched_as_before("another form"));
    // An older database, made before the index.
    change_database(path, "DROP TABLE T_索引; DROP TABLE T_索引情報;");
    EXPECT_FALSE(searched_as_before("no index"));
}

TEST(SearchIndexScale, AnswersAsTheStatementsOnEveryDatabaseTheToolsMake)
{
    TempDir dir;
    GeneratorScale scale;
    scale.laws = 4;
    scale.pages_per_law = 60;
    std::string error;
    ASSERT_TRUE(generate_database(dir.file("gen.m88"), scale, error)) << error;
    // A law imported, then imported again with other text: the index follows.
    const std::string imported = dir.file("imported.m88");
    velto::test::build_fixture_db(imported, {velto::test::standard_fixture_sql()});
    velto::import::ImportSummary summary;
    for (const std::string& law : {kLaw, replaced(kLaw, "第九条", "第十条")}) {
        velto::test::write_file(dir.file("law.xml"), law);
        ASSERT_TRUE(velto::import::import_law({imported, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error))
            << error;
    }
    for (const std::string& path : {std::string(VELTO_BINARY_DIR "/sample/VT2014.m88"),
                                    std::string(VELTO_BINARY_DIR "/VT2014.m88"), dir.file("gen.m88"), imported}) {
        Database db;
        db.open("Data Source=" + path + ";", "admin", "");
        std::vector<std::string> words = words_of(db, 80);
        ASSERT_GE(words.size(), path == imported ? 3u : 20u) << path; // the imported law is short
        for (const char* common : {"耐火", "容積", "採光", "建築物", "の", "ZZ", "第九条", "第十条", "建築物の建築物"})
            words.emplace_back(common);
        SCOPED_TRACE(path);
        expect_same_pages(db, words);
    }
}

// --- The search service -----------------------------------------------------

TEST_F(PageSearchTest, TheServiceSearchesOnItsOwnThreadThroughTheIndex)
{
    SearchService service(doc->connection_string());
    const auto run = [&service](std::vector<std::string> words) {
        std::promise<SearchOutcome> result;
        std::promise<void> second_asked;
        const std::shared_future<void> asked = second_asked.get_future().share();
        int steps = 0;
        // The search's first step waits until a second search has been asked for.
        EXPECT_TRUE(service.start(
            std::move(words),
            [&steps, asked](int n) {
                asked.wait();
                steps += n;
            },
            [&](SearchOutcome outcome) { result.set_value(std::move(outcome)); }));
        // One search at a time.
        EXPECT_FALSE(service.start({"構造"}, {}, {}));
        second_asked.set_value();
        SearchOutcome outcome = result.get_future().get();
        EXPECT_EQ(steps, kSearchStepsPerWord * 2);
        return outcome;
    };
    // The first search opens the index itself; one opened ahead answers alike.
    EXPECT_FALSE(service.index_ready());
    const SearchOutcome first = run({"構造", "耐火"});
    EXPECT_TRUE(service.index_ready());
    ASSERT_EQ(first.status, SearchOutcome::Status::Done);
    EXPECT_EQ(first.pages, search({"構造", "耐火"}).pages);
    SearchService preloaded(doc->connection_string());
    preloaded.preload();
    preloaded.wait_for_preload();
    EXPECT_TRUE(preloaded.index_ready());
}

TEST_F(PageSearchTest, TheServiceReportsADatabaseItCannotOpenAndStopsWhenClosed)
{
    std::promise<SearchOutcome> result;
    {
        SearchService service("Data Source=" + dir.file("missing.m88") + ";");
        service.preload();
        ASSERT_TRUE(service.start({"構造"}, {}, [&](SearchOutcome o) { result.set_value(std::move(o)); }));
        const SearchOutcome outcome = result.get_future().get();
        EXPECT_EQ(outcome.status, SearchOutcome::Status::Failed);
        EXPECT_TRUE(outcome.error.has_value());
        service.wait_for_preload();
        EXPECT_FALSE(service.index_ready());
    }
    // Closing a service while it searches and loads waits for both, briefly.
    const auto begin = std::chrono::steady_clock::now();
    {
        SearchService service(doc->connection_string());
        service.preload();
        service.start({"構造", "耐火", "用途"}, {}, {});
    }
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
}
