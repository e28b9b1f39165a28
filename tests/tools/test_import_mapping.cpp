// velto-import: the two input forms, the mapping of the official elements to rows, references and text.
#include "core/database.h"
#include "core/identifiers.h"
#include "compose/velto_doc.h"
#include "tests/fixtures.h"
#include "tests/tools/import_fixture.h"
#include "tools/dbbuild/file_replacement.h"
#include "tools/import/importer.h"
#include "tools/import/references.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <sqlite3.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

using namespace velto;
using namespace velto::import;
using velto::test::TempDir;
using namespace velto::test;

// --- the two input forms ---

TEST(ImportTree, XmlAndApiJsonOfOneLawGiveTheSameRows)
{
    const LawRows from_xml = rows_of(kLaw);
    // The JSON form, and a pretty-printed XML (indentation between elements).
    std::string pretty = kLaw;
    for (std::size_t at = pretty.find("><"); at != std::string::npos; at = pretty.find("><", at + 4))
        pretty.replace(at, 2, ">\n    <");
    for (const std::string& other : {api_json(kLaw), pretty}) {
        const LawRows rows = rows_of(other);
        ASSERT_EQ(rows.sentences.size(), from_xml.sentences.size());
        for (std::size_t i = 0; i < rows.sentences.size(); ++i) {
            EXPECT_EQ(rows.sentences[i].id_bn, from_xml.sentences[i].id_bn);
            EXPECT_EQ(rows.sentences[i].text, from_xml.sentences[i].text);
            EXPECT_EQ(rows.sentences[i].search, from_xml.sentences[i].search);
        }
        ASSERT_EQ(rows.pages.size(), from_xml.pages.size());
        for (std::size_t i = 0; i < rows.pages.size(); ++i)
            EXPECT_EQ(rows.pages[i].caption, from_xml.pages[i].caption);
        ASSERT_EQ(rows.tables.size(), from_xml.tables.size());
        for (std::size_t i = 0; i < rows.tables.size(); ++i)
            EXPECT_EQ(rows.tables[i].html, from_xml.tables[i].html);
        EXPECT_EQ(rows.headings.size(), from_xml.headings.size());
    }
}

// --- the mapping ---

TEST(ImportMapping, LawAndHeadingRows)
{
    LawRows rows = rows_of(kLaw);
    EXPECT_EQ(rows.law.id, "01A");
    EXPECT_EQ(rows.law.name, "試験法");
    EXPECT_EQ(rows.law.name_short, "試法");
    EXPECT_EQ(rows.law.name_full, "試験法（昭和二十五年法律第二百一号）");
    rows = rows_of(kLaw, {"01A", std::string("法"), 60, {}});
    EXPECT_EQ(rows.law.name_short, "法");

    ASSERT_EQ(rows.headings.size(), 3u);
    EXPECT_EQ(rows.headings[0].id_sn, "01A-0100-0000-0000-0000");
    EXPECT_EQ(rows.headings[0].names[0], "総則");
    EXPECT_EQ(rows.headings[1].id_sn, "01A-0420-0000-0000-0000");
    EXPECT_EQ(rows.headings[1].names[0], "雑則");
    EXPECT_EQ(rows.headings[2].id_sn, "01A-0420-0100-0000-0000");
    EXPECT_EQ(rows.headings[2].names[1], "通則");
    EXPECT_FALSE(rows.headings[2].labelled);
    std::string label;
    EXPECT_TRUE(IdentifierRules::_section_label(rows.headings[1].id_sn, label, 1));
    EXPECT_EQ(label, "4章の2");

    EXPECT_EQ(page(rows, "01A-00020000-00")->id_sn, "01A-0100-0000-0000-0000");
    EXPECT_EQ(page(rows, "01A-00060200-00")->id_sn, "01A-0420-0100-0000-0000");
}

