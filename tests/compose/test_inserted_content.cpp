// Reference blocks, inserted tables, the program's own pages and notification histories.
#include "tests/compose_fixture.h"

#include "compose/content_policy.h"
#include "compose/page_rows.h"
#include "core/paths.h"

using namespace velto;
using velto::test::count_of;

namespace {

class InsertedContent : public velto::test::ComposeFixture {};

constexpr const char* kFirstSentence = "01A-00010000-00-0100-0000-0000-0000";

// The fields of reference rows as one comparable text.
std::string flattened(const std::vector<ReferenceRow>& rows)
{
    std::string out;
    for (const ReferenceRow& r : rows) {
        for (const std::string* field : {&r.target, &r.keyword, &r.place, &r.aux, &r.remark, &r.caption})
            out += *field + '|';
        for (const std::int32_t number : {r.active, r.emphasise, r.in_table, r.automatic, r.which})
            out += std::to_string(number) + '|';
        out += '\n';
    }
    return out;
}

// Every sentence of `db`: the rows read ahead for its page must be the rows
// its own statements give, in their order. Returns the sentences compared.
std::size_t expect_rows_read_ahead_as_per_sentence(Database& db)
{
    std::vector<std::string> sentences;
    for (auto rs = db.execute("SELECT ID_BN FROM T_文 ORDER BY ID_BN"); !rs->eof(); rs->move_next())
        sentences.push_back(rs->text("ID_BN"));
    std::unique_ptr<PageRows> ahead;
    std::string page;
    for (const std::string& id : sentences) {
        if (id.substr(0, 15) != page) {
            page = id.substr(0, 15);
            ahead = std::make_unique<PageRows>(db, page, true);
        }
        std::vector<ReferenceRow> references;
        for (auto rs = db.execute(reference_statement(id)); !rs->eof(); rs->move_next())
            references.push_back(reference_row(*rs));
        std::vector<std::optional<std::string>> pieces;
        for (auto rs = db.execute("SELECT * FROM T_表 WHERE ID_BN = '" + sql_escape(id) + "' ORDER BY 順序"); !rs->eof();
             rs->move_next())
            pieces.push_back(rs->is_null("表式データ") ? std::nullopt : std::optional(rs->text("表式データ")));
        const auto* read_references = ahead->references(id);
        const auto* read_pieces = ahead->tables(id);
        if (!read_references || !read_pieces) {
            ADD_FAILURE() << id << ": nothing read ahead";
            continue;
        }
        EXPECT_EQ(flattened(*read_references), flattened(references)) << id;
        EXPECT_TRUE(*read_pieces == pieces) << id;
    }
    return sentences.size();
}

} // namespace

TEST_F(InsertedContent, ReferenceBlockLinesNamesAndAnchors)
{
    std::string block, sentence = "構造に、構造の、構造。", table;
    ASSERT_TRUE(doc->_html_ref(kFirstSentence, 8, block, sentence, table));
    EXPECT_TRUE(reporter.messages().empty());

    EXPECT_EQ(count_of(block, "<font style=\"font-size: 8pt; font-weight: normal; \">\n"), 3u);
    EXPECT_EQ(count_of(block, "<div style=\"margin-left: 7em; margin-top: 0.5em\" align=\"right\">"), 1u);
    EXPECT_EQ(count_of(block, "<div style=\"margin-left: 7em\" align=\"right\">"), 2u);
    EXPECT_LT(block.find("margin-top"), block.find("<div style=\"margin-left: 7em\" align"));

    const std::string anchor = std::string(kFirstSentence) + "-to-01A-00200000-r0";
    EXPECT_NE(block.find("<SPAN STYLE=\"color: #777700\">構造</SPAN> ⇒ <a id=\"" + anchor +
                         "1\" href='http://01A-00200000-00_VELTO'>法第20条 「構造耐力」</a></div>\n</font>\n"),
              std::string::npos)
        << block;
    // Same article again: second anchor renumbered; "なし" hides the remark and the caption.
    EXPECT_NE(block.find("<a id=\"" + anchor + "2\" href='http://01A-00200000-00_VELTO'>法第20条第1項</a>"),
              std::string::npos)
        << block;
    // Another law family: general name and a blank; a long caption cut at 50 bytes.
    EXPECT_NE(block.find("<SPAN STYLE=\"color: #777700\">基準（本文）</SPAN> ⇒ "), std::string::npos);
    EXPECT_NE(block.find(">都市計画法 第1条 「目的目的目的目的目的目的目的目的目的目的目的目的目 ... 」</a>"), std::string::npos)
        << block;
    // 自動 with 選定 = 2: only the second occurrence is coloured.
    EXPECT_EQ(sentence, "構造に、<SPAN STYLE=\"color: #777700\">構造</SPAN>の、構造。");
}

