// Going to a provision by its citation, on the reader's own program folder
// (build/: the whole 建築基準法 and 施行令, the shipped alias file). Most
// citations are as the official text of the 施行令 writes them.
#include "citations/citation_resolver.h"
#include "compose/velto_doc.h"
#include "core/kanji_numerals.h"
#include "tests/compose_fixture.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

#include <functional>

using namespace velto;
using velto::test::TempDir;

namespace {

// A page of the 施行令: citations without a law name are of it.
constexpr const char* kOrderPage = "01B-00010000-00";

class WholeLawCitations : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        settings = new MemorySettingsStore;
        reporter = new CapturingReporter;
        doc = new CVeltoDoc(*settings, *reporter);
        DocumentOptions options;
        options.program_dir = VELTO_BINARY_DIR "/";
        options.use_working_folder = false;
        ASSERT_TRUE(doc->OnNewDocument(options));
        resolver = open_citation_resolver(*doc).release();
    }
    static void TearDownTestSuite()
    {
        delete resolver;
        delete doc;
        delete reporter;
        delete settings;
    }

    static MemorySettingsStore* settings;
    static CapturingReporter* reporter;
    static CVeltoDoc* doc;
    static CitationResolver* resolver;
};

MemorySettingsStore* WholeLawCitations::settings = nullptr;
CapturingReporter* WholeLawCitations::reporter = nullptr;
CVeltoDoc* WholeLawCitations::doc = nullptr;
CitationResolver* WholeLawCitations::resolver = nullptr;

// The sentence of an anchor: the anchor must be the provision's first sentence, with the expected text.
std::string sentence_text(Database& db, const std::string& id)
{
    auto rs = db.execute("SELECT 法文 FROM T_文 WHERE ID_BN = '" + sql_escape(id) + "'");
    return rs->eof() ? std::string("(no sentence)") : rs->text("法文");
}

} // namespace

// --- what is found ---

