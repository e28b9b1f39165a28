// Whole pages composed from their records.
#include "tests/compose_fixture.h"

#include "core/paths.h"
#include "core/text_replace.h"

#include <climits>

using namespace velto;
using velto::test::count_of;

namespace {

class PageBuilder : public velto::test::ComposeFixture {
protected:
    std::string failure(const std::string& id)
    {
        std::string html = "untouched";
        reporter.clear();
        EXPECT_FALSE(doc->_html_build(id, html)) << id;
        EXPECT_EQ(html, "") << id;
        EXPECT_EQ(reporter.messages().size(), 1u) << id;
        if (reporter.messages().empty())
            return {};
        EXPECT_EQ(reporter.messages()[0].caption, "HTML形式の法文を作成");
        EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::Stop);
        return reporter.messages()[0].text;
    }
};

class LinkView : public PageViewLink {
public:
    std::string current_page_id() const override { return {}; }
    void rebuild_current_page() override {}
    bool from_link() const override { return true; }
};

} // namespace

TEST_F(PageBuilder, ArticlePageFromHeadToEnd)
{
    const std::string html = page("01A-00010000-00");
    EXPECT_EQ(html.rfind("<html>\n<head>\n<style type=\"text/css\">\n<!--\nA { text-decoration: none; }\n"
                         "A:link { color: #007733}\nA:active { color: #FF0000}\nA:hover { color: #FF0000}\n-->\n</style>\n"
                         "<script language=\"VBScript\">\n<!--\nSub Dummy()\nEnd Sub\n//-->\n</script>\n"
                         "<script language=\"JavaScript\">\n<!--\nfunction Dummy()\n{\n}\n//-->\n</script>\n</head>\n"
                         "<body id=\"oBody\" style=\"font-family: 'ＭＳ Ｐゴシック'; font-size: 9pt\" bgcolor=\"#FFFFFF\" "
                         "text=\"#000000\" >\n\n\n<!--↓イメージ等の動的挿入用アンカー-------->\n<a name=\"insert_point\"></a>\n\n"
                         "<div>\n",
                         0),
              0u)
        << html;
    EXPECT_NE(html.find("<font style=\"font-size: 9pt; font-weight: bold; color: #696969\">\n"
                        "<div align=\"right\">第1章 総則</div>\n</font>\n<hr>\n<br>\n【目的】<br>\n<br>\n<br>\n<br>\n"),
              std::string::npos)
        << html;
    // One sentence block: tag, hanging indent of 1.5 characters of 9 points, marked-up text.
    EXPECT_NE(html.find("<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:4.8mm; text-indent:-4.8mm'>\n"
                        "<font color=\"#0066CC\"><b><a id=\"01A-00010000-00-0100-0000-0000-0000\">\n第1条　\n</a></b></font>\n"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("href='http://01A-00200000_VELTO'>第20条</a>"), std::string::npos);
    EXPECT_NE(html.find("background-color"), std::string::npos); // brackets coloured
    EXPECT_EQ(count_of(html, "-to-01A-00200000-r0"), 2u);       // the reference block
    EXPECT_NE(html.find("</div>\n</font>\n<br>\n</body>\n</html>\n"), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 16), "</body>\n</html>\n");
}

TEST_F(PageBuilder, SwitchesLeaveOutReferencesAndBracketColours)
{
    stop();
    settings.write_int(kSectionSettings, "Refer", 0);
    settings.write_int(kSectionSettings, "Brachet", 0);
    start();
    const std::string html = page("01A-00010000-00");
    EXPECT_EQ(html.find("-r01"), std::string::npos);
    EXPECT_EQ(html.find("background-color"), std::string::npos);
    EXPECT_NE(html.find("（<a id="), std::string::npos); // the bracket itself stays
}

