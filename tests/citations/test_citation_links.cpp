// The citations of the imported law text: each form on real sentences of the
// collection the build imports, what is left plain and why, every link leading
// to a page and a sentence the database holds, the links in the page and on
// the command line.
#include "citations/citation_finder.h"
#include "citations/citation_links.h"
#include "compose/arabic_numbers.h"
#include "compose/citation_spans.h"
#include "core/database.h"
#include "core/sql_dialect.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>

using namespace velto;
using velto::test::TempDir;
using namespace velto::citelink;

namespace {

const std::string kProgramDatabase = VELTO_BINARY_DIR "/VT2014.m88";

class CollectionCitations : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        db_ = new Database;
        db_->open("Data Source=" + kProgramDatabase + ";", "admin", "");
    }
    static void TearDownTestSuite() { delete db_; }

    static std::string listing(const std::vector<CitationRow>& rows)
    {
        std::string out;
        for (const CitationRow& r : rows)
            out += "\n  " + r.text + " " + r.page + " " + r.anchor + r.reason;
        return out;
    }
    static int count(const std::string& sql)
    {
        auto rs = db_->execute(sql);
        return rs->number("n");
    }

    static Database* db_;
};

Database* CollectionCitations::db_ = nullptr;

} // namespace

// --- each form, on the sentences of 法 and 令 and their neighbours ---