TEST_F(InsertedContent, ReferenceLineQuotesOnlyWhatThereIs)
{
    // The target's caption and the row's remark -> the text of the link.
    const struct {
        const char* caption;
        const char* remark; // SQL
        const char* text;
    } cases[] = {
        {"構造耐力", "NULL", "法第20条 「構造耐力」"},
        {"", "NULL", "法第20条"}, // an article without a caption: no empty quotes
        {"なし", "NULL", "法第20条"},
        {"", "'荷重'", "法第20条 「荷重」"},
        {"構造耐力", "'なし'", "法第20条"},
    };
    for (const auto& c : cases) {
        rebuild(std::string("UPDATE T_条 SET 条名 = '") + c.caption + "' WHERE ID_FN = '01A-00200000-00';\n" +
                "UPDATE T_参 SET 備考 = " + c.remark + " WHERE ID_BN = '" + kFirstSentence + "' AND 順序 = 1;\n");
        std::string block, sentence, table;
        ASSERT_TRUE(doc->_html_ref(kFirstSentence, 8, block, sentence, table));
        EXPECT_NE(block.find(std::string("r01\" href='http://01A-00200000-00_VELTO'>") + c.text + "</a>"),
                  std::string::npos)
            << c.caption << " / " << c.remark << "\n" << block;
    }
}

TEST_F(InsertedContent, KeywordsInTablesAndMarkersAndOtherLaws)
{
    std::string block, sentence = "表を見よ。", table = "<td x:str=\"構造\">構造</td><td x:str=\"\">構造物</td>";
    ASSERT_TRUE(doc->_html_ref("01A-00020000-00-0100-0100-0000-0000", 8, block, sentence, table));
    EXPECT_EQ(sentence, "表を見よ。");
    EXPECT_EQ(table, "<td ><SPAN STYLE=\"color: #777700\">構造</SPAN></td><td ><SPAN STYLE=\"color: #777700\">構造</SPAN>物</td>");
    EXPECT_NE(block.find(">国土交通省告示 平18年 543号 「告示」</a>"), std::string::npos) << block;

    block.clear();
    sentence = "";
    ASSERT_TRUE(doc->_html_ref("01A-00020000-00-0100-0200-0000-0000", 8, block, sentence, table));
    EXPECT_NE(block.find(">令第1条 「用語の定義」</a>"), std::string::npos) << block;
    EXPECT_NE(block.find(">法別表第1 「別表第一」</a>"), std::string::npos) << block;

    // Markers: keywords written as [K...K] in the text; a later row to a missing page ends the lines quietly.
    block.clear();
    sentence = "建築物は、[K自重K]に対して安全とする。";
    ASSERT_TRUE(doc->_html_ref("01A-00200000-00-0100-0000-0000-0000", 8, block, sentence, table));
    EXPECT_EQ(sentence, "建築物は、<SPAN STYLE=\"color: #777700\">自重</SPAN>に対して安全とする。");
    EXPECT_EQ(count_of(block, "<a id="), 1u);
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(InsertedContent, ReferenceBlockFailures)
{
    std::string block, sentence = "元の文", table;
    // No reference rows: false and nothing said.
    EXPECT_FALSE(doc->_html_ref("01A-00540000-00-0100-0000-0000-0000", 8, block, sentence, table));
    EXPECT_TRUE(reporter.messages().empty());

    // The first row points at a page that does not exist.
    EXPECT_FALSE(doc->_html_ref("01A-00030000-00-0100-0000-0000-0000", 8, block, sentence, table));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].caption, "文ID(ID_BN)から参照リンクを抽出、作成");
    EXPECT_EQ(reporter.messages()[0].text.rfind("文ID(01A-00030000-00-0100-0000-0000-0000)の参照リンク先の抽出に失敗しました。\n"
                                                "関数 = CVeltoDoc::_html_ref()\n\n",
                                                0),
              0u)
        << reporter.messages()[0].text;

    // A target whose kind has no label (supplementary provisions): a component error first.
    reporter.clear();
    EXPECT_FALSE(doc->_html_ref("01A-00030000-00-0200-0000-0000-0000", 8, block, sentence, table));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].text.rfind("#importによって生成されたクラスに対し例外が生成されました。\n\nコード = 80004005\n", 0), 0u);
    EXPECT_NE(reporter.messages()[0].text.find("の参照リンク先の抽出に失敗しました。\n関数 = CVeltoDoc::_html_ref()"),
              std::string::npos);
    EXPECT_TRUE(block.empty());
    EXPECT_EQ(sentence, "元の文");
}

