// Decoding of internal links and the status-bar texts of links; these need
// the document only, not the browser.
#include "core/sjis.h"
#include "tests/view/view_fixture.h"
#include "view/link_text.h"
#include "view/support_site.h"

namespace velto::test {
namespace {

using LinkText = PageViewTest; // the document, without a view

TEST(InternalLinks, DecodeTheFormsTheBrowserReports)
{
    struct Case {
        const char* url;
        bool internal;
        const char* id;
    };
    const Case cases[] = {
        {"http://01A-00200000_VELTO", true, "01A-00200000-00"},    // as written by the builders
        {"http://01a-00200000_velto/", true, "01A-00200000-00"},   // as the browser reports it
        {"HTTP://01A-00520000-01_VELTO//", true, "01A-00520000-01"}, // a page of a split article
        {"http://01a-t0020000_velto/", true, "01A-T0020000-00"},
        {"http://host/path/01A-00010000_VELTO", true, "01A-00010000-00"}, // the last segment counts
        {"http://01A-0001_VELTO", true, ""},                         // marker without a page
        {"http://01A-00010000-001_VELTO", true, ""},
        // A citation of a paragraph or item names the provision's first sentence.
        {"http://01a-00270000-00-0200-0000-0000-0000_velto/", true, "01A-00270000-00-0200-0000-0000-0000"},
        {"http://01A-00270000-00-0200-0000-0000-000_VELTO", true, ""},
        {"_VELTO", true, ""},
        {"https://www.mokume88.jp/mokume88/", false, ""},
        {"http://01A-00200000", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        const InternalLink link = C2ndView::_decode_internal_url(c.url);
        EXPECT_EQ(link.internal, c.internal) << c.url;
        EXPECT_EQ(link.id, c.id) << c.url;
    }
}

TEST_F(LinkText, FixedTextsForTheSupportSiteAndTheDesignPages)
{
    const std::string site(kSupportSite);
    EXPECT_EQ(status_text_for_url(*doc, site + "/mokume88/rireki/prog/v1403.html"),
              "ヴェルトの更新情報が掲載されているページです。");
    EXPECT_EQ(status_text_for_url(*doc, site + "/mokume88/rireki/hourei/rireki_hourei.html"),
              "収録法令の改正履歴の掲載ページです。");
    EXPECT_EQ(status_text_for_url(*doc, site + "/mokume88/rireki/kokuji/rireki_kokuji.html"),
              "収録告示の改正履歴の掲載ページです。");
    EXPECT_EQ(status_text_for_url(*doc, site + "/mokume88/"), "ヴェルトのサポートサイトのトップページです。");
    EXPECT_EQ(status_text_for_url(*doc, std::string(kSupportMailLink)),
              "ご意見、ご要望、バグ情報等。メールお待ちしております。お気軽にどうぞ。");
    // Only the listed pages: other pages of the site and other sites say nothing.
    EXPECT_EQ(status_text_for_url(*doc, site + "/mokume88/rireki/hourei/other.html"), "");
    EXPECT_EQ(status_text_for_url(*doc, "https://example.org/"), "");
    EXPECT_EQ(status_text_for_url(*doc, ""), "");

    EXPECT_EQ(status_text_for_url(*doc, "http://00a-z0090000_velto/"), "建築設計資料トップページ");
    EXPECT_EQ(status_text_for_url(*doc, "http://00a-z0090004_velto/"), "建築設計資料－断面性能表－Ｉ 形鋼");
    EXPECT_EQ(status_text_for_url(*doc, "http://00A-Z0090006-00_VELTO"), "建築設計資料－断面性能表－Ｈ 形鋼");
}

TEST_F(LinkText, InternalLinksAreDescribedByKindOfPage)
{
    std::string label;
    ASSERT_TRUE(CVeltoDoc::_article_label("01A-00030000-00", label));
    EXPECT_EQ(status_text_for_url(*doc, "http://01a-00030000_velto/"), "建築基準法 " + label + " 「適用の除外」");

    EXPECT_EQ(status_text_for_url(*doc, "http://01a-f0000000_velto/"), "建築基準法 附則 「附則」");

    ASSERT_TRUE(CVeltoDoc::_table_label("01A-T0010000-00", label));
    EXPECT_EQ(status_text_for_url(*doc, "http://01a-t0010000_velto/"), "建築基準法 " + label + " 「別表第一」");

    // A notification is named by its number alone; a split page says which page it is.
    ASSERT_TRUE(CVeltoDoc::_notice_number_label("05K-KD180543-01", label, false));
    EXPECT_EQ(status_text_for_url(*doc, "http://05k-kd180543-01_velto/"), label + " (2/2) 「構造計算の基準」");
    ASSERT_TRUE(CVeltoDoc::_article_label("01A-00040000-01", label));
    EXPECT_EQ(status_text_for_url(*doc, "http://01a-00040000-01_velto/"), "建築基準法 " + label + " (2/2) 「分割された条」");

    // The program's own pages have no head, only their name.
    EXPECT_EQ(status_text_for_url(*doc, "http://00a-z0020000_velto/"), " 「凡例」");

    // Nothing for what cannot be described.
    EXPECT_EQ(status_text_for_url(*doc, "http://01a-0001_velto/"), "");
    EXPECT_EQ(status_text_for_url(*doc, "http://01a-00000000_velto/"), ""); // article number 0
}

TEST_F(LinkText, LongArticleNamesAreCutAt180Bytes)
{
    std::string label;
    ASSERT_TRUE(CVeltoDoc::_article_label("01A-00050000-00", label));
    // 100 double-byte characters: 90 of them fill 180 bytes.
    std::string ninety;
    for (int i = 0; i < 90; ++i)
        ninety += "長";
    EXPECT_EQ(status_text_for_url(*doc, "http://01A-00050000_VELTO"), "建築基準法 " + label + " 「" + ninety + " ... 」");

    // One single-byte character first: the 90th double-byte character would end
    // at byte 181, so the cut is at 179.
    ASSERT_TRUE(CVeltoDoc::_article_label("01A-00060000-00", label));
    const std::string text = status_text_for_url(*doc, "http://01A-00060000_VELTO");
    const std::string head = "建築基準法 " + label + " 「";
    ASSERT_EQ(text.substr(0, head.size()), head);
    const std::string name = text.substr(head.size(), text.size() - head.size() - std::string(" ... 」").size());
    EXPECT_EQ(sjis_width(name), 179u);
    EXPECT_EQ(name, "a" + ninety.substr(0, ninety.size() - std::string("長").size()));
    EXPECT_EQ(text.substr(text.size() - std::string(" ... 」").size()), " ... 」");
}

} // namespace
} // namespace velto::test
