#include "compose/markup.h"
#include "compose/velto_doc.h"
#include "core/report.h"
#include "settings/settings_store.h"
#include "core/sjis.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace velto;

namespace {

// A sentence identifier (35 characters), as article pages pass it.
constexpr std::string_view kOwner = "01A-00010000-00-0001-0000-0000-0000";

class Markup : public ::testing::Test {
protected:
    DisplaySettings display = default_display_settings();
    TextMarkup markup{display};
};

std::size_t count_of(std::string_view text, std::string_view needle)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(needle); at != std::string_view::npos; at = text.find(needle, at + needle.size()))
        ++n;
    return n;
}

std::string repeat(std::string_view s, std::size_t n)
{
    std::string out;
    for (std::size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

// --- article references -------------------------------------------------

TEST_F(Markup, ReferenceToTheSameLawBecomesAnAnchoredLink)
{
    EXPECT_EQ(markup._mark_article_links(kOwner, "前条及び[第20条]の規定", false),
              "前条及び<a id=\"01A-00010000-00-0001-0000-0000-0000-to-01A-00200000-p01\" "
              "href='http://01A-00200000_VELTO'>第20条</a>の規定");
    EXPECT_EQ(markup._mark_article_links(kOwner, "[第20条]", true),
              "<a id=\"01A-00010000-00-0001-0000-0000-0000-to-01A-00200000-t01\" "
              "href='http://01A-00200000_VELTO'>第20条</a>");
}

TEST_F(Markup, ReferencesWithBranchesAndOtherLaws)
{
    const std::string other = markup._mark_article_links(kOwner, "[第6条の2/01B]", false);
    EXPECT_EQ(other, "<a id=\"01A-00010000-00-0001-0000-0000-0000-to-01B-00060200-p01\" "
                     "href='http://01B-00060200_VELTO'>第6条の2</a>");
    EXPECT_NE(markup._mark_article_links(kOwner, "[第6条の2の3]", false)
                  .find("href='http://01A-00060203_VELTO'>第6条の2の3</a>"),
              std::string::npos);
    // A zero branch is no branch: the second one is not read.
    EXPECT_NE(markup._mark_article_links(kOwner, "[第20条の0の5]", false).find("'http://01A-00200000_VELTO'"),
              std::string::npos);
}

TEST_F(Markup, ReferencesThatDoNotParseStayAsStored)
{
    for (const std::string_view text : {"[第十条]", "[第12345条]", "[第0条]", "[第条]", "[第20の2]", "[第１条]"})
        EXPECT_EQ(markup._mark_article_links(kOwner, text, false), text) << text;
    // A three-digit branch fails its length test: the link has no branches.
    EXPECT_NE(markup._mark_article_links(kOwner, "[第3条の100]", false).find("'http://01A-00030000_VELTO'>第3条の100<"),
              std::string::npos);
}

TEST_F(Markup, ReferenceReachIsCountedInShiftJisBytes)
{
    // The "]" lies 21 Shift-JIS bytes after the "[" (31 bytes of UTF-8): still a reference.
    const std::string longest = markup._mark_article_links(kOwner, "[第1000条の10の10/01B]", false);
    EXPECT_NE(longest.find("href='http://01B-10001010_VELTO'>第1000条の10の10</a>"), std::string::npos);
    // One byte further ends the scan; later references stay as stored too.
    const std::string too_far = "[第1000条の10の10 /01B]と[第2条]";
    EXPECT_EQ(markup._mark_article_links(kOwner, too_far, false), too_far);
}

TEST_F(Markup, AnUnfindableLawPartRemovesEverySquareBracket)
{
    const std::string out = markup._mark_article_links(kOwner, "[第5条]、[第6条/01BX]及び[第7条]", false);
    EXPECT_EQ(out, "<a id=\"01A-00010000-00-0001-0000-0000-0000-to-01A-00050000-p01\" "
                   "href='http://01A-00050000_VELTO'>第5条</a>、第6条/01BX及び第7条");
    // A law part shorter than 3 characters cannot be found again either.
    EXPECT_EQ(markup._mark_article_links(kOwner, "[第6条/01]です", false), "第6条/01です");
    // The brackets stay when the stored form does occur elsewhere in the text.
    const std::string both = markup._mark_article_links(kOwner, "[第6条/01BX]と[第6条/01B]", false);
    EXPECT_EQ(both.rfind("[第6条/01BX]と", 0), 0u);
    EXPECT_EQ(count_of(both, "01B-00060000_VELTO"), 1u);
}

TEST_F(Markup, RepeatedReferencesGetNumberedAnchors)
{
    const std::string out = markup._mark_article_links(kOwner, "[第20条]、[第21条]、[第20条]及び[第20条]", false);
    const std::string id20 = std::string(kOwner) + "-to-01A-00200000-p";
    EXPECT_EQ(count_of(out, id20 + "01\""), 1u);
    EXPECT_EQ(count_of(out, id20 + "02\""), 1u);
    EXPECT_EQ(count_of(out, id20 + "03\""), 1u);
    EXPECT_LT(out.find(id20 + "01"), out.find(id20 + "02"));
    EXPECT_LT(out.find(id20 + "02"), out.find(id20 + "03"));
    EXPECT_EQ(count_of(out, std::string(kOwner) + "-to-01A-00210000-p01\""), 1u);
    EXPECT_EQ(count_of(out, "-p0"), 4u);
}

TEST_F(Markup, DifferentlyWrittenReferencesToOneArticleGetDistinctAnchors)
{
    const struct { const char* text; const char* target; std::size_t links; } cases[] = {
        {"A[第6条]B[第6条/01A]C", "01A-00060000", 2},
        {"[第7条]と[第 7条]と[第7 条]", "01A-00070000", 3},
        {"[第6条の2/01B]、[第6条の2 /01B]及び[第6条の2/01B]", "01B-00060200", 3},
    };
    for (const auto& c : cases) {
        const std::string out = markup._mark_article_links(kOwner, c.text, false);
        const std::string id = std::string(kOwner) + "-to-" + c.target + "-p";
        for (std::size_t n = 1; n <= c.links; ++n)
            EXPECT_EQ(count_of(out, id + "0" + std::to_string(n) + "\""), 1u) << c.text << " " << n << "\n" << out;
        EXPECT_EQ(count_of(out, "<a id="), c.links) << c.text;
    }
}

TEST_F(Markup, NumberAnchorsRenumbersOnlyRepeatedPlaces)
{
    std::string block = "<a id=\"B-to-X-r01\">1</a><a id=\"B-to-Y-r01\">2</a><a id=\"B-to-X-r01\">3</a>"
                        "<a id=\"B-to-X-r01\">4</a>";
    TextMarkup::_number_anchors(block, {"B-to-X-r01", "B-to-Y-r01", "B-to-Z-r01", "r"});
    EXPECT_EQ(block, "<a id=\"B-to-X-r01\">1</a><a id=\"B-to-Y-r01\">2</a><a id=\"B-to-X-r02\">3</a>"
                     "<a id=\"B-to-X-r03\">4</a>");
    // An anchor at the very end of the text has nothing to overwrite.
    std::string tail = "a-r01 a-r";
    TextMarkup::_number_anchors(tail, {"a-r01"});
    EXPECT_EQ(tail, "a-r01 a-r");
    // A long list of anchors of one length numbers the places as a short one does.
    const struct {
        std::size_t others; // further anchors B-to-a-r01, B-to-b-r01 …
        std::string expected;
    } lists[] = {
        {0, "B-to-X-r01 B-to-X-r02B-to-X-r03 B-to-c-r01 B-to-c-r01"},
        {3, "B-to-X-r01 B-to-X-r02B-to-X-r03 B-to-c-r01 B-to-c-r02"},
        {12, "B-to-X-r01 B-to-X-r02B-to-X-r03 B-to-c-r01 B-to-c-r02"},
    };
    for (const auto& list : lists) {
        std::vector<std::string> anchors = {"B-to-X-r01"};
        for (std::size_t i = 0; i < list.others; ++i)
            anchors.push_back("B-to-" + std::string(1, static_cast<char>('a' + i)) + "-r01");
        std::string text = "B-to-X-r01 B-to-X-r01B-to-X-r01 B-to-c-r01 B-to-c-r01";
        TextMarkup::_number_anchors(text, anchors);
        EXPECT_EQ(text, list.expected) << list.others;
    }
}

// --- explicit links -----------------------------------------------------

TEST_F(Markup, ExplicitLinksAreAnchoredOnlyForSentenceOwners)
{
    const std::string_view text = "詳しくは[L構造計算/01A-00200000L]を見よ";
    EXPECT_EQ(markup._mark_explicit_links(kOwner, text),
              "詳しくは<a id=\"01A-00010000-00-0001-0000-0000-0000-to-01A-00200000-m01\" "
              "href='http://01A-00200000_VELTO'>構造計算</a>を見よ");
    EXPECT_EQ(markup._mark_explicit_links("", text), "詳しくは<a href='http://01A-00200000_VELTO'>構造計算</a>を見よ");
    EXPECT_EQ(markup._mark_explicit_links(kOwner.substr(1), text),
              "詳しくは<a href='http://01A-00200000_VELTO'>構造計算</a>を見よ");
}

TEST_F(Markup, RepeatedExplicitLinksAreNumbered)
{
    const std::string out =
        markup._mark_explicit_links(kOwner, "[La/01A-00200000L][Lb/01A-00200000L][La/01A-00200000L]");
    const std::string id = std::string(kOwner) + "-to-01A-00200000-m";
    EXPECT_EQ(count_of(out, id + "01\""), 1u);
    EXPECT_EQ(count_of(out, id + "02\""), 1u);
    EXPECT_EQ(count_of(out, id + "03\""), 1u);
    EXPECT_EQ(out.find("L]"), std::string::npos);
}

TEST_F(Markup, MalformedExplicitLinksEndTheScan)
{
    for (const std::string_view text : {"[Lx/01A-0020L]と[Ly/01A-00200000L]", "[Lno slash L]と[Ly/01A-00200000L]",
                                        "[L]x/01A-00200000L]", "[La/01A-00200000"})
        EXPECT_EQ(markup._mark_explicit_links(kOwner, text), text) << text;

    // The text between the markers must stay below 80 Shift-JIS bytes.
    const std::string visible66 = repeat("建", 33); // 66 bytes + "/" + 12 = 79
    const std::string fits = "[L" + visible66 + "/01A-00200000L]";
    EXPECT_NE(markup._mark_explicit_links("", fits).find("'>" + visible66 + "</a>"), std::string::npos);
    const std::string too_long = "[L" + visible66 + "x/01A-00200000L]";
    EXPECT_EQ(markup._mark_explicit_links("", too_long), too_long);
}

// --- brackets -----------------------------------------------------------

TEST_F(Markup, OnlyPhrasesLongerThanElevenBytesAreColoured)
{
    // Four kanji are 8 Shift-JIS bytes (12 of UTF-8): not coloured.
    std::string shorter = "（建築基準）";
    EXPECT_TRUE(markup._color_brackets(shorter));
    EXPECT_EQ(shorter, "（建築基準）");
    std::string eleven = "（abcdefghijk）";
    EXPECT_TRUE(markup._color_brackets(eleven));
    EXPECT_EQ(eleven, "（abcdefghijk）");

    std::string twelve = "法（建築基準法令）に";
    EXPECT_TRUE(markup._color_brackets(twelve));
    EXPECT_EQ(twelve, "法<span style=\"background-color: #DDFFDD\"><span style=\"background-color: #00FF00\">（</span>"
                      "建築基準法令<span style=\"background-color: #00FF00\">）</span></span>に");
}

TEST_F(Markup, NestingLevelsChooseTheColoursAndTheFourthStaysPlain)
{
    std::string text = "（第一の括弧（第二の括弧（第三の括弧（第四の括弧です）です）です）です）";
    ASSERT_TRUE(markup._color_brackets(text));
    EXPECT_EQ(count_of(text, "background-color: #00FF00"), 2u); // level 1: both brackets
    EXPECT_EQ(count_of(text, "background-color: #DDFFDD"), 1u);
    EXPECT_EQ(count_of(text, "background-color: #00FFFF"), 2u);
    EXPECT_EQ(count_of(text, "background-color: #FFFF00"), 2u);
    EXPECT_NE(text.find("第三の括弧（第四の括弧です）です"), std::string::npos);

    // An unclosed outer bracket still counts as a level.
    std::string unclosed = "（外側（建築基準法令）";
    ASSERT_TRUE(markup._color_brackets(unclosed));
    EXPECT_EQ(unclosed.substr(0, 9), "（外側");
    EXPECT_EQ(count_of(unclosed, "#00FFFF"), 2u);
}

TEST_F(Markup, AnUnbalancedClosingBracketLeavesTheSentenceUncoloured)
{
    std::string text = "）前の（建築基準法令）";
    EXPECT_FALSE(markup._color_brackets(text));
    EXPECT_EQ(text, "）前の（建築基準法令）");
    std::string late = "（建築基準法令））";
    EXPECT_FALSE(markup._color_brackets(late));
    EXPECT_EQ(late, "（建築基準法令））");
}

TEST_F(Markup, MarkedUpTextIsColouredAsItsStoredTextAndTagsAreSkipped)
{
    // Decided on the stored text: with its markers the phrase is 12 bytes long.
    std::string html = "（<a href='x'>第20条</a>参照）";
    ASSERT_TRUE(markup._color_brackets(html, "（[第20条]参照）"));
    EXPECT_EQ(count_of(html, "<span style="), 3u);
    EXPECT_NE(html.find("</span><a href='x'>第20条</a>参照<span"), std::string::npos) << html;
    // Brackets inside a tag are no brackets.
    std::string tag = "<img alt=\"（図の説明です）\">（建築基準法令）";
    ASSERT_TRUE(markup._color_brackets(tag));
    EXPECT_EQ(tag.rfind("<img alt=\"（図の説明です）\"><span", 0), 0u) << tag;
    // Texts that do not hold the same brackets are left as they are.
    std::string other = "（建築基準法令）";
    EXPECT_FALSE(markup._color_brackets(other, "（建築基準法令）（"));
    EXPECT_EQ(other, "（建築基準法令）");
}

TEST_F(Markup, UnwrappedMarksLeaveTheirTextAsItIs)
{
    std::string text = "[K建築物K]と[KKマークK]と K] [K";
    TextMarkup::_unwrap_marked("[K", "K]", text);
    EXPECT_EQ(text, "建築物とKマークと K] [K");
}

TEST_F(Markup, ColoursAreReadWhenTheRoutineRuns)
{
    display[DisplaySettings::FontColorBrachet1A] = 0x0000FF; // red
    display[DisplaySettings::FontColorBrachet1B] = 0x123456;
    display[DisplaySettings::FontColorTop] = 0x00FF00;
    std::string text = "（建築基準法令）";
    markup._color_brackets(text);
    EXPECT_EQ(count_of(text, "#FF0000"), 2u);
    EXPECT_EQ(count_of(text, "#563412"), 1u);
    EXPECT_NE(markup._title_supplement("x").find("color: #00FF00"), std::string::npos);
}

// --- superscripts, definitions, marked keywords ---------------------------

TEST_F(Markup, UnitsGetSuperscriptExponents)
{
    std::string text = "10m3の水槽、断面積5㎝2、5㎜3、加速度9.8m/s2、毎秒2回、3m";
    for (const auto& rule : kSuperscriptRules)
        TextMarkup::_mark_superscripts(rule.unit, rule.exponent, text);
    EXPECT_EQ(text, "10m<SUP>3</SUP>の水槽、断面積5㎝<SUP>2</SUP>、5㎜<SUP>3</SUP>、加速度9.8m/s<SUP>2</SUP>、"
                    "毎秒<SUP>2</SUP>回、3m");
}

TEST_F(Markup, AllUnitsAtOnceAreTheRulesOneByOne)
{
    for (const std::string text : {"10m3の水槽", "3m、2㎝、23秒", "<a id=\"x-to-01A-00020000-p02\">第2条</a>", "秒2", "㎝3㎜2s2",
                                   "m", ""}) {
        std::string one_by_one = text, at_once = text;
        for (const auto& rule : kSuperscriptRules)
            TextMarkup::_mark_superscripts(rule.unit, rule.exponent, one_by_one);
        TextMarkup::_mark_all_superscripts(at_once);
        EXPECT_EQ(at_once, one_by_one) << text;
    }
}

TEST_F(Markup, DefinitionsAreEmphasisedButQuotationsAreNot)
{
    EXPECT_EQ(TextMarkup::_emphasize_definitions("「建築物」とは、土地に定着する工作物をいう。"),
              "「建築物」とは、土地に定着する工作物をいう。");
    EXPECT_EQ(TextMarkup::_emphasize_definitions("以下「特定行政庁」という。"),
              "以下<B STYLE=\"color: #996633\">「特定行政庁」</B>という。");
    // A quotation before the definition is skipped; a defined term is emphasised wherever it occurs.
    const std::string out =
        TextMarkup::_emphasize_definitions("「敷地」とは別に「主事」が置く者（以下「主事」という。）と「長」という。");
    EXPECT_EQ(out,
              "「敷地」とは別に<B STYLE=\"color: #996633\">「主事」</B>が置く者（以下"
              "<B STYLE=\"color: #996633\">「主事」</B>という。）と<B STYLE=\"color: #996633\">「長」</B>という。");
}

TEST_F(Markup, DefinedTermsMustBeShorterThanEightyBytes)
{
    const std::string term39 = repeat("建", 39); // 78 bytes
    EXPECT_NE(TextMarkup::_emphasize_definitions("「" + term39 + "」という。").find("<B "), std::string::npos);
    const std::string term40 = "「" + repeat("建", 40) + "」という。";
    EXPECT_EQ(TextMarkup::_emphasize_definitions(term40), term40);
}

TEST_F(Markup, MarkedKeywordsAreWrappedWithoutTheirMarkers)
{
    std::string text = "[K建築物K]の敷地と[KKマークK]の表示";
    TextMarkup::_wrap_marked("[K", "K]", "<SPAN STYLE=\"color: #777700\">", "</SPAN>", text);
    // Trimming is by character set: the K of "Kマーク" goes with the marker.
    EXPECT_EQ(text,
              "<SPAN STYLE=\"color: #777700\">建築物</SPAN>の敷地と<SPAN STYLE=\"color: #777700\">マーク</SPAN>の表示");

    std::string far = "[K" + repeat("a", 80) + "K]";
    const std::string before = far;
    TextMarkup::_wrap_marked("[K", "K]", "<", ">", far);
    EXPECT_EQ(far, before);
    std::string close_first = "K] [Kx K]";
    TextMarkup::_wrap_marked("[K", "K]", "<", ">", close_first);
    EXPECT_EQ(close_first, "K] [Kx K]");
}

// --- titles -------------------------------------------------------------

TEST_F(Markup, ArticleTitles)
{
    EXPECT_EQ(markup._title_article(0, 1, 1, "建築基準法", false), "");
    EXPECT_EQ(markup._title_article(-3, 0, 0, "建築基準法", true), "");
    EXPECT_EQ(markup._title_article(20, 0, 0, "建築基準法", true), "建築基準法 第20条");
    EXPECT_EQ(markup._title_article(20, 2, 3, "建築基準法", true), "建築基準法 第20条の2の3");
    EXPECT_EQ(
        markup._title_article(6, 2, 0, "建築基準法", false),
        "<div>\n<font style=\"font-size: 9pt; font-weight: bold; color: #696969\">\n第\n"
        "<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: #696969\">\n6\n</font>\n条"
        "の\n<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: #696969\">\n2\n</font>\n"
        "　〔建築基準法〕\n</font>\n</div>\n");
    // A second branch without a first is not shown in the block.
    EXPECT_EQ(markup._title_article(6, 0, 4, "法", false), markup._title_article(6, 0, 0, "法", false));
}

TEST_F(Markup, SupplementAndNoticeTitles)
{
    EXPECT_EQ(markup._title_supplement("建築基準法"),
              "<div>\n<font style=\"font-size: 9pt; font-weight: bold; color: #696969\">\n"
              "<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: #696969\">\n附則\n</font>\n"
              "　〔建築基準法〕\n</font>\n</div>\n");
    EXPECT_EQ(markup._title_notice(4, 12, 1399, "告示"),
              "<div>\n<font style=\"font-size: 9pt; font-weight: bold; color: #696969\">\n平成\n"
              "<font style=\"font-size: 18pt; font-family: 'Century'; color: #696969\">\n12\n</font>\n年\n"
              "<font style=\"font-size: 18pt; font-family: 'Century'; color: #696969\">\n1399\n</font>\n号"
              "　〔告示〕\n</font>\n</div>\n");
    EXPECT_NE(markup._title_notice(1, 1, 1, "").find("\n明治\n"), std::string::npos);
    EXPECT_NE(markup._title_notice(5, 1, 1, "").find("\n令和\n"), std::string::npos);
    EXPECT_NE(markup._title_notice(6, 1, 1, "").find("\n不明\n"), std::string::npos);
}

// --- bad input ----------------------------------------------------------

TEST_F(Markup, UnterminatedMarkersAndInvalidUtf8AreText)
{
    for (const std::string_view text : {"[", "[第", "末尾[第1", "[L", "[Lx/", "「", "」", "（", "[第1条", "\xE7\xAF"}) {
        EXPECT_EQ(markup._mark_article_links(kOwner, text, false), text);
        EXPECT_EQ(markup._mark_explicit_links(kOwner, text), text);
        EXPECT_EQ(TextMarkup::_emphasize_definitions(text), text);
        std::string copy(text);
        markup._color_brackets(copy);
        EXPECT_EQ(copy, text);
    }
    // Invalid bytes around a reference are kept as they are.
    const std::string out = markup._mark_article_links(kOwner, "\xE7[第1条]\xE7\xAF", false);
    EXPECT_EQ(out.substr(0, 1), "\xE7");
    EXPECT_EQ(out.substr(out.size() - 2), "\xE7\xAF");
    EXPECT_NE(out.find("'http://01A-00010000_VELTO'>第1条</a>"), std::string::npos);
    // A marker inside a nested one: the first "L]" closes the outer marker.
    EXPECT_EQ(markup._mark_explicit_links("", "[L[La/01A-00200000L]"), "<a href='http://01A-00200000_VELTO'>[La</a>");
}

TEST_F(Markup, OwnersHoldingMarkupDoNotFeedBack)
{
    // An owner identifier that itself holds a reference must not make the
    // text grow without end: links written are never scanned again.
    const std::string owner = "[第1条][第1条][第1条][第1条]";
    const std::string out = markup._mark_article_links(owner, repeat("[第1条]", 50), false);
    EXPECT_EQ(count_of(out, "<a id="), 50u);
    const std::string link_owner = "[La/01A-00200000L]" + repeat("x", 17);
    ASSERT_EQ(link_owner.size(), 35u);
    EXPECT_EQ(count_of(markup._mark_explicit_links(link_owner, repeat("[La/01A-00200000L]", 20)), "<a id="), 20u);
}

TEST_F(Markup, MegabyteSentencesAreMarkedUpInLinearTime)
{
    std::string text;
    for (int article = 1; text.size() < 1'000'000; ++article) {
        const std::string ref =
            "[第" + std::to_string(article % 9999 + 1) + "条の" + std::to_string(article % 97 + 1) + "]";
        text +=
            ref + "（建築基準法令の規定）" + ref + "「用語" + std::to_string(article) + "」という。[Lx/01A-00200000L]";
    }
    const auto start = std::chrono::steady_clock::now();
    std::string out = markup._mark_article_links(kOwner, text, false);
    EXPECT_EQ(count_of(out, "_VELTO"), count_of(text, "[第"));
    EXPECT_EQ(count_of(out, "-p02\""), count_of(text, "[第") / 2);
    out = markup._mark_explicit_links(kOwner, out);
    EXPECT_EQ(count_of(out, "[L"), 0u);
    EXPECT_TRUE(markup._color_brackets(out));
    out = TextMarkup::_emphasize_definitions(out);
    EXPECT_EQ(count_of(out, "<B STYLE"), count_of(text, "という。"));
    std::string only_brackets = repeat("（", 300'000) + repeat("）", 300'000);
    EXPECT_TRUE(markup._color_brackets(only_brackets));
    std::string marked = repeat("[Kab K]", 150'000);
    TextMarkup::_wrap_marked("[K", "K]", "<", ">", marked);
    EXPECT_EQ(count_of(marked, "<ab >"), 150'000u);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 20.0); // a pass per reference would take many minutes
}

// --- the document -------------------------------------------------------

TEST(MarkupDocument, TheDocumentMarksUpWithItsCurrentSettings)
{
    MemorySettingsStore settings;
    settings.write_int(kSectionSettings, "FontColorTop", 0x332211);
    CapturingReporter reporter;
    CVeltoDoc doc(settings, reporter);
    EXPECT_NE(doc._title_supplement("法").find("color: #112233"), std::string::npos);

    DisplaySettings changed = doc.display();
    changed[DisplaySettings::FontColorTop] = 0x0000FF;
    doc.set_display(changed);
    EXPECT_NE(doc._title_notice(3, 1, 2, "").find("color: #FF0000"), std::string::npos);
    EXPECT_NE(doc._mark_article_links(kOwner, "[第2条]", false).find("href='http://01A-00020000_VELTO'>第2条</a>"),
              std::string::npos);
    EXPECT_EQ(doc._mark_explicit_links("", "[La/01A-00200000L]"), "<a href='http://01A-00200000_VELTO'>a</a>");
}