TEST_F(CollectionCitations, EachFormLinksTheProvisionItNames)
{
    const struct {
        const char* sentence;
        const char* words;  // the link's words, as the law writes them
        const char* page;
        const char* anchor; // after the page; "" for the whole article or table
    } cases[] = {
        // Relative citations.
        {"01A-00700000-00-0100-0000-0000-0000", "前条", "01A-00690000-00", ""},
        {"01A-00600000-00-0300-0000-0000-0000", "前条", "01A-00590200-00", ""}, // the article before is a branch
        {"01A-00050000-00-0700-0000-0000-0000", "次条第一項", "01A-00050200-00", "-0100-0000-0000-0000"},
        {"01B-00200900-00-0100-0000-0000-0000", "前二条", "01B-00200700-00", ""}, // a range: its first
        {"01A-00040000-00-0200-0000-0000-0000", "前項", "01A-00040000-00", "-0100-0000-0000-0000"},
        {"01A-00120000-00-0300-0000-0000-0000", "次項", "01A-00120000-00", "-0400-0000-0000-0000"},
        {"01A-00060000-00-0600-0000-0000-0000", "同項", "01A-00060000-00", "-0400-0000-0000-0000"},
        {"01A-00100000-00-0400-0000-0000-0000", "前二項", "01A-00100000-00", "-0200-0000-0000-0000"},
        {"01A-00050000-00-1100-0000-0000-0000", "前各項", "01A-00050000-00", "-0100-0000-0000-0000"},
        {"01A-00060000-00-0100-0200-0000-0000", "前号", "01A-00060000-00", "-0100-0100-0000-0000"},
        {"01A-00030000-00-0100-0300-0000-0000", "次号", "01A-00030000-00", "-0100-0400-0000-0000"},
        {"01A-00070600-00-0300-0000-0000-0000", "同号", "01A-00070600-00", "-0100-0200-0000-0000"},
        {"01A-00771900-00-0100-1000-0000-0000", "前各号", "01A-00771900-00", "-0100-0100-0000-0000"},
        {"01A-00050400-00-0500-0000-0000-0000", "同条第九項", "01A-00050000-00", "-0900-0000-0000-0000"},
        {"01A-00120000-00-0100-0000-0000-0000", "この条", "01A-00120000-00", ""},
        {"01A-00060000-00-0100-0000-0000-0000", "この項", "01A-00060000-00", "-0100-0000-0000-0000"},
        {"01A-00020000-00-0100-0930-0000-0000", "前号ロ", "01A-00020000-00", "-0100-0920-0200-0000"},
        {"01B-00820000-00-0100-0000-0000-0000", "前条第二項第一号イ", "01B-00810000-00", "-0200-0100-0100-0000"},
        // Whole citations down to the sub-item.
        {"01A-00060000-00-0600-0000-0000-0000", "第二十条第一項第二号イ", "01A-00200000-00", "-0100-0200-0100-0000"},
        {"03C-00220000-00-0100-0500-0000-0000", "第十二条第一項第三号の二", "03C-00120000-00", "-0100-0320-0000-0000"},
        // Series: the later members continue the article and law named before them.
        {"01B-01120000-00-1800-0000-0000-0000", "法第二十七条第一項各号", "01A-00270000-00", "-0100-0000-0000-0000"},
        {"01B-01120000-00-1800-0000-0000-0000", "第二項各号", "01A-00270000-00", "-0200-0000-0000-0000"},
        {"01B-01120000-00-1800-0000-0000-0000", "第三項各号", "01A-00270000-00", "-0300-0000-0000-0000"},
        {"01A-00070600-00-0100-0000-0000-0000", "第二号", "01A-00060000-00", "-0100-0200-0000-0000"},
        {"01A-00050600-00-0100-0000-0000-0000", "第三条の二第一項", "09A-00030200-00", "-0100-0000-0000-0000"},
        {"01B-00130000-00-0100-0000-0000-0000", "第百二十九条の十三の三", "01B-01291303-00", ""}, // …から…まで
        // Inside a bracket that qualifies a citation, its first sentence speaks of the cited article;
        // a later one of the citing article again (「（第二号イを除く。第六項において同じ。）」).
        {"01A-00880000-00-0100-0000-0000-0000", "第一項", "01A-00060000-00", "-0100-0000-0000-0000"},
        {"01A-00880000-00-0100-0000-0000-0000", "同項第三号", "01A-00060000-00", "-0100-0300-0000-0000"},
        {"01B-01210000-00-0400-0000-0000-0000", "第四号", "01B-01210000-00", "-0100-0400-0000-0000"},
        {"01A-00520000-00-0300-0000-0000-0000", "第六項", "01A-00520000-00", "-0600-0000-0000-0000"},
        {"01B-01371200-00-0900-0000-0000-0000", "第百三十七条の六の二第一項", "01B-01370602-00", "-0100-0000-0000-0000"},
        // 同条 is the article last named by its number, not the citing one named by 前項 or この号.
        {"01A-00570200-00-0300-0100-0000-0000", "同条第一項各号", "01A-00520000-00", "-0100-0000-0000-0000"},
        {"01B-00200000-00-0200-0100-0000-0000", "同条第三項", "01A-00860200-00", "-0300-0000-0000-0000"},
        {"01A-00270000-00-0300-0200-0000-0000", "この号", "01A-00270000-00", "-0300-0200-0000-0000"},
        {"01A-00070400-00-0500-0000-0000-0000", "同条第五項", "01A-00070300-00", "-0500-0000-0000-0000"}, // not 第三項's
        {"01B-01140000-00-0500-0000-0000-0000", "同条第二十一項", "01B-01120000-00", "-2100-0000-0000-0000"},
        // 同項 is the paragraph last named: 前項 is one, 前号 and 第一号 of the citing paragraph are not.
        {"01A-00480000-00-1600-0000-0000-0000", "同項", "01A-00480000-00", "-1500-0000-0000-0000"},
        {"01B-01350700-00-0100-0200-0000-0000", "同項第二号イ", "01A-00560000-00", "-0100-0200-0100-0000"},
        // An item laid out as a row of its paragraph's table opens that paragraph.
        {"01B-01300203-00-0200-0000-0000-0000", "第六号", "01B-01300203-00", "-0100-0000-0000-0000"},
        // A series goes on past a sub-item between joiners (「第一号イ及びロ並びに第二号ロ」).
        {"01B-01450000-00-0100-0200-0100-0000", "第二号ロ", "01B-01120000-00", "-1900-0200-0200-0000"},
        // Appended tables and supplementary provisions.
        {"01A-00060000-00-0100-0100-0000-0000", "別表第一（い）欄", "01A-T0010000-00", ""},
        {"07A-00250000-00-0500-0000-0000-0000", "附則第三項", "07A-F0000000-00", "-0290-0000-0000-0000"},
        // Other laws: by title (with its number in brackets), by 同法, by 法 and 令 of an order or rule.
        {"01A-00020000-00-0100-1000-0000-0000", "建築士法（昭和二十五年法律第二百二号）第二条第六項", "09A-00020000-00",
         "-0600-0000-0000-0000"},
        {"01A-00020000-00-0100-1700-0000-0000", "同法第二十条の二第二項", "09A-00200200-00", "-0200-0000-0000-0000"},
        {"01A-00050600-00-0100-0000-0000-0000", "同条第二項", "09A-00030000-00", "-0200-0000-0000-0000"},
        {"11A-00020000-00-0300-0000-0000-0000", "同法第九十七条の二第一項", "01A-00970200-00", "-0100-0000-0000-0000"},
        {"03B-00010000-00-0100-0000-0000-0000", "消防法（以下「法」という。）第七条第一項", "03A-00070000-00",
         "-0100-0000-0000-0000"},
        {"03B-00010200-00-0100-0000-0000-0000", "法第八条第一項", "03A-00080000-00", "-0100-0000-0000-0000"},
        {"01C-00080200-00-1700-0000-0000-0000", "法第十八条第十九項", "01A-00180000-00", "-1900-0000-0000-0000"},
        {"01C-00100502-00-0100-0500-0000-0000", "令第百三十六条の二の十一第一号", "01B-01360211-00",
         "-0100-0100-0000-0000"},
    };
    for (const auto& c : cases) {
        const std::vector<CitationRow> rows = citation_rows(*db_, c.sentence, true);
        const std::string anchor = *c.anchor ? c.page + std::string(c.anchor) : "";
        const bool found = std::any_of(rows.begin(), rows.end(), [&](const CitationRow& r) {
            return r.text == c.words && r.page == c.page && r.anchor == anchor;
        });
        EXPECT_TRUE(found) << c.sentence << " " << c.words << listing(rows);
    }
}