TEST(ImportMapping, ArticlesBecomePagesWithTheOfficialNumbering)
{
    const LawRows rows = rows_of(kLaw);
    EXPECT_EQ(rows.articles, 5);
    EXPECT_EQ(page(rows, "01A-00020000-00")->caption, "用語の定義");
    EXPECT_EQ(page(rows, "01A-00060200-00")->caption, "確認");
    EXPECT_EQ(page(rows, "01A-00090000-00")->caption, "");
    // A range keeps its first article; the rest of its title goes beside the number.
    EXPECT_EQ(page(rows, "01A-00170000-00")->supplement, "及び第18条");

    const std::string p = "01A-00020000-00";
    EXPECT_EQ(sentence_ids(rows, p),
              (std::vector<std::string>{p + "-0100-0000-0000-0000", p + "-0100-0100-0000-0000",
                                        p + "-0100-0100-0100-0000", p + "-0100-0100-0110-0000",
                                        p + "-0100-0100-0112-0000", p + "-0100-0100-0200-0000",
                                        p + "-0100-0120-0000-0000", p + "-0100-0200-0000-0000",
                                        p + "-0200-0000-0000-0000"}));
    EXPECT_EQ(tag_of(p + "-0100-0000-0000-0000"), "第2条");
    EXPECT_EQ(tag_of(p + "-0200-0000-0000-0000"), "2");
    EXPECT_EQ(tag_of(p + "-0100-0100-0000-0000"), "一");
    EXPECT_EQ(tag_of(p + "-0100-0120-0000-0000"), "一の二");
    EXPECT_EQ(tag_of(p + "-0100-0100-0100-0000"), "イ");
    EXPECT_EQ(tag_of(p + "-0100-0100-0200-0000"), "ロ");
    EXPECT_EQ(tag_of(p + "-0100-0100-0110-0000"), "(1)");
    EXPECT_EQ(tag_of(p + "-0100-0100-0112-0000"), "（ⅱ）");

    // Columns joined by a full-width space, Ruby as its base text.
    EXPECT_EQ(sentence(rows, p + "-0100-0100-0000-0000")->text, "建築物　土地に定着する工作物をいう。");
    // Sentences of one paragraph are one text.
    EXPECT_EQ(sentence(rows, "01A-00010000-00-0100-0000-0000-0000")->search,
              "この法律は、第六条の二及び第九条に定めるところによる。ただし、第八条はこの限りでない。");
    // A level deeper than the reader's numbering continues the sentence above.
    EXPECT_EQ(sentence(rows, p + "-0100-0100-0112-0000")->text, "壁を有するもの<br>（α）　門");
    // Lists continue their sentence; the text is HTML, the search text plain and normalised.
    const SentenceRow* second = sentence(rows, p + "-0200-0000-0000-0000");
    EXPECT_EQ(second->text, "Ａ<sub>ｖ</sub>は面積とし、x&lt;yとする。<br>（この式において）");
    EXPECT_EQ(second->search, "AVは面積とし、X<Yとする。　（この式において）");
}

TEST(ImportMapping, TitlesTheNumberingCannotWriteStayInTheText)
{
    const LawRows rows = rows_of(kLaw);
    const SentenceRow* range = sentence(rows, "01A-00020000-00-0100-0200-0000-0000");
    EXPECT_EQ(range->text, "二から四まで　削除");
    EXPECT_EQ(tag_of(range->id_bn, range->style), "");
    const SentenceRow* plain = sentence(rows, "01A-00020000-00-0100-0120-0000-0000");
    EXPECT_EQ(plain->style, "");
    EXPECT_EQ(plain->text, "特殊建築物　学校をいう。");

    // Arabic item numbers get the style that writes them.
    const LawRows arabic = rows_of(replaced(kLaw, "<ItemTitle>一</ItemTitle>", "<ItemTitle>１</ItemTitle>"));
    const SentenceRow* item = sentence(arabic, "01A-00020000-00-0100-0100-0000-0000");
    EXPECT_EQ(tag_of(item->id_bn, item->style), "1");
    EXPECT_EQ(item->text.substr(0, 9), "建築物");
}

TEST(ImportMapping, LargeArticlesAreMarked)
{
    const LawRows rows = rows_of(kLaw, {"01A", {}, 8, {}});
    EXPECT_TRUE(page(rows, "01A-00020000-00")->large); // 9 sentences
    EXPECT_FALSE(page(rows, "01A-00010000-00")->large);
    EXPECT_FALSE(rows_of(kLaw, {"01A", {}, 9, {}}).pages[1].large);
}

