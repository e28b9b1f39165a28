// velto-import: official law data (law XML and law API JSON) into the law database.
#include "core/database.h"
#include "core/identifiers.h"
#include "compose/velto_doc.h"
#include "tests/fixtures.h"
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

namespace {

// A small law that has a little of everything the mapping knows.
const std::string kLaw = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<Law Era="Showa" Lang="ja" LawType="Act" Num="201" Year="25"><LawNum>昭和二十五年法律第二百一号</LawNum><LawBody>
<LawTitle Abbrev="試法" Kana="しけんほう">試験法</LawTitle>
<TOC><TOCLabel>目次</TOCLabel></TOC>
<MainProvision>
<Chapter Num="1"><ChapterTitle>第一章　総則</ChapterTitle>
<Article Num="1"><ArticleCaption>（目的）</ArticleCaption><ArticleTitle>第一条</ArticleTitle>
<Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence Num="1">この法律は、第六条の二及び第九条に定めるところによる。</Sentence><Sentence Num="2" Function="proviso">ただし、第八条はこの限りでない。</Sentence></ParagraphSentence></Paragraph>
</Article>
<Article Num="2"><ArticleCaption>（用語の定義）</ArticleCaption><ArticleTitle>第二条</ArticleTitle>
<Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>次の各号に掲げる用語の意義は、当該各号に定めるところによる。</Sentence></ParagraphSentence>
<Item Num="1"><ItemTitle>一</ItemTitle><ItemSentence><Column Num="1"><Sentence>建築物</Sentence></Column><Column Num="2"><Sentence>土地に定着する<Ruby>工作物<Rt>こうさくぶつ</Rt></Ruby>をいう。</Sentence></Column></ItemSentence>
<Subitem1 Num="1"><Subitem1Title>イ</Subitem1Title><Subitem1Sentence><Sentence>屋根を有するもの</Sentence></Subitem1Sentence>
<Subitem2 Num="1"><Subitem2Title>（１）</Subitem2Title><Subitem2Sentence><Sentence>柱を有するもの</Sentence></Subitem2Sentence>
<Subitem3 Num="2"><Subitem3Title>（ｉｉ）</Subitem3Title><Subitem3Sentence><Sentence>壁を有するもの</Sentence></Subitem3Sentence>
<Subitem4 Num="1"><Subitem4Title>（α）</Subitem4Title><Subitem4Sentence><Sentence>門</Sentence></Subitem4Sentence></Subitem4>
</Subitem3></Subitem2></Subitem1>
<Subitem1 Num="2"><Subitem1Title>ロ</Subitem1Title><Subitem1Sentence><Sentence>塀</Sentence></Subitem1Sentence></Subitem1>
</Item>
<Item Num="1_2"><ItemTitle>一の二</ItemTitle><ItemSentence><Sentence>特殊建築物　学校をいう。</Sentence></ItemSentence></Item>
<Item Num="2:4"><ItemTitle>二から四まで</ItemTitle><ItemSentence><Sentence>削除</Sentence></ItemSentence></Item>
</Paragraph>
<Paragraph Num="2"><ParagraphNum>２</ParagraphNum><ParagraphSentence><Sentence>Ａ<Sub>ｖ</Sub>は面積とし、x&lt;yとする。</Sentence></ParagraphSentence>
<List><ListSentence><Sentence>（この式において）</Sentence></ListSentence></List></Paragraph>
</Article>
</Chapter>
<Chapter Num="4_2"><ChapterTitle>第四章の二　雑則</ChapterTitle>
<Section Num="1"><SectionTitle>第一節　通則</SectionTitle>
<Article Num="6_2"><ArticleCaption>（確認）</ArticleCaption><ArticleTitle>第六条の二</ArticleTitle>
<Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>建築士法第三条及び第四条の規定並びにこの法律の第九条第一項の規定による。</Sentence></ParagraphSentence>
<TableStruct><Table><TableRow><TableColumn rowspan="2" BorderTop="solid" BorderBottom="none" BorderLeft="solid" BorderRight="solid"><Sentence>用途</Sentence></TableColumn><TableColumn><Sentence>第九条</Sentence></TableColumn></TableRow></Table></TableStruct>
</Paragraph>
</Article>
<Article Num="9"><ArticleTitle>第九条</ArticleTitle><Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>違反建築物に対する措置</Sentence></ParagraphSentence></Paragraph></Article>
<Article Num="17:18"><ArticleTitle>第十七条及び第十八条</ArticleTitle><Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>削除</Sentence></ParagraphSentence></Paragraph></Article>
</Section>
</Chapter>
</MainProvision>
<SupplProvision><SupplProvisionLabel>附　則</SupplProvisionLabel>
<Paragraph Num="1"><ParagraphCaption>（施行期日）</ParagraphCaption><ParagraphNum>１</ParagraphNum><ParagraphSentence><Sentence>この法律は、第九条の規定の施行の日から施行する。</Sentence></ParagraphSentence></Paragraph>
<Paragraph Num="2"><ParagraphNum>２</ParagraphNum><ParagraphSentence><Sentence>次に掲げる法律は、廃止する。</Sentence></ParagraphSentence><Item Num="1"><ItemTitle>一</ItemTitle><ItemSentence><Sentence>旧法</Sentence></ItemSentence></Item></Paragraph>
</SupplProvision>
<SupplProvision AmendLawNum="平成一〇年六月一二日法律第一〇〇号" Extract="true"><SupplProvisionLabel>附　則</SupplProvisionLabel>
<Article Num="1"><ArticleCaption>（施行期日）</ArticleCaption><ArticleTitle>第一条</ArticleTitle><Paragraph Num="1"><ParagraphNum/><ParagraphSentence><Sentence>この法律は、公布の日から施行する。</Sentence></ParagraphSentence></Paragraph><Paragraph Num="2"><ParagraphNum>２</ParagraphNum><ParagraphSentence><Sentence>前項の規定にかかわらず、第九条の規定は別に定める。</Sentence></ParagraphSentence></Paragraph></Article>
</SupplProvision>
<AppdxTable><AppdxTableTitle>別表第二</AppdxTableTitle><RelatedArticleNum>　用途の制限（第六条の二関係）</RelatedArticleNum><TableStruct><Table><TableRow><TableColumn><Sentence>学校</Sentence></TableColumn></TableRow></Table></TableStruct></AppdxTable>
</LawBody></Law>
)xml";

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// --- an independent reading of the official forms, for the checks ---