TEST_F(PageBuilder, SettingsTheDialogCannotSetNeverReachThePage)
{
    stop();
    settings.write_int(kSectionSettings, "FontSizeBasic", INT_MIN);
    settings.write_int(kSectionSettings, "BackColor", -1);
    start();
    std::string html = page("05K-KD180543-00");
    EXPECT_NE(html.find("font-size: 9pt\" bgcolor=\"#FFFFFF\""), std::string::npos);
    EXPECT_NE(html.find("<font style=\"font-size: 8pt; font-weight: normal; color: #696969\">"), std::string::npos);

    DisplaySettings values = doc->display();
    values[DisplaySettings::FontSizeBasic] = 100000;
    values[DisplaySettings::FontSizeTable] = 11;
    doc->set_display(values);
    EXPECT_EQ(doc->display()[DisplaySettings::FontSizeBasic], 9);
    EXPECT_EQ(doc->display()[DisplaySettings::FontSizeTable], 11);
}

// Keyword marks the reference block does not emphasise are shown as text.
TEST_F(PageBuilder, KeywordMarksNothingEmphasisesAreText)
{
    const std::string emphasised = "<SPAN STYLE=\"color: #777700\">自重</SPAN>";
    const std::string row = " WHERE ID_BN = '01A-00200000-00-0100-0000-0000-0000' AND 順序 = 1";
    const struct { int refer; std::string change; std::string keyword; } cases[] = {
        {1, "", emphasised},
        {0, "", "自重"},
        {1, "UPDATE T_参 SET 有効 = 0" + row, "自重"},
        {1, "UPDATE T_参 SET 強調 = 0" + row, "自重"},
        {1, "UPDATE T_参 SET 自動 = -1" + row, emphasised},
        {1, "UPDATE T_文 SET 参照 = 0 WHERE ID_BN = '01A-00200000-00-0100-0000-0000-0000'", "自重"},
    };
    for (const auto& c : cases) {
        stop();
        settings.write_int(kSectionSettings, "Refer", c.refer);
        rebuild(c.change);
        const std::string html = page("01A-00200000-00");
        EXPECT_NE(html.find("建築物は、" + c.keyword + "に対して"), std::string::npos) << c.change << "\n" << html;
        EXPECT_EQ(html.find("[K"), std::string::npos) << c.change;
        EXPECT_EQ(html.find("K]"), std::string::npos) << c.change;
    }
}

// Colouring brackets never cuts into a link or a keyword mark: with the
// colour spans taken out, the page is the page without colouring.
TEST_F(PageBuilder, BracketColoursNeverCutLinksOrKeywords)
{
    const std::string coloured = page("01A-00070000-00");
    stop();
    settings.write_int(kSectionSettings, "Brachet", 0);
    start();
    const std::string plain = page("01A-00070000-00");

    const std::string a = "<span style=\"background-color: #00FF00\">";
    const std::string b = "<span style=\"background-color: #DDFFDD\">";
    EXPECT_NE(coloured.find("href='http://02K-KD121400_VELTO'>不燃材料を定める件" + b + a + "（</span>平成12年告示第1400号" + a +
                            "）</span></span></a>を参照。"),
              std::string::npos)
        << coloured;
    EXPECT_NE(coloured.find("<SPAN STYLE=\"color: #777700\">建築物" + b + a + "（</span>工作物を含む。" + a +
                            "）</span></span></SPAN>の敷地"),
              std::string::npos)
        << coloured;
    // A phrase that would cross the end of a keyword mark stays plain.
    EXPECT_NE(coloured.find("前段（<SPAN STYLE=\"color: #777700\">重要な語（括弧</SPAN>の後に続く長い文）。"),
              std::string::npos)
        << coloured;

    std::string stripped = coloured;
    for (const char* colour : {"#00FF00", "#DDFFDD", "#00FFFF", "#DDFFFF", "#FFFF00", "#FFFFDD"})
        replace_all(stripped, std::string("<span style=\"background-color: ") + colour + "\">", "");
    replace_all(stripped, "</span>", "");
    EXPECT_EQ(stripped, plain);
}