TEST_F(WholeLawCitations, FindsThePageAndTheFirstSentenceOfTheProvision)
{
    const struct {
        const char* text;
        const char* page;
        const char* anchor; // suffix after the page; "" for the page itself
        const char* begins; // what the anchored sentence begins with
    } cases[] = {
        // As the 施行令 writes them.
        {"法第五条の二", "01A-00050200-00", "", ""},
        {"法第六条第一項第一号", "01A-00060000-00", "-0100-0100-0000-0000", "別表第一（い）欄"},
        {"第百八条の二", "01B-01080200-00", "", ""},
        {"法第三条第二項", "01A-00030000-00", "-0200-0000-0000-0000", "この法律又はこれに基づく命令"},
        {"法第八十八条第一項", "01A-00880000-00", "-0100-0000-0000-0000", "煙突、広告塔"},
        {"法第八十六条の七第一項", "01A-00860700-00", "-0100-0000-0000-0000", "第三条第二項"},
        {"法第二条第九号の二ロ", "01A-00020000-00", "-0100-0920-0200-0000", "その外壁の開口部"},
        {"法第二条第九号の三イ", "01A-00020000-00", "-0100-0930-0100-0000", "主要構造部を準耐火構造"},
        {"法第八十七条第二項", "01A-00870000-00", "-0200-0000-0000-0000", "建築物（次項の建築物を除く。）"},
        {"法第二十八条の二", "01A-00280200-00", "", ""},
        {"法第四十八条第一項", "01A-00480000-00", "-0100-0000-0000-0000", "第一種低層住居専用地域内"},
        {"法第八十七条の四", "01A-00870400-00", "", ""},
        {"法第六十八条の二第一項", "01A-00680200-00", "-0100-0000-0000-0000", "市町村は、地区計画等"},
        {"第百二十九条の十三の三", "01B-01291303-00", "", ""},
        {"第百三十九条第一項第三号", "01B-01390000-00", "-0100-0300-0000-0000", ""},
        {"第百二十九条の十三の三第六項", "01B-01291303-00", "-0600-0000-0000-0000", ""},
        {"第百二十三条第一項第一号", "01B-01230000-00", "-0100-0100-0000-0000", ""},
        {"第百三十条の八の三", "01B-01300803-00", "", ""},
        {"法第七条の六第一項", "01A-00070600-00", "-0100-0000-0000-0000", "第六条第一項第一号"},
        {"令第百三十六条の二の九", "01B-01360209-00", "", ""},
        {"令第百三十六条の二の十一第一号", "01B-01360211-00", "-0100-0100-0000-0000", "建築物の部分で、門、塀"},
        {"第百三十六条の二第二号ロ", "01B-01360200-00", "-0100-0200-0200-0000", ""},
        {"法第五条の四第三項", "01A-00050400-00", "-0300-0000-0000-0000", "構造計算適合判定資格者検定は"},
        {"第百十六条の二第一項第一号", "01B-01160200-00", "-0100-0100-0000-0000", ""},
        {"法第八十七条の三第八項", "01A-00870300-00", "-0800-0000-0000-0000", "特定行政庁は、第五項"},
        {"令第四十三条第一項", "01B-00430000-00", "-0100-0000-0000-0000", "構造耐力上主要な部分である柱"},
        {"第百十五条第一項第七号", "01B-01150000-00", "-0100-0700-0000-0000", ""},
        {"第八十条の二", "01B-00800200-00", "", ""},
        {"第百九条の八第二号", "01B-01090800-00", "-0100-0200-0000-0000", ""},
        {"法第二十七条第一項", "01A-00270000-00", "-0100-0000-0000-0000", "次の各号のいずれかに該当する特殊建築物"},
        {"第百十二条第十八項ただし書", "01B-01120000-00", "-1800-0000-0000-0000", "建築物の一部が"},
        {"法第二十七条第一項各号", "01A-00270000-00", "-0100-0000-0000-0000", "次の各号"},
        // As readers type them: Arabic and full-width digits, 第/条/項/号 left out, blanks.
        {"令112条18項", "01B-01120000-00", "-1800-0000-0000-0000", "建築物の一部が"},
        {"令１１２条１８項", "01B-01120000-00", "-1800-0000-0000-0000", "建築物の一部が"},
        {"令 112 条 18 項", "01B-01120000-00", "-1800-0000-0000-0000", "建築物の一部が"},
        {"令第百十二条第十八項", "01B-01120000-00", "-1800-0000-0000-0000", "建築物の一部が"},
        {"令112条第19項第一号ロ", "01B-01120000-00", "-1900-0100-0200-0000", "閉鎖又は作動をするに際して"},
        {"令129条の2の4", "01B-01290204-00", "", ""},
        {"令129の2の4", "01B-01290204-00", "", ""},
        {"法6条の2", "01A-00060200-00", "", ""},
        {"法第6条第1項第二号", "01A-00060000-00", "-0100-0200-0000-0000", "前号に掲げる建築物を除くほか"},
        {"法6条1項2号", "01A-00060000-00", "-0100-0200-0000-0000", "前号に掲げる建築物を除くほか"},
        {"法第2条第九号の二イ(1)", "01A-00020000-00", "-0100-0920-0110-0000", "耐火構造であること。"},
        {"1項2号", "01B-00010000-00", "-0100-0200-0000-0000", "地階"},
        {"第二号", "01B-00010000-00", "-0100-0200-0000-0000", "地階"},
        // Laws by their names in the database, aliases and ID_HN.
        {"建築基準法施行令第百十二条", "01B-01120000-00", "", ""},
        {"建基法施行令第1条", "01B-00010000-00", "", ""},
        {"施行令第1条", "01B-00010000-00", "", ""},
        {"基準法第6条", "01A-00060000-00", "", ""},
        {"01A第6条", "01A-00060000-00", "", ""},
        {"建築基準法施行規第1条", "01C-00010000-00", "", ""}, // begins one law's name only
        // The other laws of the collection, by name and short name.
        {"消防法第十七条第一項", "03A-00170000-00", "-0100-0000-0000-0000", "学校、病院、工場"},
        {"規則第1条の3", "01C-00010300-00", "", ""},
        {"消防法令第11条", "03B-00110000-00", "", ""},
        {"都計法第29条第1項", "04A-00290000-00", "-0100-0000-0000-0000", "都市計画区域又は準都市計画区域内"},
        {"バリアフリー法第14条", "07A-00140000-00", "", ""},
        // Appended tables and supplementary provisions.
        {"法別表第1", "01A-T0010000-00", "", ""},
        {"法別表第二", "01A-T0020000-00", "", ""},
        {"法附則", "01A-F0000000-00", "", ""},
        {"法附則第2項第一号", "01A-F0000000-00", "-0230-0100-0000-0000", "市街地建築物法（大正八年"},
        {"法附則第4項", "01A-F0000000-00", "-0250-0000-0000-0000", "４　この法律施行の際"},
        // Notifications by era, year and number.
        {"平12建告1400", "02K-KD121400-00", "", ""},
        {"平成12年建設省告示第1400号", "02K-KD121400-00", "", ""},
        {"Ｈ１２国交告１４０１", "02K-KD121401-00", "", ""},
        {"告示1400", "02K-KD121400-00", "", ""},
        {"告示第千四百号", "02K-KD121400-00", "", ""},
    };
    for (const auto& c : cases) {
        const CitationResult r = resolver->resolve(c.text, kOrderPage);
        ASSERT_TRUE(r.found) << c.text << ": " << r.message;
        EXPECT_EQ(r.target.page, c.page) << c.text;
        const std::string anchor = *c.anchor ? c.page + std::string(c.anchor) : "";
        EXPECT_EQ(r.target.anchor, anchor) << c.text;
        if (!anchor.empty()) {
            EXPECT_EQ(anchor.rfind(r.target.scope, 0), 0u) << c.text;
            EXPECT_EQ(sentence_text(doc->database(), anchor).rfind(c.begins, 0), 0u)
                << c.text << ": " << sentence_text(doc->database(), anchor);
        }
    }
    EXPECT_TRUE(reporter->messages().empty());
}