QJsonObject xml_element(QXmlStreamReader& xml)
{
    QJsonObject node;
    node["tag"] = xml.name().toString();
    QJsonObject attributes;
    for (const QXmlStreamAttribute& a : xml.attributes())
        attributes[a.name().toString()] = a.value().toString();
    node["attr"] = attributes;
    QJsonArray children;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement)
            children.append(xml_element(xml));
        else if (token == QXmlStreamReader::Characters && !xml.isWhitespace())
            children.append(xml.text().toString());
        else if (token == QXmlStreamReader::EndElement)
            break;
    }
    node["children"] = children;
    return node;
}

// The law tree of an XML text in the shape of the law API's JSON.
QJsonObject tree_of_xml(const std::string& xml_text)
{
    QXmlStreamReader xml(QByteArray::fromStdString(xml_text));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement)
            return xml_element(xml);
    return {};
}

std::string api_json(const std::string& xml_text)
{
    QJsonObject answer;
    answer["law_info"] = QJsonObject{{"law_title", "試験法"}};
    answer["law_full_text"] = tree_of_xml(xml_text);
    return QJsonDocument(answer).toJson(QJsonDocument::Indented).toStdString();
}

LawRows rows_of(const std::string& bytes, const MapOptions& options = {"01A", {}, 60, {}})
{
    LawRows rows;
    std::string error;
    EXPECT_TRUE(read_law(bytes, "law.xml", options, rows, error)) << error;
    return rows;
}

const SentenceRow* sentence(const LawRows& rows, const std::string& id)
{
    for (const SentenceRow& row : rows.sentences)
        if (row.id_bn == id)
            return &row;
    ADD_FAILURE() << "no sentence " << id;
    return nullptr;
}

const PageRow* page(const LawRows& rows, const std::string& id)
{
    for (const PageRow& row : rows.pages)
        if (row.id_fn == id)
            return &row;
    ADD_FAILURE() << "no page " << id;
    return nullptr;
}

std::vector<std::string> sentence_ids(const LawRows& rows, const std::string& page_id)
{
    std::vector<std::string> ids;
    for (const SentenceRow& row : rows.sentences)
        if (row.id_bn.compare(0, 15, page_id) == 0)
            ids.push_back(row.id_bn);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The reader's numbering tag of a sentence: the label of its deepest level.
std::string tag_of(const std::string& id_bn, const std::string& style = {})
{
    int depth = -1;
    if (!IdentifierRules::_sentence_depth(id_bn, depth))
        return "(no depth)";
    std::string label;
    IdentifierRules()._sentence_label(id_bn, label, 1u << depth, style, false);
    return label;
}

// The column "id" of every row of a statement on the database at `path`.
std::vector<std::string> ids_in(const std::string& path, const std::string& sql)
{
    Database db;
    db.open("Data Source=" + path + ";", "admin", "");
    std::vector<std::string> ids;
    for (auto rs = db.execute(sql); !rs->eof(); rs->move_next())
        ids.push_back(rs->text("id"));
    return ids;
}

// Asks for pages as a followed link does, so large articles come in full.
class FollowedLink : public velto::PageViewLink {
public:
    std::string current_page_id() const override { return {}; }
    void rebuild_current_page() override {}
    bool from_link() const override { return true; }
};

// Every page of the program folder `dir`, composed with reference blocks and
// bracket colours on; a page that does not compose, or reports, fails the test.
std::map<std::string, std::string> composed_pages(const std::string& dir)
{
    velto::MemorySettingsStore settings;
    velto::CapturingReporter reporter;
    velto::CVeltoDoc doc(settings, reporter);
    velto::DocumentOptions options;
    options.program_dir = dir;
    options.use_working_folder = false;
    std::map<std::string, std::string> pages;
    if (!doc.OnNewDocument(options)) {
        ADD_FAILURE() << "the document does not start on " << dir;
        return pages;
    }
    doc.toggles().Refer = 1;
    doc.toggles().Brachet = 1;
    FollowedLink link;
    doc.set_page_view(&link);
    for (const velto::HistoryEntry& page : doc.pages().pages()) {
        std::string html;
        EXPECT_TRUE(doc._html_build(page.id, html)) << page.id;
        if (!reporter.messages().empty()) {
            ADD_FAILURE() << page.id << ": " << reporter.messages()[0].text;
            break;
        }
        pages[page.id] = std::move(html);
    }
    doc.set_page_view(nullptr);
    return pages;
}

} // namespace

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

