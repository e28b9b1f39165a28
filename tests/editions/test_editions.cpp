// Editions of a law compared: the words compared, the passages underlined,
// and the articles that changed between the real editions of 建築基準法 and
// its 施行令 that the build's folder keeps.
#include "catalog/visible_text.h"
#include "editions/article_history.h"
#include "editions/comparison_page.h"
#include "editions/edition_compare.h"
#include "tests/compose_fixture.h"
#include "tests/program/program_folders.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velto {
namespace {

// A marked text as a line: changed passages between ［ and ］.
std::string marked(const MarkedText& text)
{
    std::string out;
    for (const TextSpan& span : text)
        out += span.changed ? "［" + span.text + "］" : span.text;
    return out;
}

// --- the words compared

TEST(VisibleText, TakesOutMarksAndDecodesReferences)
{
    const struct {
        const char* stored;
        const char* visible;
    } cases[] = {
        {"法[第2条/01A]第九号", "法第2条第九号"},
        {"[第86条]第二項", "第86条第二項"},
        {"[L建築物/01A-00020000L]の[K敷地K]", "建築物の敷地"},
        {"A&amp;B &lt;&#x3042;&#12354;&gt;", "A&B <ああ>"},
        {"[第十条]と[L未完", "[第十条]と[L未完"}, // not a reference mark of the database; not closed
        {"&unknown; &#0; &", "&unknown; &#0; &"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(visible_text(c.stored), c.visible) << c.stored;
}

TEST(TextDiff, UnderlinesExactlyWhatChanged)
{
    const struct {
        const char* older;
        const char* newer;
        const char* older_marked;
        const char* newer_marked;
        bool same;
    } cases[] = {
        {"主要構造部が、次の", "特定主要構造部が、次の", "主要構造部が、次の", "［特定］主要構造部が、次の", false},
        {"一時間（三十分間）", "一時間（四十五分間）", "一時間（［三十］分間）", "一時間（［四十五］分間）", false},
        {"第一条　削除", "第一条 削除", "第一条　削除", "第一条 削除", true},
        // An unchanged character between two changes goes with them.
        {"甲乙丙丁", "戊乙己丁", "［甲乙丙］丁", "［戊乙己］丁", false},
        // A blank inside a changed passage is underlined with it.
        {"", "新しい　条文", "", "［新しい　条文］", false},
        {"古い条文", "", "［古い条文］", "", false},
    };
    for (const auto& c : cases) {
        const TextDiff diff = diff_text(c.older, c.newer);
        EXPECT_EQ(marked(diff.older), c.older_marked) << c.older << " / " << c.newer;
        EXPECT_EQ(marked(diff.newer), c.newer_marked) << c.older << " / " << c.newer;
        EXPECT_EQ(diff.same, c.same) << c.older << " / " << c.newer;
    }
}

TEST(TextDiff, ALongRewriteStaysWholeAndInvalidBytesAreCharacters)
{
    std::string older, newer;
    for (int i = 0; i < 3000; ++i) {
        older += (i % 2) ? "あ" : "い";
        newer += (i % 3) ? "う" : "え";
    }
    const TextDiff diff = diff_text("前" + older + "後", "前" + newer + "後");
    EXPECT_EQ(marked(diff.newer), "前［" + newer + "］後");
    EXPECT_FALSE(diff.same);
    EXPECT_FALSE(diff_text("\xff\xfe", "\xff\xfd").same);
}

// --- the real editions

class RealEditions : public ::testing::Test {
protected:
    void SetUp() override { db = test::open_db(test::kProgramDir); }
    std::unique_ptr<Database> db;
};

TEST_F(RealEditions, ListsAddedDeletedChangedAndRenumberedArticlesInOrder)
{
    const EditionComparison order = compare_editions(*db, "01B", "2023-05-26", "2025-12-01");
    const EditionComparison act = compare_editions(*db, "01A", "325AC0000000201_20230616_505AC0000000058", "2025-12-01");
    ASSERT_TRUE(order.ok) << order.message;
    ASSERT_TRUE(act.ok) << act.message;
    const struct {
        const EditionComparison* comparison;
        ChangeKind kind;
        const char* newer_id;
        const char* older_id;
        const char* title;
    } expected[] = {
        {&order, ChangeKind::Added, "01B-01080300-00", "", "第108条の3"},
        {&order, ChangeKind::Moved, "01B-01080400-00", "01B-01080300-00", "第108条の4"},
        {&order, ChangeKind::Added, "01B-01370202-00", "", "第137条の2の2"},
        {&order, ChangeKind::Moved, "01B-01091000-00", "01B-01090900-00", "第109条の10"},
        {&order, ChangeKind::Deleted, "", "01B-00020300-00", "第2条の3"},
        {&order, ChangeKind::Changed, "01B-00020200-00", "01B-00020200-00", "第2条の2"},
        {&order, ChangeKind::Changed, "01B-01490000-00", "01B-01490000-00", "第149条"},
        {&act, ChangeKind::Changed, "01A-00060000-00", "01A-00060000-00", "第6条"},
        {&act, ChangeKind::Moved, "01A-00776000-00", "01A-00775902-00", "第77条の60"},
        {&act, ChangeKind::Deleted, "", "01A-00776300-00", "第77条の63"},
    };
    for (const auto& e : expected) {
        const auto& list = e.comparison->articles;
        const bool found = std::any_of(list.begin(), list.end(), [&](const ArticleChange& c) {
            return c.kind == e.kind && c.newer_id == e.newer_id && c.older_id == e.older_id && c.title == e.title;
        });
        EXPECT_TRUE(found) << change_kind_name(e.kind) << " " << e.newer_id << " " << e.older_id;
    }
    // Untouched articles are not listed, under either number.
    for (const char* untouched : {"01B-00010000-00", "01B-00020000-00", "01B-00060000-00", "01A-00010000-00"}) {
        const auto& list = (untouched[2] == 'B' ? order : act).articles;
        EXPECT_TRUE(std::none_of(list.begin(), list.end(), [&](const ArticleChange& c) {
            return c.newer_id == untouched || c.older_id == untouched;
        })) << untouched;
    }
    // In order of the newer numbering; the counts add up.
    for (const EditionComparison* c : {&order, &act}) {
        EXPECT_EQ(c->added + c->deleted + c->changed + c->moved, static_cast<int>(c->articles.size()));
        for (std::size_t i = 1; i < c->articles.size(); ++i) {
            const auto key = [](const ArticleChange& a) { return a.newer_id.empty() ? a.older_id : a.newer_id; };
            EXPECT_LE(key(c->articles[i - 1]), key(c->articles[i]));
        }
    }
    EXPECT_EQ(act.deleted, 1);
    // The supplementary provisions changed too, listed apart.
    EXPECT_TRUE(std::any_of(order.others.begin(), order.others.end(),
                            [](const ArticleChange& c) { return c.title == "附則"; }));
}

TEST_F(RealEditions, AnEditionThatChangedOnlyItsSupplementaryProvisionsListsNoArticle)
{
    const EditionComparison c = compare_editions(*db, "01A", "2025-12-01", "2026-04-01");
    ASSERT_TRUE(c.ok) << c.message;
    EXPECT_TRUE(c.articles.empty());
    EXPECT_EQ(c.counts(), "追加 0件、削除 0件、改正 0件、移動 0件");
}

TEST_F(RealEditions, RefusesWhatCannotBeCompared)
{
    const struct {
        const char* law;
        const char* older;
        const char* newer;
        const char* message;
    } cases[] = {
        {"01B", "2024-01-01", "2025-12-01",
         "建築基準法施行令（01B）の版 2024-01-01 は収録されていません。収録している版: 2020-04-01、2023-05-26、2025-12-01（現行）"},
        {"01B", "2023-05-26", "2023-05-26", "同じ版（2023-05-26）を二度指定しています。"},
        {"01B", "325AC0000000201_20230616_505AC0000000058", "2025-12-01", "は別の法令（01A）の版です。"},
        {"01B", "2025-12-01", "2023-05-26", "古い版を先に指定してください。"},
        {"99Z", "2023-05-26", "2025-12-01", "法令 99Z の版は収録されていません。"},
    };
    for (const auto& c : cases) {
        const EditionComparison result = compare_editions(*db, c.law, c.older, c.newer);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.articles.empty());
        EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
    }
}

TEST_F(RealEditions, UnderlinesAChangedPassageInsideAnUnchangedParagraph)
{
    test::Reader reader(test::kProgramDir);
    ASSERT_TRUE(reader.started);
    const EditionPair pair = choose_editions(*db, "01B", "2023-05-26", "2025-12-01");
    const ArticleComparison c =
        compare_article(*db, reader.doc, pair.older, "01B-01080300-00", pair.newer, "01B-01080400-00");
    ASSERT_GE(c.rows.size(), 4u);
    EXPECT_EQ(c.rows[0].newer.label, "第108条の4");
    EXPECT_EQ(c.rows[0].older.label, "第108条の3");
    EXPECT_TRUE(c.rows[0].newer.label_changed);
    const ComparedRow& first = c.rows[2];
    EXPECT_EQ(marked(first.newer.text),
              "法第二条第九号の二イ（２）の政令で定める技術的基準は、［特定］主要構造部が、次の各号のいずれかに該当することとする。");
    EXPECT_EQ(marked(first.older.text),
              "法第二条第九号の二イ（２）の政令で定める技術的基準は、主要構造部が、次の各号のいずれかに該当することとする。");
    // Sentences that stayed are folded into one row, shown once.
    const auto folded = std::find_if(c.rows.begin(), c.rows.end(),
                                     [](const ComparedRow& r) { return r.kind == ComparedRow::Kind::Folded; });
    ASSERT_NE(folded, c.rows.end());
    const std::string html = comparison_html(c, "建築基準法施行令", reader.doc.display());
    EXPECT_EQ(html.find("［特定］"), std::string::npos); // underlined, not bracketed
    EXPECT_NE(html.find("<u class=\"changed\">特定</u>主要構造部が"), std::string::npos);
    EXPECT_NE(html.find("改正後（令和7年12月1日施行）</th><th>改正前（令和5年5月26日施行）"), std::string::npos);
    EXPECT_NE(html.find("（略）</summary>"), std::string::npos);
    const std::string text = comparison_text(c, "建築基準法施行令");
    EXPECT_EQ(text.rfind("建築基準法施行令　第108条の4（旧 第108条の3）\n改正後（令和7年12月1日施行）\t改正前（令和5年5月26日施行）\n", 0), 0u)
        << text;
}

TEST_F(RealEditions, AnArticlesHistoryFollowsItThroughItsRenumbering)
{
    EditionChanges changes(*db);
    const std::vector<ArticleRevision> history = changes.history("01B-01080400-00");
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history[0].kind, ChangeKind::Moved);
    EXPECT_EQ(history[0].older_id, "01B-01080300-00");
    EXPECT_EQ(history[0].newer.enforced, "2025-12-01");
    EXPECT_TRUE(changes.history("01B-00010000-00").empty()); // 第1条 never changed
    EXPECT_TRUE(changes.history("01A-F0010000-00").empty()); // not an article

    const std::optional<ComparisonRequest> back = parse_comparison_link(comparison_link(history[0]));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->law, "01B");
    EXPECT_EQ(back->older, history[0].older.revision);
    EXPECT_EQ(back->newer_id, "01B-01080400-00");
    for (const char* foreign : {"http://01B-01080400_VELTO", "velto-diff:compare?law=01B&older=a'b&newer=c&newer_id=x",
                                "velto-diff:compare?law=01B"})
        EXPECT_FALSE(parse_comparison_link(foreign)) << foreign;
    const std::string line = history_line_html(history, 12);
    EXPECT_NE(line.find("この条の改正："), std::string::npos);
    EXPECT_NE(line.find("令和7年12月1日施行</a>（移動）"), std::string::npos);
}

} // namespace
} // namespace velto
