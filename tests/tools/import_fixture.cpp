#include "tests/tools/import_fixture.h"

#include "citations/citation_links.h"

#include "core/database.h"
#include "core/identifiers.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>

namespace velto::test {

using namespace velto::import;

namespace {

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

// Asks for pages as a followed link does, so large articles come in full.
class FollowedLink : public velto::PageViewLink {
public:
    std::string current_page_id() const override { return {}; }
    void rebuild_current_page() override {}
    bool from_link() const override { return true; }
};

} // namespace


// A small law that has a little of everything the mapping knows.
extern const std::string kLaw;
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

LawRows rows_of(const std::string& bytes, const MapOptions& options)
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
std::string tag_of(const std::string& id_bn, const std::string& style)
{
    int depth = -1;
    if (!IdentifierRules::_sentence_depth(id_bn, depth))
        return "(no depth)";
    std::string label;
    IdentifierRules()._sentence_label(id_bn, label, 1u << depth, style, false);
    return label;
}

// The column "id" of every row of a statement on the database at `path`.
std::vector<std::string> citations_in(const std::string& path, const std::string& id_bn)
{
    Database db;
    db.open("Data Source=" + path + ";", "admin", "");
    std::vector<std::string> out;
    for (const bool links : {true, false}) {
        for (const velto::CitationRow& row : velto::citation_rows(db, id_bn, links)) {
            if (links)
                out.push_back(row.text + " " + row.page + (row.anchor.empty() ? "" : " " + row.anchor.substr(15)));
            else
                out.push_back(row.text + " (" + row.reason + ")");
        }
    }
    return out;
}

std::vector<std::string> ids_in(const std::string& path, const std::string& sql)
{
    Database db;
    db.open("Data Source=" + path + ";", "admin", "");
    std::vector<std::string> ids;
    for (auto rs = db.execute(sql); !rs->eof(); rs->move_next())
        ids.push_back(rs->text("id"));
    return ids;
}

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
} // namespace velto::test