TEST(ImportMapping, TablesAndAppendedTables)
{
    const LawRows rows = rows_of(kLaw);
    const std::string owner = "01A-00060200-00-0100-0000-0000-0000";
    EXPECT_TRUE(sentence(rows, owner)->table);
    EXPECT_FALSE(sentence(rows, "01A-00090000-00-0100-0000-0000-0000")->table);
    ASSERT_EQ(rows.tables.size(), 2u);
    const TableRow& inserted = rows.tables[0];
    EXPECT_EQ(inserted.id_bn, owner);
    EXPECT_EQ(inserted.order, 1);
    for (const char* part : {"</head>", "<body>", "</body>", "<td rowspan=\"2\" style=\"border-bottom:none;\">用途</td>",
                             "<td>[第9条]</td>"})
        EXPECT_NE(inserted.html.find(part), std::string::npos) << part;
    EXPECT_EQ(inserted.search, "用途　第九条");

    // 別表第二 without Num: its number comes from its title.
    EXPECT_EQ(rows.table_pages, 1);
    const PageRow* table_page = page(rows, "01A-T0020000-00");
    EXPECT_EQ(table_page->caption, "用途の制限（第六条の二関係）");
    std::string label;
    EXPECT_TRUE(IdentifierRules::_table_label(table_page->id_fn, label));
    EXPECT_EQ(label, "別表第2");
    EXPECT_EQ(rows.tables[1].id_bn, "01A-T0020000-00-0000-0000-0000-0000");
    EXPECT_NE(rows.tables[1].html.find("[第6条の2]関係"), std::string::npos);
    EXPECT_NE(rows.tables[1].html.find("<td>学校</td>"), std::string::npos);
}

TEST(ImportMapping, SupplementaryProvisionsBecomePagesInOrder)
{
    const LawRows rows = rows_of(kLaw);
    EXPECT_EQ(rows.supplement_pages, 2);
    const PageRow* original = page(rows, "01A-F0000000-00");
    const PageRow* amendment = page(rows, "01A-F0000000-01");
    EXPECT_EQ(original->supplement, "昭和二十五年法律第二百一号");
    EXPECT_EQ(amendment->supplement, "平成一〇年六月一二日法律第一〇〇号");
    EXPECT_EQ(original->split, 2);

    const std::string f = "01A-F0000000-00";
    EXPECT_EQ(sentence_ids(rows, f), (std::vector<std::string>{f + "-0200-0000-0000-0000", f + "-0210-0000-0000-0000",
                                                              f + "-0220-0000-0000-0000", f + "-0220-0100-0000-0000"}));
    EXPECT_EQ(sentence(rows, f + "-0200-0000-0000-0000")->text, "（施行期日）");
    // No reference links in supplementary provisions: their 第九条 may be their own.
    EXPECT_EQ(sentence(rows, f + "-0210-0000-0000-0000")->text, "１　この法律は、第九条の規定の施行の日から施行する。");
    EXPECT_EQ(tag_of(f + "-0220-0100-0000-0000"), "一");
    for (const std::string& id : sentence_ids(rows, f)) {
        int depth = 0;
        EXPECT_TRUE(IdentifierRules::_sentence_depth(id, depth));
        EXPECT_GE(depth, 1) << id; // paragraph level or below: the number is in the text
    }
    const std::string a = "01A-F0000000-01";
    EXPECT_EQ(sentence(rows, a + "-0200-0000-0000-0000")->text, "附　則　（平成一〇年六月一二日法律第一〇〇号）　抄");
    EXPECT_EQ(sentence(rows, a + "-0220-0000-0000-0000")->text, "第一条　この法律は、公布の日から施行する。");
    EXPECT_EQ(sentence(rows, a + "-0230-0000-0000-0000")->text, "２　前項の規定にかかわらず、第九条の規定は別に定める。");
}