TEST(ImportReferences, LinksInArticlePages)
{
    const LawRows rows = rows_of(kLaw);
    EXPECT_EQ(sentence(rows, "01A-00010000-00-0100-0000-0000-0000")->text,
              "この法律は、[第6条の2]及び[第9条]に定めるところによる。ただし、第八条はこの限りでない。");
    EXPECT_EQ(sentence(rows, "01A-00060200-00-0100-0000-0000-0000")->text,
              "建築士法第三条及び第四条の規定並びにこの法律の[第9条]第一項の規定による。");
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
    const QRegularExpression internal(QStringLiteral("^http://[0-9A-Z-]{12,15}_VELTO$"));
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

// --- bad input ---

namespace {

struct BadInput {
    const char* name;
    std::string bytes;
    std::vector<std::string> message; // parts the message must hold
};

std::vector<BadInput> bad_inputs()
{
    const std::string json = api_json(kLaw);
    return {
        {"not XML or JSON", "Law: 試験法\n", {"law.in", "neither law XML nor law JSON"}},
        {"empty", "", {"law.in", "empty"}},
        {"truncated XML", kLaw.substr(0, kLaw.size() / 2), {"law.in", "line", "not well-formed XML"}},
        {"truncated JSON", json.substr(0, json.size() / 2), {"law.in", "line", "not valid JSON"}},
        {"foreign root", "<Gesetz><Titel/></Gesetz>", {"root element is Gesetz"}},
        {"not UTF-8", replaced(kLaw, "違反建築物", "違反\xff建築物"), {"law.in", "line 34, column 115", "not UTF-8"}},
        {"no MainProvision",
         replaced(replaced(kLaw, "<MainProvision>", "<Preamble>"), "</MainProvision>", "</Preamble>"),
         {"Law/LawBody", "no MainProvision"}},
        {"unknown element", replaced(kLaw, "違反建築物に対する措置", "違反<Foo>建築物</Foo>"),
         {"Article[9]/Paragraph[1]/ParagraphSentence/Sentence/Foo", "line 34", "unknown element <Foo>"}},
        {"chapter number", replaced(kLaw, "<Chapter Num=\"4_2\">", "<Chapter Num=\"100\">"),
         {"MainProvision/Chapter[100]", "two digits"}},
        {"article number", replaced(kLaw, "<Article Num=\"9\">", "<Article Num=\"10000\">"),
         {"Article[10000]", "four digits"}},
        {"item number", replaced(kLaw, "<Item Num=\"1_2\">", "<Item Num=\"100\">"),
         {"Article[2]/Paragraph[1]/Item[100]", "two digits"}},
        {"article twice", replaced(kLaw, "<Article Num=\"17:18\">", "<Article Num=\"9\">"),
         {"Section[1]/Article[9]", "a second article 01A-00090000-00"}},
        {"article number that is no number", replaced(kLaw, "<Article Num=\"9\">", "<Article Num=\"九\">"),
         {"Article[九]", "not a number"}},
        {"NUL escaped in JSON", replaced(json, "違反建築物", "違反\\u0000建築物"), {"law.in", "Sentence", "a NUL character"}},
        {"NUL in a JSON attribute", replaced(json, "\"Num\": \"9\"", "\"Num\": \"9\\u0000\""), {"law.in", "a NUL character"}},
        {"NUL byte", replaced(json, "違反建築物", std::string("違反\0建築物", 16)), {"law.in", "line", "a NUL character"}},
        {"NUL reference in XML", replaced(kLaw, "違反建築物", "違反&#0;建築物"), {"law.in", "line 34"}},
    };
}

std::string outcome_of(const std::string& input, const std::string& database)
{
    ImportOptions options;
    options.database = database;
    options.input = input;
    options.law_id = "01A";
    ImportSummary summary;
    std::string error;
    EXPECT_FALSE(import_law(options, summary, error));
    return error;
}

int run_import(const std::string& args, const TempDir& scratch, std::string& err)
{
    const std::string command =
        std::string(VELTO_BINARY_DIR) + "/velto-import " + args + " >" + scratch.file("out") + " 2>" + scratch.file("err");
    const int raw = std::system(command.c_str());
    err = velto::test::read_file(scratch.file("err"));
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

} // namespace

TEST(ImportBadInput, FailsWithThePlaceAndLeavesTheDatabaseAsItWas)
{
    TempDir dir;
    const std::string existing = dir.file("VT2014.m88");
    velto::test::build_fixture_db(existing, {velto::test::standard_fixture_sql()});
    velto::test::write_file(dir.file("good.xml"), kLaw);
    ImportOptions good{existing, dir.file("good.xml"), "01A", {}, 60, {}};
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law(good, summary, error)) << error;
    const std::string before = velto::test::read_file(existing);

    const std::string input = dir.file("law.in");
    for (const BadInput& bad : bad_inputs()) {
        SCOPED_TRACE(bad.name);
        velto::test::write_file(input, bad.bytes);
        for (const std::string& message : {outcome_of(input, existing), outcome_of(input, dir.file("new.m88"))})
            for (const std::string& part : bad.message)
                EXPECT_NE(message.find(part), std::string::npos) << "\"" << part << "\" not in: " << message;
        EXPECT_EQ(velto::test::read_file(existing), before);
        EXPECT_FALSE(std::filesystem::exists(dir.file("new.m88")));
        EXPECT_FALSE(std::filesystem::exists(dir.file("new.m88.importing")));
    }
    EXPECT_NE(outcome_of(dir.file("missing.xml"), existing).find("missing.xml: no such file"), std::string::npos);
}

TEST(ImportBadInput, TheCommandLineSaysWhatFailed)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::build_fixture_db(db, {velto::test::standard_fixture_sql()});
    const std::string before = velto::test::read_file(db);
    velto::test::write_file(dir.file("bad.xml"), replaced(kLaw, "<Chapter Num=\"4_2\">", "<Chapter Num=\"100\">"));
    std::string err;
    EXPECT_EQ(run_import("--db " + db + " --law-id 01A " + dir.file("bad.xml"), dir, err), 1);
    EXPECT_NE(err.find("bad.xml: Law/LawBody/MainProvision/Chapter[100]"), std::string::npos) << err;
    EXPECT_NE(err.find("the database is unchanged"), std::string::npos) << err;
    EXPECT_EQ(velto::test::read_file(db), before);

    velto::test::write_file(dir.file("good.xml"), kLaw);
    EXPECT_EQ(run_import("--db " + db + " --law-id 1A " + dir.file("good.xml"), dir, err), 2);
    EXPECT_NE(err.find("--law-id \"1A\""), std::string::npos) << err;
    EXPECT_EQ(run_import("--db " + db + " --law-id 01B --refer 法 " + dir.file("good.xml"), dir, err), 2);
    EXPECT_EQ(run_import("--db " + db + " --law-id 01B --large x " + dir.file("good.xml"), dir, err), 2);
    EXPECT_EQ(velto::test::read_file(db), before);

    // A file that is no law database is not touched either.
    velto::test::write_file(dir.file("notes.txt"), "notes");
    EXPECT_EQ(run_import("--db " + dir.file("notes.txt") + " --law-id 01B " + dir.file("good.xml"), dir, err), 1);
    EXPECT_NE(err.find("notes.txt"), std::string::npos) << err;
    EXPECT_EQ(velto::test::read_file(dir.file("notes.txt")), "notes");
}