TEST_F(WholeLawCitations, OnAPageOfAnOrderOrRuleLawAndOrderAreItsOwn)
{
    const struct {
        const char* text;
        const char* current;
        const char* page;
    } cases[] = {
        {"法第17条", "03B-00010000-00", "03A-00170000-00"},     // 消防法施行令: 消防法
        {"法第17条", "03C-00010000-00", "03A-00170000-00"},     // 消防法施行規則: 消防法
        {"令第1条", "03C-00010000-00", "03B-00010000-00"},      // … and 消防法施行令
        {"令第1条", "09C-00010000-00", "09B-00010000-00"},      // 建築士法施行規則: 建築士法施行令
        {"令第1条", "01D-00010000-00", "01B-00010000-00"},      // 建築基準法に基づく…省令
        {"法第6条", "01C-00010300-00", "01A-00060000-00"},      // 建築基準法施行規則
        {"法第6条", "05B-00010000-00", "05A-00060000-00"},      // 宅地造成等規制法施行令, under the act's new title
        {"法第6条", "03A-00010000-00", "01A-00060000-00"},      // an act: the alias file's 法
        {"法第17条", "", "01A-00170000-00"},
        {"建築基準法第6条", "03B-00010000-00", "01A-00060000-00"}, // a name stays the name
        {"規則第1条", "03B-00010000-00", "01C-00010000-00"},    // 規則 is no parent of an order
    };
    for (const auto& c : cases) {
        const CitationResult r = resolver->resolve(c.text, c.current);
        ASSERT_TRUE(r.found) << c.text << " on " << c.current << ": " << r.message;
        EXPECT_EQ(r.target.page, c.page) << c.text << " on " << c.current;
    }
}

TEST_F(WholeLawCitations, ScopeAndLabelFollowTheDepthOfTheProvision)
{
    const CitationResult paragraph = resolver->resolve("令112条19項");
    EXPECT_EQ(paragraph.target.scope, "01B-01120000-00-1900");
    EXPECT_EQ(paragraph.target.label, "建築基準法施行令 第112条第19項");
    const CitationResult sub_item = resolver->resolve("令112条19項1号ロ");
    EXPECT_EQ(sub_item.target.scope, "01B-01120000-00-1900-0100-02");
    EXPECT_EQ(sub_item.target.label, "建築基準法施行令 第112条第19項第一号ロ");
}

// --- what is not found ---