TEST_F(CollectionCitations, WhatCannotBeResolvedIsListedWithItsReason)
{
    const struct {
        const char* sentence;
        const char* words;
        std::string_view reason;
    } cases[] = {
        {"01A-00050400-00-0500-0000-0000-0000", "次条第二項", kReasonQuotation}, // 「…」とあるのは「…」
        {"01B-00090000-00-0100-1200-0000-0000", "第三十六条の四", kReasonOtherLaw}, // 都市再生特別措置法
        {"01B-01371900-00-0200-0100-0200-0000", "第五号", kReasonMissing}, // 「同表（へ）項第四号若しくは第五号」
        {"01B-01371700-00-0100-0100-0000-0000", "同法第三条第一項", kReasonOtherLaw}, // 土地区画整理法, named before
        {"01A-00970500-00-0100-0000-0000-0000", "第二条第九項第一号", kReasonOtherLaw}, // 地方自治法, never 法's own
    };
    for (const auto& c : cases) {
        const std::vector<CitationRow> rows = citation_rows(*db_, c.sentence, false);
        const bool found = std::any_of(rows.begin(), rows.end(), [&](const CitationRow& r) {
            return r.text == c.words && r.reason == c.reason && r.page.empty();
        });
        EXPECT_TRUE(found) << c.sentence << " " << c.words << listing(rows);
    }
}

// --- every link, of the whole collection ---