TEST_F(InsertedContent, TablesOfASentence)
{
    std::string html;
    ASSERT_TRUE(doc->_html_tbl("01A-00020000-00-0100-0100-0000-0000", html));
    EXPECT_EQ(count_of(html, "<style type=\"text/css\">"), 2u);
    EXPECT_EQ(count_of(html, "A:link { color: #007733}\n"), 2u);
    EXPECT_EQ(count_of(html, "-->\n</style>\n\n</head>"), 2u);
    EXPECT_EQ(html.find("insert_point"), std::string::npos); // not a table page
    EXPECT_NE(html.find("-to-01A-00030000-t01\" href='http://01A-00030000_VELTO'>第3条</a>"), std::string::npos) << html;
    EXPECT_NE(html.find("\n</td>"), std::string::npos);
    EXPECT_NE(html.find("二つ目\n<br>の表"), std::string::npos);
    EXPECT_NE(html.find("font-size:9.0pt;"), std::string::npos); // the default size is not rewritten
    EXPECT_EQ(html.find("[第3条]"), std::string::npos);

    // No table rows: false, nothing said.
    EXPECT_FALSE(doc->_html_tbl("01A-00010000-00-0100-0000-0000-0000", html));
    EXPECT_TRUE(html.empty());
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(InsertedContent, TableFontSizeFollowsTheSetting)
{
    stop();
    settings.write_int(kSectionSettings, "FontSizeTable", 11);
    start();
    std::string html;
    ASSERT_TRUE(doc->_html_tbl("01A-00020000-00-0100-0100-0000-0000", html));
    EXPECT_NE(html.find("font-size:11pt;"), std::string::npos);
    EXPECT_EQ(html.find("font-size:9.0pt;"), std::string::npos);
    EXPECT_NE(html.find("font-size: 9.0pt;"), std::string::npos); // only the exact text is rewritten
}

TEST_F(InsertedContent, ProgramPagesLoadTheirPicturesFromTheImageFolder)
{
    const std::string images = file_url(dir.path() + "images14/");
    std::string html;
    ASSERT_TRUE(doc->_html_others("00A-Z0010000-00", html));
    EXPECT_NE(html.find("<img src=\"" + images + "velto_title.bmp\"><img src=\"" + images + "season.gif\">"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<a href='http://00A-Z0020000_VELTO'>凡例</a>"), std::string::npos) << html;

    ASSERT_TRUE(doc->_html_others("00A-Z0090001-00", html));
    EXPECT_EQ(html, "<img src=\"" + images + "basic/l.gif\"><img src=\"" + images + "design/d.gif\">");

    EXPECT_FALSE(doc->_html_others("00A-Z0050000-00", html));
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(InsertedContent, NotificationHistoryLines)
{
    const std::string html = doc->_html_history("05K-KD180543-00", 4, 18, 543, 9);
    EXPECT_EQ(html, "<br>\n<font style=\"font-size: 8pt; font-weight: normal; color: #696969\">\n"
                    "<div align=\"right\">平成18年5月31日　国土交通省告示第543号</div>\n"
                    "<div align=\"right\">最終改正　平成19年5月18日　国土交通省告示第599号</div>\n</font>\n");
    // Promulgated in 1989 (平成1), no revision.
    const std::string early = doc->_html_history("05K-KA010001-00", 1, 1, 1, 12);
    EXPECT_NE(early.find("<div align=\"right\">平成1年1月8日　建設省告示第1号</div>\n</font>"), std::string::npos) << early;
    EXPECT_NE(early.find("font-size: 11pt"), std::string::npos);
    // The era is that of the day: 昭和 to 1989-01-07, 平成 from 01-08, 令和 from 2019-05-01.
    const struct { const char* id; int number; const char* promulgation; const char* revision; } eras[] = {
        {"05K-KE070012-00", 12, "令和7年4月1日　国土交通省告示第12号", "最終改正　令和1年5月1日　国土交通省告示第3号"},
        {"05K-KC640001-00", 1, "昭和64年1月7日　建設省告示第1号", "最終改正　平成31年4月30日　国土交通省告示第2号"},
    };
    for (const auto& e : eras) {
        const std::string lines = doc->_html_history(e.id, 0, 0, e.number, 9);
        EXPECT_NE(lines.find(std::string(">") + e.promulgation + "<"), std::string::npos) << lines;
        EXPECT_NE(lines.find(std::string(">") + e.revision + "<"), std::string::npos) << lines;
    }
    // A revision number without its date gives no revision line.
    EXPECT_EQ(doc->_html_history("05K-KD180545-00", 4, 18, 545, 9),
              "<br>\n<font style=\"font-size: 8pt; font-weight: normal; color: #696969\">\n"
              "<div align=\"right\">平成18年5月31日　国土交通省告示第545号</div>\n</font>\n");
    // Dates that are no dates give no line, and without a promulgation line no block.
    EXPECT_EQ(doc->_html_history("05K-KD180544-00", 4, 18, 544, 9), "");
    EXPECT_TRUE(reporter.messages().empty());

    EXPECT_EQ(doc->_html_history("05K-KD990001-00", 4, 99, 1, 9), "");
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].caption, "告示の履歴(html形式)を生成する");
    EXPECT_EQ(reporter.messages()[0].text, "データベースのテーブル(T_告)内に告示履歴データを\n見つけることができませんでした。\n\n"
                                           "関数 = CVeltoDoc::_html_history()");
}

TEST_F(InsertedContent, SplitIndicatorMarksTheCurrentPage)
{
    EXPECT_EQ(doc->_split_indicator("01A-00010000-00"), "");
    const std::string html = doc->_split_indicator("01A-00520000-01");
    const std::string system = file_url(dir.path() + "images14/") + "system/";
    EXPECT_EQ(count_of(html, "<a href='http://01A-00520000-0"), 3u);
    EXPECT_NE(html.find("<a href='http://01A-00520000-01_VELTO'><img border='0' title='第二項 から　(現在位置 P.2/3)' src='" + system +
                        "indicator_red.gif' width='10' height='10'></a>"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("title='第一項　(P.1/3)' src='" + system + "indicator_blue.gif'"), std::string::npos);
    EXPECT_NE(html.find("title='第三項　(P.3/3)' src='" + system + "indicator_blue.gif'"), std::string::npos);
    EXPECT_EQ(html.rfind("\n<!---------------------------------------->\n<!--↓ヴェルトが挿入した分割インジケータ-->\n<br>\n<div align='right'>\n", 0), 0u);
}

// --- The content policy of shown and exported pages

TEST(ContentPolicy, StandsBeforeAnythingThePageHolds)
{
    const std::string meta = content_policy_meta();
    EXPECT_EQ(meta, std::string("<meta http-equiv=\"Content-Security-Policy\" content=\"") + kPageContentPolicy +
                        "\">\n");
    const struct {
        std::string html;
        std::size_t at; // where the meta goes
    } cases[] = {
        {"<html><head><script>x</script>", 0},
        {"", 0},
        {"\xEF\xBB\xBF<html>", 3},
        {"<!DOCTYPE html>\n<html>", 0},
        {"<!-->x<!-- --><link rel=stylesheet href=data:text/css,p{}>", 0},
        {"\xFF\xFE<\0h\0", 0}, // no UTF-16 mark stays in front of it
        {"\v<!doctype html>", 0},
    };
    for (const auto& c : cases) {
        std::string expected = c.html;
        expected.insert(c.at, meta);
        EXPECT_EQ(with_content_policy(c.html), expected) << c.html;
    }
    // No frame of its own in the page, whatever the case or the markup around it.
    EXPECT_EQ(with_content_policy("<iframe srcdoc=\"a\"></iframe><IFRAME/SrcDoc=b>"),
              meta + "<iframe data-refused-srcdoc=\"a\"></iframe><IFRAME/data-refused-SrcDoc=b>");
}

// --- rows read ahead for a page

TEST_F(InsertedContent, RowsReadAheadForAPageAreEachSentencesOwnInItsOrder)
{
    // Ties of 順序 keep the order the sentence's statement gives; a null piece
    // stays in its place; a page whose identifier is a prefix of another's
    // (and one with a quote) reads its own rows only.
    rebuild("INSERT INTO T_参 VALUES ('01A-00010000-00-0100-0000-0000-0000', '01A-00990000-00', 2, -1, '', 'B', 0, 0, 0, 0, "
            "0, NULL, NULL);\n"
            "INSERT INTO T_参 VALUES ('01A-00010000-00-0100-0000-0000-0000', '01A-00010000-00', 2, -1, '', 'A', 0, 0, 0, 0, "
            "0, NULL, NULL);\n"
            "INSERT INTO T_表 VALUES ('01A-00010000-00-0100-0000-0000-0000', 1, NULL, NULL);\n"
            "INSERT INTO T_表 VALUES ('01A-00010000-00-0100-0000-0000-0000', 1, '<p>後</p>', NULL);\n"
            "INSERT INTO T_文 (ID_BN, 法文) VALUES ('01A-00010000-0', '短い');\n"
            "INSERT INTO T_参 VALUES ('01A-00010000-0', '01A-00200000-00', 1, -1, '', '', 0, 0, 0, 0, 0, NULL, NULL);\n"
            "INSERT INTO T_文 (ID_BN, 法文) VALUES ('01A-0001''000-00-0100', '引用符');\n"
            "INSERT INTO T_表 VALUES ('01A-0001''000-00-0100', 1, '<p>表</p>', NULL);\n");
    EXPECT_GT(expect_rows_read_ahead_as_per_sentence(doc->database()), 10u);

    test::Reader whole(VELTO_BINARY_DIR "/");
    ASSERT_TRUE(whole.started);
    EXPECT_GT(expect_rows_read_ahead_as_per_sentence(whole.doc.database()), 1000u);
}