TEST(ImportBadInput, ReferTakesAPlainWordAndALawIdentifier)
{
    const std::vector<std::pair<std::pair<std::string, std::string>, bool>> cases = {
        {{"法", "01A"}, true},       {{"規則", "01c"}, true},      {{"", "01A"}, false},
        {{"[法]", "01A"}, false},    {{"法'", "01A"}, false},      {{"法\"", "01A"}, false},
        {{"a=b", "01A"}, false},     {{"法　令", "01A"}, false},   {{"法 令", "01A"}, false},
        {{"「法」", "01A"}, false},  {{"（法）", "01A"}, false},   {{"法<", "01A"}, false},
        {{"法\n", "01A"}, false},    {{"一二三四五六七八九十", "01A"}, true},
        {{"一二三四五六七八九十一", "01A"}, false},                 {{"法", "01A=x"}, false},
        {{"法", "0'1"}, false},      {{"\xff", "01A"}, false},
    };
    for (const auto& [refer, sane] : cases) {
        ImportOptions options{"db", "in", "01B", {}, 60, {refer}};
        std::string error;
        EXPECT_EQ(check_options(options, error), sane) << refer.first << "=" << refer.second;
        if (!sane)
            EXPECT_NE(error.find("--refer"), std::string::npos) << error;
    }
    TempDir dir;
    velto::test::write_file(dir.file("law.xml"), kLaw);
    std::string err;
    EXPECT_EQ(run_import("--db " + dir.file("db") + " --law-id 01B --refer 法=01A=01B " + dir.file("law.xml"), dir, err), 2);
    EXPECT_NE(err.find("ALIAS=HHH"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("db")));
}