TEST(ImportMapping, LawsDividedIntoPartsNumberTheirHeadingsInOrder)
{
    const std::string law = R"xml(<Law Num="86"><LawNum>平成十七年法律第八十六号</LawNum><LawBody><LawTitle>編法</LawTitle><MainProvision>
<Part Num="1"><PartTitle>第一編　総則</PartTitle><Chapter Num="1"><ChapterTitle>第一章　通則</ChapterTitle>
<Article Num="1"><ArticleTitle>第一条</ArticleTitle><Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>一</Sentence></ParagraphSentence></Paragraph></Article></Chapter></Part>
<Part Num="2"><PartTitle>第二編　株式会社</PartTitle><Chapter Num="1"><ChapterTitle>第一章　設立</ChapterTitle>
<Section Num="9"><SectionTitle>第九節　特則</SectionTitle>
<Subsection Num="1"><SubsectionTitle>第一款　募集</SubsectionTitle>
<Division Num="1"><DivisionTitle>第一目　総則</DivisionTitle><Article Num="2"><ArticleTitle>第二条</ArticleTitle><Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>二</Sentence></ParagraphSentence></Paragraph></Article></Division>
<Division Num="2"><DivisionTitle>第二目　特則</DivisionTitle><Article Num="3"><ArticleTitle>第三条</ArticleTitle><Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>三</Sentence></ParagraphSentence></Paragraph></Article></Division>
</Subsection>
<Subsection Num="2"><SubsectionTitle>第二款　総会</SubsectionTitle><Article Num="4"><ArticleTitle>第四条</ArticleTitle><Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>四</Sentence></ParagraphSentence></Paragraph></Article></Subsection>
</Section></Chapter></Part></MainProvision></LawBody></Law>)xml";
    const LawRows rows = rows_of(law, {"05A", {}, 60, {}});
    std::vector<std::string> headings;
    for (const HeadingRow& h : rows.headings) {
        EXPECT_TRUE(h.labelled);
        for (const std::string& name : h.names)
            if (!name.empty())
                headings.push_back(h.id_sn + " " + name);
    }
    EXPECT_EQ(headings, (std::vector<std::string>{
                            "05A-0100-0000-0000-0000 第一編　総則", "05A-0100-0100-0000-0000 第一章　通則",
                            "05A-0200-0000-0000-0000 第二編　株式会社", "05A-0200-0100-0000-0000 第一章　設立",
                            "05A-0200-0100-0100-0000 第九節　特則", "05A-0200-0100-0100-0100 第一款　募集",
                            "05A-0200-0100-0100-0200 第一目　総則", "05A-0200-0100-0100-0300 第二目　特則",
                            "05A-0200-0100-0100-0400 第二款　総会"}));
    EXPECT_EQ(page(rows, "05A-00030000-00")->id_sn, "05A-0200-0100-0100-0300");
    EXPECT_EQ(page(rows, "05A-00040000-00")->id_sn, "05A-0200-0100-0100-0400");
}

// --- references ---