TEST_F(PageBuilder, LargeArticleIsAbbreviatedUntilReachedThroughItsLink)
{
    const std::string brief = page("01A-00020000-00");
    EXPECT_NE(brief.find("<a href='http://01A-00020000_VELTO'>　⇒　ココをクリックすると全文が表示されます。"
                         "（内容量が多いため表示に時間がかかる場合があります。）</a></body>\n</html>\n"),
              std::string::npos)
        << brief;
    EXPECT_EQ(brief.find("用語の意義"), std::string::npos);
    EXPECT_TRUE(doc->_is_abbreviated("01A-00020000-00"));

    LinkView view;
    doc->set_page_view(&view);
    const std::string full = page("01A-00020000-00");
    doc->set_page_view(nullptr);
    EXPECT_NE(full.find("用語の意義は、次のとおりとする。"), std::string::npos);
    // The table of the first item: inserted with its pictures from the notification folder.
    EXPECT_NE(full.find("\n<!-- start : tabel inserted -->\n"), std::string::npos);
    EXPECT_NE(full.find("<img src=\"" + file_url(dir.path() + "images14/") + "kokuji/fig.gif\">"), std::string::npos);
    EXPECT_EQ(full.find("x:str="), std::string::npos);
    // The definition in the sentence is emphasised.
    EXPECT_NE(full.find("<B STYLE=\"color: #996633\">「建築物」</B>"), std::string::npos) << full;
    // The second item has no text and no label: no block, only its anchor, and its references are still written.
    EXPECT_EQ(full.find("<a id=\"01A-00020000-00-0100-0200-0000-0000\">\n"), std::string::npos);
    EXPECT_NE(full.find("<a id=\"01A-00020000-00-0100-0200-0000-0000\"></a>\n"), std::string::npos);
    EXPECT_NE(full.find(">令第1条 「用語の定義」</a>"), std::string::npos);
}

TEST_F(PageBuilder, LargeSplitPageLinksToItsOwnFullText)
{
    EXPECT_NE(page("01A-00050000-02").find("<a href='http://01A-00050000-02_VELTO'>　⇒　"), std::string::npos);
    EXPECT_NE(page("01A-00050000-00").find("<a href='http://01A-00050000_VELTO'>　⇒　"), std::string::npos);
    LinkView view;
    doc->set_page_view(&view);
    const std::string full = page("01A-00050000-02");
    doc->set_page_view(nullptr);
    EXPECT_NE(full.find("大きな条の後段。"), std::string::npos);
    EXPECT_EQ(full.find("大きな条の前段。"), std::string::npos);
}

// A page count beyond any page list is a database fault: told, and the page
// is shown whole without page number or indicator.
TEST_F(PageBuilder, ImpossiblePageCountIsReportedAndLeftOut)
{
    int count = -1, number = -1;
    EXPECT_FALSE(doc->_split_info("01A-00060000-00", count, number));
    std::string html;
    ASSERT_TRUE(doc->_html_build("01A-00060000-00", html));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].caption, "HTML形式の法文を作成");
    EXPECT_EQ(reporter.messages()[0].text.rfind("データベースの分割数(2147483647)が", 0), 0u);
    EXPECT_NE(reporter.messages()[0].text.find("条ID = 01A-00060000-00\n\n関数 = CVeltoDoc::_html_build()"),
              std::string::npos);
    EXPECT_NE(html.find("【分割数の壊れた条】<br>\n"), std::string::npos) << html;
    EXPECT_NE(html.find("壊れた条の本文。"), std::string::npos);
    EXPECT_EQ(html.find("分割インジケータ"), std::string::npos);
}

TEST_F(PageBuilder, SplitArticlePages)
{
    const std::string html = page("01A-00520000-01");
    EXPECT_NE(html.find("【容積率 （2/3）】<br>\n<br>\n"), std::string::npos) << html;
    EXPECT_EQ(count_of(html, "現在位置 P.2/3"), 2u); // indicator before and after the sentences
    EXPECT_EQ(count_of(html, "indicator_red.gif"), 2u);
    EXPECT_EQ(count_of(html, "indicator_blue.gif"), 4u);
    EXPECT_LT(html.find("分割インジケータ"), html.find("第二項の本文。"));
    EXPECT_GT(html.rfind("分割インジケータ"), html.find("第二項の本文。"));
    EXPECT_NE(html.find("<div align=\"right\">第3章 都市計画区域等における建築物の敷地、構造、建築設備及び用途</div>\n"
                        "<div align=\"right\">第4節 建築物の敷地及び構造</div>\n"),
              std::string::npos);
}