TEST(ImportBadInput, OnlyRegularFilesAreRead)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::write_file(dir.file("law.xml"), kLaw);
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder"));
    for (const std::string& input : {dir.file("fifo"), std::string("/dev/zero"), dir.file("folder")}) {
        const std::string error = outcome_of(input, db);
        EXPECT_NE(error.find(input + ": "), std::string::npos) << error;
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    for (const std::string& database : {dir.file("fifo"), dir.file("folder")}) {
        ImportSummary summary;
        std::string error;
        EXPECT_FALSE(import_law({database, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error));
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(db));
}

// --- the database ---

TEST(ImportDatabase, ReimportReplacesTheLawAndKeepsTheOthers)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::build_fixture_db(db, {velto::test::standard_fixture_sql()});
    velto::test::write_file(dir.file("law.xml"), kLaw);
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law({db, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_EQ(summary.articles, 5);

    EXPECT_EQ(ids_in(db, "SELECT ID_FN AS id FROM T_条 WHERE LEFT(ID_FN, 3) = '01A' ORDER BY ID_FN"),
              (std::vector<std::string>{"01A-00010000-00", "01A-00020000-00", "01A-00060200-00", "01A-00090000-00",
                                        "01A-00170000-00", "01A-F0000000-00", "01A-F0000000-01", "01A-T0020000-00"}));
    EXPECT_EQ(ids_in(db, "SELECT 法名一般 AS id FROM T_法 ORDER BY ID_HN"),
              (std::vector<std::string>{"ヴェルト", "試験法", "建築基準法施行令", "告示"}));
    // The fixture's own rows of 01A are gone, those of the other laws stay.
    EXPECT_TRUE(ids_in(db, "SELECT ID_BN AS id FROM T_参").empty());
    EXPECT_EQ(ids_in(db, "SELECT ID_FN AS id FROM T_条 WHERE LEFT(ID_FN, 3) <> '01A' ORDER BY ID_FN"),
              (std::vector<std::string>{"00A-Z0010000-00", "01B-00010000-00", "02K-KD180543-00", "02K-KD180543-01"}));
    EXPECT_EQ(ids_in(db, "SELECT ID_FN AS id FROM T_告").size(), 1u);
    EXPECT_EQ(ids_in(db, "SELECT ID_BN AS id FROM T_表 ORDER BY ID_BN"),
              (std::vector<std::string>{"01A-00060200-00-0100-0000-0000-0000", "01A-T0020000-00-0000-0000-0000-0000"}));

    // Once more without 第九条: its page and sentences go.
    velto::test::write_file(dir.file("law.xml"),
                            replaced(kLaw, "<Article Num=\"9\"><ArticleTitle>第九条</ArticleTitle>", "<Article Num=\"10\"><ArticleTitle>第十条</ArticleTitle>"));
    ASSERT_TRUE(import_law({db, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_TRUE(ids_in(db, "SELECT ID_BN AS id FROM T_文 WHERE ID_BN LIKE '01A-0009%'").empty());
    EXPECT_EQ(ids_in(db, "SELECT ID_BN AS id FROM T_文 WHERE ID_BN LIKE '01A-0010%'").size(), 1u);
    // References follow the articles the law now has.
    EXPECT_EQ(ids_in(db, "SELECT 法文 AS id FROM T_文 WHERE ID_BN = '01A-00010000-00-0100-0000-0000-0000'"),
              (std::vector<std::string>{"この法律は、[第6条の2]及び第九条に定めるところによる。ただし、第八条はこの限りでない。"}));
}

TEST(ImportDatabase, CreatesAMissingDatabaseThatTheReaderOpens)
{
    TempDir dir;
    velto::test::write_file(dir.file("law.json"), api_json(kLaw));
    ImportSummary summary;
    std::string error;
    const std::string db = dir.file("new.m88");
    ASSERT_TRUE(import_law({db, dir.file("law.json"), "01A", {}, 60, {}}, summary, error)) << error;
    Database reader;
    reader.open("Data Source=" + db + ";", "admin", "");
    auto rs = reader.execute("SELECT * FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND  T_条.[表示] = YES "
                             "AND  T_法.[表示] = YES ORDER BY [ID_FN]");
    int pages = 0;
    for (; !rs->eof(); rs->move_next())
        ++pages;
    EXPECT_EQ(pages, 8);
}

namespace {

// What a reader finds in the database: the name of law 01A and whether the
// file is sound; "(none)" when there is no file.
std::string reader_view(const std::string& path)
{
    if (!std::filesystem::exists(path))
        return "(none)";
    sqlite3* db = nullptr;
    std::string seen;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT 法名一般 FROM T_法 WHERE ID_HN = '01A'", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            seen = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            seen += std::string(" ") + reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    // The reader's own connection opens it too.
    try {
        Database reader;
        reader.open("Data Source=" + path + ";", "admin", "");
    } catch (const ComponentError& e) {
        seen += " (the reader cannot open it: " + e.description.value_or("") + ")";
    }
    return seen;
}

} // namespace

TEST(ImportDatabase, AKilledImportLeavesADatabaseTheReaderOpens)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    const std::string law = VELTO_BINARY_DIR "/official/building_act.json";
    velto::test::write_file(dir.file("small.xml"), kLaw);
    const auto start_from_small = [&] {
        std::filesystem::remove(db);
        ImportSummary summary;
        std::string error;
        ASSERT_TRUE(import_law({db, dir.file("small.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    };
    char* const argv[] = {const_cast<char*>(VELTO_BINARY_DIR "/velto-import"), const_cast<char*>("--db"),
                          const_cast<char*>(db.c_str()), const_cast<char*>("--law-id"), const_cast<char*>("01A"),
                          const_cast<char*>(law.c_str()), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto spawn = [&] {
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &quiet, nullptr, argv, environ), 0);
        return pid;
    };

    // How long a whole import takes here: the kills fall anywhere in it.
    start_from_small();
    const auto begin = std::chrono::steady_clock::now();
    int status = 0;
    ASSERT_EQ(waitpid(spawn(), &status, 0) > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begin);
    ASSERT_EQ(reader_view(db), "建築基準法 ok");

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, whole.count() * 6 / 5);
    std::map<std::string, int> seen;
    for (int round = 0; round < 16; ++round) {
        const bool fresh = round % 4 == 0; // no database yet: the import creates it
        if (fresh)
            std::filesystem::remove(db);
        else
            start_from_small();
        const pid_t pid = spawn();
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        const std::string view = reader_view(db);
        ++seen[view];
        if (fresh)
            EXPECT_TRUE(view == "(none)" || view == "建築基準法 ok") << "round " << round << ": " << view;
        else
            EXPECT_TRUE(view == "試験法 ok" || view == "建築基準法 ok") << "round " << round << ": " << view;
        EXPECT_FALSE(std::filesystem::exists(db + "-journal")) << "round " << round;
    }
    posix_spawn_file_actions_destroy(&quiet);
    std::string outcomes;
    for (const auto& [view, count] : seen)
        outcomes += view + " x" + std::to_string(count) + "; ";
    RecordProperty("outcomes", outcomes);

    // What a killed run left beside the database is taken over by the next one.
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law({db, dir.file("small.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_EQ(reader_view(db), "試験法 ok");
    EXPECT_FALSE(std::filesystem::exists(db + ".importing"));
}

TEST(ImportDatabase, StoresWhichRevisionOfTheLawItHolds)
{
    const auto answer = [](const QJsonObject& law_info, const QJsonObject& revision_info) {
        QJsonObject answer = QJsonDocument::fromJson(QByteArray::fromStdString(api_json(kLaw))).object();
        answer["law_info"] = law_info;
        answer["revision_info"] = revision_info;
        return QJsonDocument(answer).toJson().toStdString();
    };
    struct Case {
        const char* file;
        std::string bytes;
        std::string row; // 題名|法令番号|法令ID|版ID|施行日|改正法令番号|出典
    };
    const std::vector<Case> cases = {
        {"act.json",
         answer({{"law_id", "325AC0000000201"}, {"law_num", "昭和二十五年法律第二百一号"}},
                {{"law_revision_id", "325AC0000000201_20251201_507AC0000000035"},
                 {"amendment_enforcement_date", "2025-12-01"},
                 {"amendment_law_num", "令和七年法律第三十五号"}}),
         "試験法|昭和二十五年法律第二百一号|325AC0000000201|325AC0000000201_20251201_507AC0000000035|2025-12-01|"
         "令和七年法律第三十五号|act.json"},
        {"325AC0000000201_20240401_505AC0000000063.xml", kLaw,
         "試験法|昭和二十五年法律第二百一号|325AC0000000201|325AC0000000201_20240401_505AC0000000063|2024-04-01||"
         "325AC0000000201_20240401_505AC0000000063.xml"},
        {"law.xml", kLaw, "試験法|昭和二十五年法律第二百一号|||||law.xml"},
        // Facts not of their form are left out, not stored.
        {"odd.json",
         answer({{"law_id", "325AC'0201"}}, {{"law_revision_id", 7}, {"amendment_enforcement_date", "2025-12-01<b>"},
                                               {"amendment_law_num", "令和<b>七年"}}),
         "試験法|昭和二十五年法律第二百一号|||||odd.json"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        velto::test::write_file(dir.file(c.file), c.bytes);
        ImportSummary summary;
        std::string error;
        ASSERT_TRUE(import_law({dir.file("VT2014.m88"), dir.file(c.file), "01A", {}, 60, {}}, summary, error)) << error;
        EXPECT_EQ(ids_in(dir.file("VT2014.m88"), "SELECT 題名 || '|' || 法令番号 || '|' || 法令ID || '|' || 版ID || '|' || 施行日 "
                                                 "|| '|' || 改正法令番号 || '|' || 出典 AS id FROM T_版"),
                  std::vector<std::string>{c.row});
    }
}

TEST(ImportDatabase, ADatabaseInWalModeComesBackInRollbackMode)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::build_fixture_db(db, {velto::test::standard_fixture_sql()});
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode = WAL; UPDATE T_法 SET 法名略式 = 'wal' WHERE ID_HN = '02K'", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    ASSERT_EQ(velto::test::read_file(db).substr(18, 2), std::string("\2\2", 2));

    velto::test::write_file(dir.file("law.xml"), kLaw);
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law({db, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_EQ(velto::test::read_file(db).substr(18, 2), std::string("\1\1", 2)) << "the file format bytes of a rollback journal";
    EXPECT_EQ(ids_in(db, "SELECT 法名略式 AS id FROM T_法 WHERE ID_HN = '02K'"), std::vector<std::string>{"wal"});
    for (const char* beside : {"-wal", "-shm", "-journal", ".importing"})
        EXPECT_FALSE(std::filesystem::exists(db + beside)) << beside;
}

TEST(ImportDatabase, AnotherImportIntoTheSameDatabaseIsRefusedWhileOneRuns)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::write_file(dir.file("law.xml"), kLaw);
    velto::FileReplacement running;
    std::string error;
    ASSERT_TRUE(running.begin(db, ".importing", error)) << error;
    ImportSummary summary;
    EXPECT_FALSE(import_law({db, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error));
    EXPECT_NE(error.find("another program is writing this database"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(db));
}

// --- the official data ---

namespace {

const std::string kEgov = std::string(VELTO_SHARED_DIR) + "/data/egov/";

struct RealLaw {
    std::string file;
    const char* id;
    std::vector<std::pair<std::string, std::string>> aliases;
};

// The two laws the project ships, unpacked by the build; and, where the shared
// law data is at hand, older versions of them and three laws in law XML.
const std::vector<RealLaw>& real_laws()
{
    static const std::vector<RealLaw> laws = [] {
        std::vector<RealLaw> all = {
            {VELTO_BINARY_DIR "/official/building_act.json", "01A", {}},
            {VELTO_BINARY_DIR "/official/order_full.json", "01B", {{"法", "01A"}}},
            {kEgov + "AMDlab_bsj-viewer/building-standards/lawdata.json", "02A", {}},
            {kEgov + "AMDlab_bsj-viewer/building-standards-enforcement-order/lawdata.json", "02B", {{"法", "02A"}}},
            {kEgov + "xml/327AC0000000231_20240401_505AC0000000063.xml", "03A", {}},
            {kEgov + "xml/405AC0000000088_20240401_504AC0100000052.xml", "04A", {}},
            {kEgov + "xml/417AC0000000086_20170401_428AC0000000062.xml", "05A", {}},
        };
        std::vector<RealLaw> present;
        for (RealLaw& law : all)
            if (std::filesystem::exists(law.file))
                present.push_back(std::move(law));
        return present;
    }();
    return laws;
}

bool have_law(const std::string& id)
{
    for (const RealLaw& law : real_laws())
        if (law.id == id)
            return true;
    return false;
}

struct Counts {
    int articles = 0, headings = 0, sentences = 0, supplements = 0, appended_tables = 0;
};

// Counted straight from the official tree, without the importer.
void count(const QJsonObject& node, bool in_main, Counts& c)
{
    const QString tag = node["tag"].toString();
    in_main = in_main || tag == "MainProvision";
    if (in_main) {
        c.articles += tag == "Article";
        c.headings += tag == "Part" || tag == "Chapter" || tag == "Section" || tag == "Subsection" || tag == "Division";
        c.sentences += tag == "Paragraph" || tag == "Item" || tag == "Subitem1" || tag == "Subitem2" || tag == "Subitem3";
    }
    c.supplements += tag == "SupplProvision";
    c.appended_tables += tag == "AppdxTable";
    for (const QJsonValue child : node["children"].toArray())
        if (child.isObject())
            count(child.toObject(), in_main, c);
}

Counts official_counts(const std::string& path)
{
    const std::string bytes = velto::test::read_file(path);
    Counts c;
    if (path.size() > 4 && path.substr(path.size() - 4) == ".xml")
        count(tree_of_xml(bytes), false, c);
    else
        count(QJsonDocument::fromJson(QByteArray::fromStdString(bytes))["law_full_text"].toObject(), false, c);
    return c;
}

class ImportRealData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        for (const RealLaw& law : real_laws()) {
            ImportSummary summary;
            std::string error;
            ImportOptions options{database(), law.file, law.id, {}, 60, law.aliases};
            ASSERT_TRUE(import_law(options, summary, error)) << error;
            summaries_[law.id] = summary;
        }
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(have_law("01A") && have_law("01B")) << "the build unpacks the official data";
        ASSERT_EQ(summaries_.size(), real_laws().size());
        db_.open("Data Source=" + database() + ";", "admin", "");
    }
    static std::string database() { return dir_->file("VT2014.m88"); }

    std::string text(const std::string& id_bn)
    {
        auto rs = db_.execute("SELECT * FROM T_文 WHERE ID_BN = '" + id_bn + "'");
        return rs->eof() ? "(no sentence " + id_bn + ")" : rs->text("法文");
    }
    int number(const std::string& sql)
    {
        auto rs = db_.execute(sql);
        return rs->number("n");
    }

    static TempDir* dir_;
    static std::map<std::string, ImportSummary> summaries_;
    Database db_;
};

TempDir* ImportRealData::dir_ = nullptr;
std::map<std::string, ImportSummary> ImportRealData::summaries_;

} // namespace

TEST_F(ImportRealData, CountsMatchTheOfficialFiles)
{
    for (const RealLaw& law : real_laws()) {
        SCOPED_TRACE(law.file);
        const Counts expected = official_counts(law.file);
        const std::string id = law.id;
        EXPECT_GT(expected.articles, 40);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_条 WHERE ID_FN LIKE '" + id + "-0%'"), expected.articles);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_章 WHERE ID_SN LIKE '" + id + "-%'"), expected.headings);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_文 WHERE ID_BN LIKE '" + id + "-0%'"), expected.sentences);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_条 WHERE ID_FN LIKE '" + id + "-F%'"), expected.supplements);
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_条 WHERE ID_FN LIKE '" + id + "-T%'"), expected.appended_tables);
        // Every article page has sentences.
        EXPECT_EQ(number("SELECT count(*) AS n FROM T_条 WHERE ID_FN LIKE '" + id +
                         "-0%' AND ID_FN NOT IN (SELECT substr(ID_BN, 1, 15) FROM T_文)"),
                  0);
    }
}

TEST_F(ImportRealData, EveryPageOpensThroughTheReadersStatements)
{
    IdentifierRules rules;
    std::vector<std::string> pages;
    for (auto rs = db_.execute("SELECT * FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND  T_条.[表示] = YES "
                               "AND  T_法.[表示] = YES ORDER BY [ID_FN]");
         !rs->eof(); rs->move_next())
        pages.push_back(rs->text("ID_FN"));
    EXPECT_GT(pages.size(), 900u);
    int sentences = 0;
    for (const std::string& id : pages) {
        IdKind kind;
        ASSERT_TRUE(IdentifierRules::_id_kind(id, kind)) << id;
        auto title = db_.execute("SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = '" + id + "' ");
        ASSERT_FALSE(title->eof()) << id;
        SectionFields section;
        ASSERT_TRUE(IdentifierRules::_parse_section_id(title->text("T_条.ID_SN"), 15, section)) << id;
        if (kind == IdKind::Table) {
            EXPECT_FALSE(db_.execute("SELECT * FROM T_表 WHERE ID_BN = '" + id + "-0000-0000-0000-0000' ORDER BY 順序")->eof()) << id;
            continue;
        }
        auto rs = db_.execute("SELECT * FROM T_文 WHERE LEFT([ID_BN], 15) = '" + id + "' ORDER BY [ID_BN]");
        ASSERT_FALSE(rs->eof()) << id;
        for (; !rs->eof(); rs->move_next(), ++sentences) {
            const std::string bn = rs->text("ID_BN");
            int depth = -1;
            ASSERT_TRUE(IdentifierRules::_sentence_depth(bn, depth)) << bn;
            std::string label;
            const bool labelled = rules._sentence_label(bn, label, 1u << depth, rs->text("書式コード"), false);
            if (kind == IdKind::Article) {
                EXPECT_TRUE(labelled) << bn;
                EXPECT_TRUE(!label.empty() || rs->text("書式コード") != "") << bn;
            } else {
                EXPECT_GE(depth, 1) << bn;
            }
            if (rs->number("表式") != 0) {
                EXPECT_FALSE(db_.execute("SELECT * FROM T_表 WHERE ID_BN = '" + bn + "' ORDER BY 順序")->eof()) << bn;
            }
        }
    }
    EXPECT_GT(sentences, 4000);
}

TEST_F(ImportRealData, WellKnownArticlesShowTheirOfficialNumberingAndText)
{
    // 建築基準法 第2条 第一号 建築物, 第九号の二 イ (2) (ii).
    const std::string article2 = "01A-00020000-00";
    EXPECT_EQ(tag_of(article2 + "-0100-0000-0000-0000"), "第2条");
    EXPECT_EQ(tag_of(article2 + "-0100-0100-0000-0000"), "一");
    EXPECT_EQ(text(article2 + "-0100-0100-0000-0000").rfind("建築物　土地に定着する工作物のうち、", 0), 0u);
    EXPECT_EQ(text(article2 + "-0100-0200-0000-0000").rfind("特殊建築物　学校", 0), 0u);
    EXPECT_EQ(tag_of(article2 + "-0100-0920-0000-0000"), "九の二");
    EXPECT_EQ(tag_of(article2 + "-0100-0920-0100-0000"), "イ");
    EXPECT_EQ(tag_of(article2 + "-0100-0920-0120-0000"), "(2)");
    EXPECT_EQ(tag_of(article2 + "-0100-0920-0122-0000"), "（ⅱ）");
    // 第6条第1項 and its items.
    const std::string article6 = "01A-00060000-00";
    EXPECT_EQ(text(article6 + "-0100-0000-0000-0000").rfind("建築主は、第一号若しくは第二号に掲げる建築物を", 0), 0u);
    EXPECT_EQ(tag_of(article6 + "-0100-0300-0000-0000"), "三");
    EXPECT_EQ(text(article6 + "-0100-0100-0000-0000").rfind("別表第一（い）欄に掲げる用途に供する特殊建築物", 0), 0u);
    EXPECT_EQ(tag_of(article6 + "-0200-0000-0000-0000"), "2");
    auto caption = db_.execute("SELECT * FROM T_条 WHERE ID_FN = '" + article6 + "'");
    EXPECT_EQ(caption->text("条名"), "建築物の建築等に関する申請及び確認");
    // The two versions of the act differ where the law changed; the text of 第1条 did not.
    if (have_law("02A"))
        EXPECT_EQ(text("01A-00010000-00-0100-0000-0000-0000"), text("02A-00010000-00-0100-0000-0000-0000"));
    if (!have_law("03A"))
        return;
    // 航空法 (XML): a heading and its article.
    auto chapter = db_.execute("SELECT * FROM T_章 WHERE ID_SN = '03A-0100-0000-0000-0000'");
    ASSERT_FALSE(chapter->eof());
    EXPECT_EQ(chapter->text("章名"), "総則");
}

TEST_F(ImportRealData, ReferencesLinkWhereTheTargetIsCertain)
{
    // 2025 建築基準法: 第九条 in 第6条の2, 第六条の三 in 第6条; 建築士法第三条 stays text.
    EXPECT_NE(text("01A-00060200-00-0700-0000-0000-0000").find("[第9条]第一項"), std::string::npos);
    EXPECT_NE(text("01A-00060000-00-0500-0000-0000-0000").find("[第6条の3]第一項"), std::string::npos);
    const std::string architects = text("01A-00060000-00-0300-0100-0000-0000");
    EXPECT_EQ(architects.rfind("建築士法第三条第一項、第三条の二第一項", 0), 0u) << architects;
    EXPECT_EQ(architects.find("[第"), std::string::npos) << architects;
    EXPECT_EQ(number("SELECT count(*) AS n FROM T_文 WHERE ID_BN LIKE '01A-%' AND 法文 LIKE '%士法[第%'"), 0);
    // The enforcement order, imported with --refer 法=01A.
    EXPECT_NE(text("01B-00060000-00-0100-0000-0000-0000").find("法[第5条の2/01A]第一項"), std::string::npos);
    EXPECT_NE(text("01B-00010000-00-0100-0500-0000-0000").find("十分間[第108条の2]各号"), std::string::npos);
    // Supplementary provisions carry no links.
    EXPECT_EQ(number("SELECT count(*) AS n FROM T_文 WHERE ID_BN LIKE '%-F%' AND 法文 LIKE '%[第%'"), 0);
}

TEST_F(ImportRealData, EveryImportedPageComposesWithoutAReport)
{
    const std::map<std::string, std::string> pages = composed_pages(dir_->path());
    for (const auto& [id, html] : pages)
        ASSERT_EQ(html.find("[第"), std::string::npos) << id << ": a reference was left unlinked";
    EXPECT_GT(pages.size(), 900u);
}