TEST(ImportReferences, KanjiNumerals)
{
    const struct { const char* text; int value; } cases[] = {
        {"一", 1}, {"十", 10}, {"十一", 11}, {"二十", 20}, {"百八", 108}, {"三百三十八", 338},
        {"千二十", 1020}, {"二〇", 20}, {"", -1}, {"十十", -1}, {"二二十", -1}, {"第", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kanji_number(c.text), c.value) << c.text;
}

TEST(ImportReferences, OnlyCertainReferencesBecomeLinks)
{
    const std::set<ArticleKey> articles = {{3, 0, 0}, {4, 0, 0}, {6, 2, 0}, {6, 2, 3}, {9, 0, 0}, {20, 0, 0}, {108, 2, 0}};
    const ReferenceScope scope{"01B", &articles, {{"法", "01A"}, {"規則", "01C"}}};
    const struct { const char* text; const char* marked; } cases[] = {
        {"第二十条", "[第20条]"},
        {"第六条の二の三第一項", "[第6条の2の3]第一項"},
        {"第六条の二第一項", "[第6条の2]第一項"},
        {"第三条の一部", "[第3条]の一部"},           // の一 is no branch
        {"第五条", "第五条"},                         // not an article of this law
        {"十分間第百八条の二各号", "十分間[第108条の2]各号"},
        {"第二十条の規定及び第三条", "[第20条]の規定及び[第3条]"},
        {"建築士法第三条", "建築士法第三条"},         // another law
        {"同法第三条", "同法第三条"},
        {"附則第三条", "附則第三条"},
        {"条例第三条", "条例第三条"},
        {"（昭和二十五年法律第二百二号）第三条", "（昭和二十五年法律第二百二号）第三条"},
        {"建築士法第三条から第四条まで", "建築士法第三条から第四条まで"}, // the enumeration stays with its law
        {"法第五条の二", "法[第5条の2/01A]"},
        {"、法第五条の二", "、法[第5条の2/01A]"},
        {"規則第三条", "規則[第3条/01C]"},
        {"施行規則第三条", "施行規則第三条"},         // the alias is the end of a longer name
        {"法第六条第一項及び第七条", "法[第6条/01A]第一項及び[第7条/01A]"},
        {"法第二十条（第三条を除く。）及び第四条", "法[第20条/01A]（[第3条]を除く。）及び[第4条/01A]"},
        {"第九条、建築士法第三条、第四条", "[第9条]、建築士法第三条、第四条"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mark_references(c.text, scope), c.marked) << c.text;
    // An alias that names this very law links within it, if the article exists.
    const ReferenceScope own{"01A", &articles, {{"法", "01A"}}};
    EXPECT_EQ(mark_references("法第九条、法第十条", own), "法[第9条]、法第十条");
}

TEST(ImportReferences, ArticlePagesKeepTheLawsWordsForTheLinkPass)
{
    const LawRows rows = rows_of(kLaw);
    EXPECT_EQ(sentence(rows, "01A-00010000-00-0100-0000-0000-0000")->text,
              "この法律は、第六条の二及び第九条に定めるところによる。ただし、第八条はこの限りでない。");
    EXPECT_EQ(sentence(rows, "01A-00060200-00-0100-0000-0000-0000")->text,
              "建築士法第三条及び第四条の規定並びにこの法律の第九条第一項の規定による。");
}

// --- official text reaches the page as text ---

TEST(ImportText, MarkupInTheOfficialTextNeverBecomesMarkupInThePage)
{
    // Each text the law file carries, holding what would be markup, a way out of
    // an attribute, or the reader's own link marks.
    std::string law = kLaw;
    const std::vector<std::pair<std::string, std::string>> edits = {
        {"<LawTitle Abbrev=\"試法\" Kana=\"しけんほう\">試験法", "<LawTitle Abbrev=\"試&lt;i&gt;法\" Kana=\"しけんほう\">試験法&lt;img src=x onerror=alert(1)&gt;"},
        {"<LawNum>昭和二十五年法律", "<LawNum>昭和二十五年&lt;blink&gt;法律"},
        {"第一章　総則", "第一章　総&lt;blink&gt;則"},
        {"第一節　通則", "第一節　通&lt;blink&gt;則"},
        {"（目的）", "（目的&lt;script&gt;alert(1)&lt;/script&gt;）"},
        {"　用途の制限（第六条の二関係）", "　用途&lt;u&gt;の&lt;/u&gt;制限（第六条の二関係）"},
        {"AmendLawNum=\"平成一〇年", "AmendLawNum=\"&lt;blink&gt;平成一〇年"},
        {"違反建築物に対する措置", "第九条'onmouseover='alert(1)　[第1条/0'1]　[Lx'y/01AL]　[K鍵K]"},
        {"<Sentence>学校</Sentence>", "<Sentence>学校&quot;&gt;&lt;blink&gt;</Sentence>"},
    };
    for (const auto& [from, to] : edits)
        law = replaced(law, from, to);

    TempDir dir;
    velto::test::write_file(dir.file("law.json"), api_json(law));
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law({dir.file("VT2014.m88"), dir.file("law.json"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_EQ(ids_in(dir.file("VT2014.m88"), "SELECT 法名一般 || '|' || 法名略式 || '|' || 法名正式 AS id FROM T_法"),
              (std::vector<std::string>{"試験法&lt;img src=x onerror=alert(1)&gt;|試&lt;i&gt;法|試験法&lt;img src=x "
                                        "onerror=alert(1)&gt;（昭和二十五年&lt;blink&gt;法律第二百一号）"}));

    const std::map<std::string, std::string> pages = composed_pages(dir.path());
    ASSERT_EQ(pages.size(), 8u);
    const QRegularExpression href(QStringLiteral("href=(['\"])(.*?)\\1"));
    const QRegularExpression internal(QStringLiteral("^http://([0-9A-Z-]{12}|[0-9A-Z-]{15}|[0-9A-Z-]{35})_VELTO$"));
    std::string all;
    for (const auto& [id, html] : pages) {
        SCOPED_TRACE(id);
        for (const char* markup : {"<img src=x", "<blink", "<script>alert", "<u>", "<i>", "'onmouseover", "0'1", "x'y", "[L", "[K鍵"})
            EXPECT_EQ(html.find(markup), std::string::npos) << markup;
        for (auto it = href.globalMatch(QString::fromStdString(html)); it.hasNext();) {
            const QString target = it.next().captured(2);
            EXPECT_TRUE(internal.match(target).hasMatch()) << target.toStdString();
        }
        all += html;
    }
    // The texts are there, as text.
    for (const char* shown : {"総&lt;blink&gt;則", "通&lt;blink&gt;則", "目的&lt;script&gt;", "用途&lt;u&gt;の",
                              "&lt;blink&gt;平成一〇年", "&#39;onmouseover=&#39;alert(1)", "&#91;第1条/0&#39;1&#93;",
                              "学校&quot;&gt;&lt;blink&gt;"})
        EXPECT_NE(all.find(shown), std::string::npos) << shown;
}