TEST_F(PageBuilder, CaptionNashiAndMissingTable)
{
    const std::string html = page("01A-00530000-00");
    EXPECT_EQ(html.find("なし"), std::string::npos);
    EXPECT_NE(html.find("<hr>\n<br>\n<br>\n<br>\n<br>\n"), std::string::npos) << html;
    EXPECT_NE(html.find("<br><font color=#EE0000><B>\n　　表式データ（01A-00530000-00-0100-0000-0000-0000）が見つかりませんでした。"
                        "<br>\n</b></font>\n<br>\n"),
              std::string::npos);
}

TEST_F(PageBuilder, SupplementNotificationAndRepealedPages)
{
    const std::string supplement = page("01A-F0000000-00");
    EXPECT_NE(supplement.find("附則\n"), std::string::npos);
    EXPECT_EQ(count_of(supplement, "<br><br>\n<div style="), 2u);
    EXPECT_NE(supplement.find("margin-left:0.0mm; text-indent:0.0mm'>\n<font color=\"#0066CC\"><b><a "
                              "id=\"01A-F0000000-00-0200-0000-0000-0000\">\n\n</a>"),
              std::string::npos)
        << supplement;

    const std::string notice = page("05K-KD180543-00");
    EXPECT_NE(notice.find("構造計算の基準<br>\n<br>\n<br>\n<font style=\"font-size: 8pt"), std::string::npos) << notice;
    EXPECT_NE(notice.find("平成18年5月31日　国土交通省告示第543号"), std::string::npos);
    EXPECT_NE(notice.find("<a id=\"05K-KD180543-00-0100-0000-0000-0000\">\n第1条　\n"), std::string::npos) << notice;
    // A "-" tag is written in the background colour.
    EXPECT_NE(notice.find("<font color=\"#FFFFFF\"><b><a id=\"05K-KD180543-00-0100-0100-0000-0000\">\n-　\n"),
              std::string::npos)
        << notice;

    // A notification of the 令和 era is titled and dated in it.
    const std::string reiwa = page("05K-KE070012-00");
    EXPECT_NE(reiwa.find("\n令和\n"), std::string::npos) << reiwa;
    EXPECT_NE(reiwa.find("令和7年4月1日　国土交通省告示第12号"), std::string::npos);
    EXPECT_EQ(doc->_status_caption("05K-KE070012-00").rfind("国土交通省告示 令7年 12号", 0), 0u);

    const std::string repealed = page("10A-00010000-00");
    EXPECT_NE(repealed.find("<p style=\"color:#FF0000\">この法律は、平成18年法律第91号"), std::string::npos);
    EXPECT_EQ(page("01A-00010000-00").find("color:#FF0000\">この"), std::string::npos);
}

TEST_F(PageBuilder, TableAndProgramPages)
{
    const std::string table = page("01A-T0010000-00");
    EXPECT_NE(table.find("<body>\n\n<!--↓イメージ等の動的挿入用アンカー-------->\n<a name=\"insert_point\"></a>\n\n<table>"),
              std::string::npos)
        << table;
    EXPECT_EQ(table.find("x:str="), std::string::npos);
    EXPECT_EQ(table.find("分割インジケータ"), std::string::npos);

    const std::string split = page("01A-T0020000-01");
    const std::size_t anchor = split.find("insert_point");
    const std::size_t indicator = split.find("分割インジケータ");
    EXPECT_LT(anchor, indicator);
    EXPECT_EQ(count_of(split, "↓ヴェルトが挿入した分割インジケータ"), 2u);
    EXPECT_LT(split.rfind("↓ヴェルトが挿入した分割インジケータ"), split.find("</body>"));

    const std::string cover = page("00A-Z0010000-00");
    EXPECT_EQ(cover.find("x:str="), std::string::npos);
    EXPECT_NE(cover.find("<span >表紙</span>"), std::string::npos);
}