TEST_F(WholeLawCitations, WhatIsMissingIsNamedWithCloseMatches)
{
    const struct {
        const char* text;
        const char* current;
        const char* message;
    } cases[] = {
        {"", kOrderPage, "移動先の条文を入力してください（例: 法6条の2、令第百十二条第十八項、別表第2）"},
        {"　 ", kOrderPage, "移動先の条文を入力してください（例: 法6条の2、令第百十二条第十八項、別表第2）"},
        {"令第百五十一条", kOrderPage, "建築基準法施行令に第百五十一条はありません。近いもの: 令第150条"},
        {"第151条", kOrderPage, "建築基準法施行令に第百五十一条はありません。近いもの: 建築基準法施行令第150条"},
        {"令129条の2の9", kOrderPage,
         "建築基準法施行令に第百二十九条の二の九はありません。近いもの: 令第129条の2の6、令第129条の3"},
        {"令112条30項", kOrderPage, "建築基準法施行令第百十二条に第三十項はありません。近いもの: 令第112条第23項"},
        {"法6条1項9号", kOrderPage, "建築基準法第六条第一項に第九号はありません。近いもの: 法第6条第1項第三号"},
        {"法第2条第九号の二ハ", kOrderPage,
         "建築基準法第二条第九号の二にハはありません。近いもの: 法第2条第九号の二ロ"},
        {"令別表第1", kOrderPage, "建築基準法施行令に別表第一はありません"},
        {"法別表第5", kOrderPage, "建築基準法に別表第五はありません。近いもの: 法別表第4"},
        {"令附則第2条", kOrderPage, "建築基準法施行令の附則に第二条はありません"},
        {"平成12年告示第1500号", kOrderPage,
         "平成12年告示第1500号はありません。近いもの: 平成12年告示第1454号"},
        // Laws.
        {"ハートビル第1条", kOrderPage,
         "「ハートビル」に当たる法令が複数あります（ハートビル法、ハートビル法施行令、ハートビル法施行規則）。"
         "近いもの: ハートビル法第1条、ハートビル法施行令第1条、ハートビル法施行規則第1条"},
        {"航空法第1条", kOrderPage, "「航空法」という法令はありません"},
        {"建築基準法施行第1条", kOrderPage,
         "「建築基準法施行」に当たる法令が複数あります（建築基準法施行令、建築基準法施行規則）。"
         "近いもの: 建築基準法施行令第1条、建築基準法施行規則第1条"},
        {"建築基準法施工令第1条", kOrderPage,
         "「建築基準法施工令」という法令はありません。近いもの: 建築基準法施行令第1条、建築基準法第1条"},
        {"建築基準法関係告示第1条", kOrderPage,
         "建築基準法関係告示には条がありません。告示は番号で入力してください（例: 平12建告1400）"},
        {"第1条", "00A-Z0010000-00", "どの法令の条文かが分かりません。法令名を付けて入力してください（例: 法6条、令112条）"},
        {"第1条", "", "どの法令の条文かが分かりません。法令名を付けて入力してください（例: 法6条、令112条）"},
        {"第2項", "01B-F0000000-00", "条を付けて入力してください（例: 令112条18項）"},
        // What cannot be read: the text as typed, and the part of it that is not a number.
        {"令第一条の", kOrderPage, "「令第一条の」の「の」を条文の番号として読めませんでした"},
        {"令第一条ほか", kOrderPage, "「令第一条ほか」の「ほか」を条文の番号として読めませんでした"},
        {"前条", kOrderPage, "「前条」を条文の番号として読めませんでした"},
        {"令第99999条", kOrderPage, "「令第99999条」の「第99999条」を条文の番号として読めませんでした"},
        {"ほげ123abc!?", kOrderPage, "「ほげ123abc!?」の「abc!?」を条文の番号として読めませんでした"},
        {"　法 ", kOrderPage, "「法」には条の番号がありません（例: 法6条、令112条18項）"},
    };
    for (const auto& c : cases) {
        const CitationResult r = resolver->resolve(c.text, c.current);
        EXPECT_FALSE(r.found) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
        // Every offer is found.
        for (const std::string& s : r.suggestions)
            EXPECT_TRUE(resolver->resolve(s, c.current).found) << c.text << " offers " << s;
    }
}

TEST_F(WholeLawCitations, AnyTextEndsInAMessage)
{
    const std::string nasty[] = {
        std::string(5000, '9'), "令第" + std::string(3000, 'x') + "条", "\xff\xfe\x80令第1条", "令'第1条; DROP TABLE T_文",
        std::string("令第1条\0第2項", 13), "第第第条条条", "附則第附則", "別表の", "告示", "平告1400", "令和元年告示第0号",
        "(((((", "イ", "法第1条イ(", "法第1条イ(9999999)",
    };
    for (std::string text : nasty) {
        for (int i = 0; i < 40; ++i)
            text += "第百条の二";
        for (const std::string& t : {text.substr(0, 60), text}) {
            const CitationResult r = resolver->resolve(t, kOrderPage);
            EXPECT_TRUE(r.found || !r.message.empty()) << t;
        }
    }
}

// --- the alias file ---