TEST_F(CollectionCitations, EveryLinkLeadsToAPageAndASentenceTheDatabaseHolds)
{
    EXPECT_GT(count("SELECT count(*) AS n FROM T_引用 WHERE 引用先 <> ''"), 15000);
    EXPECT_EQ(count("SELECT count(*) AS n FROM T_引用 c WHERE 引用先 <> '' AND NOT EXISTS "
                    "(SELECT 1 FROM T_条 p WHERE p.ID_FN = c.引用先)"), 0);
    EXPECT_EQ(count("SELECT count(*) AS n FROM T_引用 c WHERE アンカー <> '' AND (substr(アンカー, 1, 15) <> 引用先 "
                    "OR NOT EXISTS (SELECT 1 FROM T_文 s WHERE s.ID_BN = c.アンカー))"), 0);
    // The spans lie in their sentences, and a row says either where it leads or why it does not.
    EXPECT_EQ(count("SELECT count(*) AS n FROM T_引用 c JOIN T_文 s ON s.ID_BN = c.ID_BN "
                    "WHERE c.開始 + c.長さ > length(CAST(s.法文 AS BLOB)) OR c.長さ <= 0"), 0);
    EXPECT_EQ(count("SELECT count(*) AS n FROM T_引用 WHERE (引用先 = '') = (理由 = '')"), 0);
    // The hand-made sample keeps its stored link marks and has no citation rows.
    Database sample;
    sample.open("Data Source=" VELTO_BINARY_DIR "/sample/VT2014.m88;", "admin", "");
    auto rs = sample.execute("SELECT count(*) AS n FROM T_引用");
    EXPECT_EQ(rs->number("n"), 0);
}

TEST_F(CollectionCitations, NineInTenRelativeCitationsOfTheTwoMainProvisionsAreLinks)
{
    TempDir dir;
    std::filesystem::copy_file(kProgramDatabase, dir.file("VT2014.m88"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("VT2014.m88").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(register_sql_functions(db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), SQLITE_OK); // as the tools write
    const CitationFigures figures = write_citation_links(db);
    ASSERT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    for (const char* law : {"01A", "01B"}) {
        const auto [all, linked] = figures.relative.at(law);
        EXPECT_GT(all, 500u) << law;
        EXPECT_GE(linked * 10, all * 9) << law << ": " << linked << " of " << all;
    }
    // The pass is repeatable: the same rows again.
    Database again;
    again.open("Data Source=" + dir.file("VT2014.m88") + ";", "admin", "");
    EXPECT_EQ(citation_rows(again, "01B-", true).size(), citation_rows(*db_, "01B-", true).size());
}

// --- the links in the page ---

TEST(CitationSpans, WrapExactlyTheirBytesAndNeverAnythingElse)
{
    const std::string owner = "01B-01120000-00-1800-0000-0000-0000";
    const std::string text = "法第二十七条第一項各号、第二項各号又は<br>[第3条]";
    const CitationSpan first{0, 33, "01A-00270000-00", "01A-00270000-00-0100-0000-0000-0000"};
    const CitationSpan second{36, 15, "01A-00270000-00", "01A-00270000-00-0200-0000-0000-0000"};
    EXPECT_EQ(mark_citation_spans(owner, text, {first, second}),
              "<a id=\"" + owner + "-to-01A-00270000-p01\" href='http://01A-00270000-00-0100-0000-0000-0000_VELTO'>"
              "法第二十七条第一項各号</a>、<a id=\"" + owner + "-to-01A-00270000-p02\" "
              "href='http://01A-00270000-00-0200-0000-0000-0000_VELTO'>第二項各号</a>又は<br>[第3条]");
    // A whole article links its 12-character identifier, as the stored marks do.
    EXPECT_EQ(mark_citation_spans(owner, "前条", {{0, 6, "01B-01110000-00", ""}}),
              "<a id=\"" + owner + "-to-01B-01110000-p01\" href='http://01B-01110000_VELTO'>前条</a>");
    // Rows that do not fit the text give no link: the text stays as stored.
    const CitationSpan bad[] = {
        {1, 6, "01A-00270000-00", ""},                   // inside a character
        {30, 100, "01A-00270000-00", ""},                // beyond the text
        {0, 0, "01A-00270000-00", ""},                   // empty
        {57, 3, "01A-00270000-00", ""},                  // over a tag
        {0, 6, "01A-00270000-0'", ""},                   // no identifier
        {0, 6, "01A-00270000-00", "x' onclick='y"},      // no identifier
        {0, 6, "01A-00270000", ""},                      // not a page
    };
    for (const CitationSpan& span : bad)
        EXPECT_EQ(mark_citation_spans(owner, text, {span}), text) << span.start << " " << span.page << span.anchor;
    EXPECT_EQ(mark_citation_spans(owner, text, {second, first}).find("p02"), std::string::npos); // out of order
}

// --- 条項番号を算用数字で表示 ---

TEST(ArabicProvisionNumbers, EveryNumberOfAProvisionAndNothingElse)
{
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"法第二十七条第一項各号、第二項各号又は第三項各号", "法第27条第1項各号、第2項各号又は第3項各号"},
        {"第百二十九条の十三の三第六項第三号の二ロ", "第129条の13の3第6項第3号の2ロ"},
        {"前二項、前三条及び前号", "前2項、前3条及び前号"},
        {"<a id=\"x-to-01A-00270000-p01\" href='http://01A-00270000_VELTO'>第二十七条</a>の一部",
         "<a id=\"x-to-01A-00270000-p01\" href='http://01A-00270000_VELTO'>第27条</a>の一部"},
        // Other numbers, and numerals that are no number, stay.
        {"昭和二十五年政令第三百三十八号", "昭和二十五年政令第338号"},
        {"別表第一（い）欄、二十メートル、第十十条、第一種", "別表第一（い）欄、二十メートル、第十十条、第一種"},
        {"第三条の一部", "第3条の一部"},
        {"第", "第"},
    };
    for (const auto& c : cases) {
        std::string html = c.text;
        arabic_provision_numbers(html);
        EXPECT_EQ(html, c.shown) << c.text;
    }
    const std::pair<const char*, const char*> labels[] = {{"三　", "3　"}, {"十二の二　", "12の2　"}, {"イ　", "イ　"}, {"", ""}};
    for (const auto& [label, shown] : labels) {
        std::string text = label;
        arabic_label(text);
        EXPECT_EQ(text, shown) << label;
    }
    // The choice is kept with the other switches of the page.
    MemorySettingsStore store;
    ViewToggles toggles;
    EXPECT_EQ(read_view_toggles(store).ArabicNumbers, 0);
    toggles.ArabicNumbers = 1;
    write_view_toggles(store, toggles);
    EXPECT_EQ(read_view_toggles(store), toggles);
}