TEST_F(PageBuilder, FailuresAreReportedBeforeAnyHtml)
{
    EXPECT_EQ(failure("01A-00010000-0"), "法文のタイプの識別ができませんでした。\n\n関数 = CVeltoDoc::_html_build()");
    EXPECT_EQ(failure("01A-00000000-00"), "法文のタイプの識別ができませんでした。\n\n関数 = CVeltoDoc::_html_build()");
    EXPECT_EQ(failure("01A-00030000-00"),
              "データベースのテーブル(T_文)内に法文データを\n見つけることができませんでした。\n\n関数 = CVeltoDoc::_html_build()");
    const std::string missing = failure("01A-00990000-00");
    EXPECT_EQ(missing.rfind("データベースに法文タイトルを見つけることが\nできませんでした。\n\n関数 = CVeltoDoc::_html_build()\n"
                            "条ID = 01A-00990000-00\n\n",
                            0),
              0u)
        << missing;
    EXPECT_NE(missing.find("①どの法令の第何条でこのメッセージが現れましたか？"), std::string::npos);
    EXPECT_NE(missing.find("ジャンプ先が見つからないエラー"), std::string::npos);
    EXPECT_EQ(failure("01A-00540000-00"), "章番号の抽出に失敗しました。\n\n関数 = CVeltoDoc::_html_build()");
    EXPECT_EQ(failure("01A-T0990000-00"), "別表の抽出に失敗しました。\n\n関数 = CVeltoDoc::_html_build()");
    EXPECT_EQ(failure("00A-Z0770000-00"),
              "テーブル「T_他」からのHTMLデータの抽出に失敗しました。\n\n関数 = CVeltoDoc::_html_build()");
    // Quotes in an identifier never reach the statement unescaped.
    EXPECT_EQ(failure("01A-0001'0'0-00").rfind("データベースに法文タイトルを", 0), 0u);
}

TEST_F(PageBuilder, SentenceLayoutOfNotificationLevels)
{
    const double u = 9 * 25.4 / 72;
    std::string label;
    double margin = 0, indent = 0;
    // Third level with a bracketed label: 4.5u / -2.5u.
    ASSERT_TRUE(doc->_sentence_layout("05K-KD180543-00-0100-0100-0100-0000", "        B", IdKind::Notice, 0, u, label,
                                      margin, indent));
    EXPECT_EQ(label, "（1）　");
    EXPECT_DOUBLE_EQ(margin, 4.5 * u);
    EXPECT_DOUBLE_EQ(indent, -2.5 * u);
    // First level with 札抜: no tag, no indent.
    ASSERT_TRUE(doc->_sentence_layout("05K-KD180543-00-0200-0000-0000-0000", "", IdKind::Notice, 1, u, label, margin, indent));
    EXPECT_EQ(label, "");
    EXPECT_EQ(margin, 0.0);
    // An empty second-level label indents by one character without hanging.
    ASSERT_TRUE(doc->_sentence_layout("05K-KD180543-00-0100-0100-0000-0000", "    C", IdKind::Notice, 0, u, label, margin,
                                      indent));
    EXPECT_EQ(label, "");
    EXPECT_DOUBLE_EQ(margin, u);
    EXPECT_EQ(indent, 0.0);
    // Law item: 2.5u.
    ASSERT_TRUE(doc->_sentence_layout("01A-00020000-00-0100-0300-0000-0000", "", IdKind::Article, 0, u, label, margin,
                                      indent));
    EXPECT_EQ(label, "三　");
    EXPECT_DOUBLE_EQ(margin, 2.5 * u);
    EXPECT_FALSE(doc->_sentence_layout("01A-00020000-00-0100", "", IdKind::Article, 0, u, label, margin, indent));
    EXPECT_FALSE(doc->_sentence_layout("01A-T0020000-00-0100-0300-0000-0000", "", IdKind::Table, 0, u, label, margin,
                                       indent));
}