TEST(CitationAliases, LinesThatCannotBeReadAreLeftOutAndNamed)
{
    std::vector<std::string> problems;
    const auto aliases = parse_aliases("\xEF\xBB\xBF# 略称\n"
                                       "法 = 建築基準法\r\n"
                                       "\n"
                                       "令＝ 建築基準法施行令\n"
                                       "ただの行\n"
                                       " = 建築基準法\n"
                                       "令2 = 建築基準法施行令\n"
                                       "\xff\xfe = x\n"
                                       "基準令\t=\t01B",
                                       problems);
    ASSERT_EQ(aliases.size(), 3u);
    EXPECT_EQ(aliases[0].name, "法");
    EXPECT_EQ(aliases[0].law, "建築基準法");
    EXPECT_EQ(aliases[1].name, "令");
    EXPECT_EQ(aliases[2].law, "01B");
    EXPECT_EQ(problems, (std::vector<std::string>{"5行目: 「=」がありません", "6行目: 「=」の前か後ろが空です",
                                                  "7行目: 短い名前に数字、「第」、空白は使えません",
                                                  "8行目: UTF-8の文字として読めません"}));
    problems.clear();
    EXPECT_TRUE(parse_aliases(std::string(70000, 'a'), problems).empty());
    EXPECT_EQ(problems.size(), 1u);
}

class CitationAliasFile : public velto::test::ComposeFixture {};

TEST_F(CitationAliasFile, ABrokenFileIsToldOnceAndItsGoodLinesCount)
{
    velto::test::write_file(dir.file(std::string(kAliasFileName)), "基 = 01A\n壊れた行\n航 = 航空法\n");
    reporter.clear();
    const auto resolver = open_citation_resolver(*doc);
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].caption, "別名ファイルの読み込み");
    EXPECT_NE(reporter.messages()[0].text.find("2行目: 「=」がありません"), std::string::npos);
    EXPECT_TRUE(resolver->resolve("基第1条").found);
    // An alias of a law the database does not hold says which law it meant.
    EXPECT_EQ(resolver->resolve("航第1条").message, "「航」の指す航空法はこのデータベースにありません");

    // A folder or a pipe in the file's place (opening a pipe would wait for
    // ever): told, and the database's own names still serve.
    const std::string file = dir.file(std::string(kAliasFileName));
    const auto make_folder = [&] { std::filesystem::create_directory(file); };
    const auto make_pipe = [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); };
    for (const auto& make : {std::function<void()>(make_folder), std::function<void()>(make_pipe)}) {
        std::filesystem::remove(file);
        make();
        reporter.clear();
        const auto without = open_citation_resolver(*doc);
        EXPECT_EQ(reporter.messages().size(), 1u);
        EXPECT_TRUE(without->resolve("建築基準法第1条").found);
    }
}

// A law's pages are read when a citation first needs them: a read that
// fails is told and leaves the law to be read again by the next citation.
TEST_F(CitationAliasFile, ALawsPagesThatCannotBeReadAreReadAgainLater)
{
    const auto resolver = open_citation_resolver(*doc);
    const auto rename = [&](const char* from, const char* to) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dir.file("VT2014.m88").c_str(), &db), SQLITE_OK);
        const std::string sql = std::string("ALTER TABLE ") + from + " RENAME TO " + to;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    rename("T_条", "T_条_away");
    const CitationResult failed = resolver->resolve("建築基準法第1条");
    EXPECT_FALSE(failed.found);
    EXPECT_EQ(failed.message.rfind("法令データベースを読めませんでした", 0), 0u) << failed.message;
    rename("T_条_away", "T_条");
    EXPECT_TRUE(resolver->resolve("建築基準法第1条").found);
}

// --- numerals ---

TEST(KanjiNumerals, WrittenAsLawTextWritesThemAndReadBack)
{
    const struct { int n; const char* text; } cases[] = {
        {1, "一"}, {10, "十"}, {11, "十一"}, {100, "百"}, {108, "百八"}, {151, "百五十一"},
        {1020, "千二十"}, {1400, "千四百"}, {9999, "九千九百九十九"}, {0, "0"}, {10000, "10000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kanji_numeral_text(c.n), c.text) << c.n;
    for (int n = 1; n <= 9999; ++n)
        ASSERT_EQ(kanji_number(kanji_numeral_text(n)), n);
}

// --- the command line ---

TEST(CitationCommandLine, PrintsPageAndAnchorOrTheMessage)
{
    TempDir scratch;
    const auto go = [&](const std::string& text) {
        return velto::test::run_reader(VELTO_BINARY_DIR, "--goto '" + text + "'", scratch);
    };
    auto r = go("令112条18項");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "01B-01120000-00\t01B-01120000-00-1800-0000-0000-0000\n");
    r = go("令151条");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "建築基準法施行令に第百五十一条はありません。近いもの: 令第150条\n");
    r = go("");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("移動先の条文を入力してください"), std::string::npos);
}