// --- the command line ---

TEST(CitationCommandLine, LinksAndUnresolvedCitationsOneALine)
{
    TempDir scratch;
    auto r = velto::test::run_reader(VELTO_BINARY_DIR, "--links 01B-01120000-00", scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string id = "01B-01120000-00-1800-0000-0000-0000";
    EXPECT_NE(r.out.find(id + "\t法第二十七条第一項各号\t01A-00270000-00\t01A-00270000-00-0100-0000-0000-0000\n" + id +
                         "\t第二項各号\t01A-00270000-00\t01A-00270000-00-0200-0000-0000-0000\n"),
              std::string::npos)
        << r.out;
    const auto law = velto::test::run_reader(VELTO_BINARY_DIR, "--links 建築基準法施行令", scratch);
    EXPECT_EQ(law.status, 0);
    EXPECT_NE(law.out.find(r.out), std::string::npos); // the page's lines are among the law's

    r = velto::test::run_reader(VELTO_BINARY_DIR, "--unresolved 建築基準法", scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("01A-00050400-00-0500-0000-0000-0000\t次条第二項\t読み替えの引用\n"), std::string::npos);
    for (std::size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1)
        EXPECT_EQ(std::count(r.out.begin() + at, r.out.begin() + end, '\t'), 2) << r.out.substr(at, end - at);

    r = velto::test::run_reader(VELTO_BINARY_DIR, "--unresolved 99Z", scratch);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "velto: the reader shows no page or law 99Z\n");
    EXPECT_EQ(velto::test::run_reader(VELTO_BINARY_DIR, "--links", scratch).status, 1);
}
