// The law texts of the program folders the build makes (the sample and the
// reader's own folder) against the official law data, sentence by sentence
// and table by table: every law of the collection in the reader's folder, as
// the manifest names its current file; the sample's excerpts of 建築基準法 and
// its order against those laws.
#include "catalog/article_rows.h"
#include "catalog/contents_tree.h"
#include "compose/velto_doc.h"
#include "core/database.h"
#include "core/paths.h"
#include "tests/program/official_collection.h"
#include "tests/program/program_folders.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

using namespace velto;
using namespace velto::test;

namespace {

// ---------------------------------------------------------------------------
// The official law data: the law API's JSON tree, each node
// {"tag": ..., "attr": {...}, "children": [nodes or strings]}.

QString tag_of(const QJsonObject& node) { return node.value("tag").toString(); }
QString attr_of(const QJsonObject& node, const char* name) { return node.value("attr").toObject().value(name).toString(); }

std::vector<QJsonObject> children(const QJsonObject& node, const QString& tag = {})
{
    std::vector<QJsonObject> out;
    for (const QJsonValue& child : node.value("children").toArray())
        if (child.isObject() && (tag.isEmpty() || tag_of(child.toObject()) == tag))
            out.push_back(child.toObject());
    return out;
}

// The text of a node; ruby readings (Rt) are not part of the text.
QString text_of(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    const QJsonObject node = value.toObject();
    if (tag_of(node) == "Rt")
        return {};
    QString text;
    for (const QJsonValue& child : node.value("children").toArray())
        text += text_of(child);
    return text;
}

void walk(const QJsonObject& node, const QString& tag, const std::function<void(const QJsonObject&)>& visit)
{
    if (tag_of(node) == tag)
        visit(node);
    for (const QJsonObject& child : children(node))
        walk(child, tag, visit);
}

// The sentence part of a Paragraph, Item or SubitemN: its sentences one after the
// other; the columns of a definition item joined by a full-width blank.
QString own_sentence(const QJsonObject& node)
{
    static const QRegularExpression sentence_tag("^(ParagraphSentence|ItemSentence|Subitem[0-9]+Sentence)$");
    for (const QJsonObject& part : children(node)) {
        if (!sentence_tag.match(tag_of(part)).hasMatch())
            continue;
        const auto columns = children(part, "Column");
        if (columns.empty()) {
            QString text;
            for (const QJsonObject& s : children(part, "Sentence"))
                text += text_of(s);
            return text;
        }
        QStringList texts;
        for (const QJsonObject& column : columns) {
            QString text;
            for (const QJsonObject& s : children(column, "Sentence"))
                text += text_of(s);
            texts << text;
        }
        return texts.join(QStringLiteral("　"));
    }
    return {};
}

// The text of a TableStruct: its title ("一", "二" of numbered tables), cells and remarks (備考).
QString table_text(const QJsonObject& table)
{
    QString text;
    for (const QJsonObject& title : children(table, "TableStructTitle"))
        text += text_of(title);
    walk(table, "TableColumn", [&](const QJsonObject& column) { text += text_of(column); });
    for (const QJsonObject& remarks : children(table, "Remarks"))
        text += text_of(remarks);
    return text;
}

struct OfficialLaw {
    bool loaded = false;
    std::map<QString, QJsonObject> articles;  // by Num attribute ("6_2")
    QJsonObject original_supplement;          // the supplementary provisions of the law as enacted
    std::vector<QJsonObject> appendix_tables; // 別表第1, 別表第2, ...
};

// The current text of a law, as the manifest of the collection names its file.
OfficialLaw load_official(const std::string& id_hn)
{
    OfficialLaw law;
    std::string file;
    for (const OfficialFile& f : official_collection())
        if (f.law == id_hn && !f.earlier)
            file = f.file;
    if (file.empty())
        return law;
    const QJsonObject root = official_tree(file);
    const auto bodies = children(root, "LawBody");
    if (bodies.empty())
        return law;
    for (const QJsonObject& part : children(bodies.front())) {
        if (tag_of(part) == "MainProvision")
            walk(part, "Article", [&](const QJsonObject& a) { law.articles[attr_of(a, "Num")] = a; });
        else if (tag_of(part) == "SupplProvision" && attr_of(part, "AmendLawNum").isEmpty() && law.original_supplement.isEmpty())
            law.original_supplement = part;
        else if (tag_of(part) == "AppdxTable")
            law.appendix_tables.push_back(part);
    }
    law.loaded = !law.articles.empty();
    return law;
}

const OfficialLaw& official(const std::string& id_hn)
{
    static std::map<std::string, OfficialLaw> laws;
    auto it = laws.find(id_hn);
    if (it == laws.end())
        it = laws.emplace(id_hn, load_official(id_hn)).first;
    return it->second;
}

int code_value(char c)
{
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 0;
}

int number_at(const std::string& id, std::size_t pos, std::size_t len) { return std::stoi(id.substr(pos, len)); }

QString num_attr(int number, int branch1 = 0, int branch2 = 0)
{
    QString s = QString::number(number);
    if (branch1 > 0)
        s += "_" + QString::number(branch1);
    if (branch2 > 0)
        s += "_" + QString::number(branch2);
    return s;
}

const QJsonObject* child_with_num(const QJsonObject& node, const QString& tag, const QString& num, QJsonObject& out)
{
    for (const QJsonObject& c : children(node, tag))
        if (attr_of(c, "Num") == num) {
            out = c;
            return &out;
        }
    return nullptr;
}

// The official node a sentence identifier names: article (or the supplementary
// provisions of a "F" page), paragraph, item and sub-items. False when there is none.
bool official_node(const std::string& id_bn, QJsonObject& node, bool& supplement)
{
    const OfficialLaw& law = official(id_bn.substr(0, 3));
    supplement = id_bn[4] == 'F';
    QJsonObject current;
    if (supplement) {
        current = law.original_supplement;
    } else {
        const auto it = law.articles.find(num_attr(number_at(id_bn, 4, 4), number_at(id_bn, 8, 2), number_at(id_bn, 10, 2)));
        if (it == law.articles.end())
            return false;
        current = it->second;
    }
    QJsonObject next;
    if (!child_with_num(current, "Paragraph", num_attr(number_at(id_bn, 16, 2), code_value(id_bn[18])), next))
        return false;
    current = next;
    const int item = number_at(id_bn, 21, 2);
    if (item > 0) {
        if (!child_with_num(current, "Item", num_attr(item, code_value(id_bn[23])), next))
            return false;
        current = next;
        const int sub1 = number_at(id_bn, 26, 2);
        const int sub2 = code_value(id_bn[28]);
        const int sub3 = code_value(id_bn[29]);
        if (sub1 > 0) {
            if (!child_with_num(current, "Subitem1", num_attr(sub1), next))
                return false;
            current = next;
        }
        if (sub2 > 0) {
            if (!child_with_num(current, "Subitem2", num_attr(sub2), next))
                return false;
            current = next;
        }
        if (sub3 > 0) {
            if (!child_with_num(current, "Subitem3", num_attr(sub3), next))
                return false;
            current = next;
        }
    }
    node = current;
    return true;
}

// ---------------------------------------------------------------------------
// Comparison form: the visible text of the stored markup, with digits, numbers
// and units in one spelling (the sample writes article numbers and quantities in
// Arabic digits and units as symbols, the official text in kanji and words).

QString visible_text(QString s)
{
    static const QRegularExpression reference(QStringLiteral("\\[(第[0-9]+条(?:の[0-9]+)*)(?:/[0-9A-Z]{3})?\\]"));
    static const QRegularExpression explicit_link(QStringLiteral("\\[L(.*?)/[0-9A-Za-z-]{12}L\\]"));
    s.replace(reference, "\\1");
    s.replace(explicit_link, "\\1");
    s.remove(QStringLiteral("[K"));
    s.remove(QStringLiteral("K]"));
    return s;
}

QString html_text(QString s)
{
    static const QRegularExpression styles(QStringLiteral("<style[^>]*>.*?</style>"),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    s.remove(styles);
    s.remove(tags);
    s.remove('\n');
    return s;
}

qint64 kanji_number(const QString& run)
{
    static const QString digits = QStringLiteral("〇一二三四五六七八九");
    const bool positional = !run.contains(QRegularExpression(QStringLiteral("[十百千万]")));
    if (positional) {
        qint64 v = 0;
        for (QChar c : run)
            v = v * 10 + digits.indexOf(c);
        return v;
    }
    qint64 total = 0, group = 0;
    int digit = -1;
    for (QChar c : run) {
        const int d = digits.indexOf(c);
        if (d >= 0) {
            digit = d;
            continue;
        }
        const qint64 unit = c == QChar(0x5341) ? 10 : c == QChar(0x767E) ? 100 : c == QChar(0x5343) ? 1000 : 10000;
        if (unit == 10000) {
            total += (group + (digit >= 0 ? digit : (group == 0 ? 1 : 0))) * 10000;
            group = 0;
        } else {
            group += (digit >= 0 ? digit : 1) * unit;
        }
        digit = -1;
    }
    return total + group + (digit >= 0 ? digit : 0);
}

QString comparable(QString s)
{
    QString out;
    static const QString numerals = QStringLiteral("〇一二三四五六七八九十百千万");
    for (int i = 0; i < s.size();) {
        const QChar c = s[i];
        if (numerals.contains(c)) {
            int j = i;
            while (j < s.size() && numerals.contains(s[j]))
                ++j;
            out += QString::number(kanji_number(s.mid(i, j - i)));
            i = j;
        } else if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) {
            out += QChar('0' + (c.unicode() - 0xFF10));
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    static const QRegularExpression decimal(QStringLiteral("([0-9])・([0-9])"));
    out.replace(decimal, "\\1.\\2");
    static const QRegularExpression grouping(QStringLiteral("([0-9]),([0-9]{3})"));
    out.replace(grouping, "\\1\\2");
    static const std::pair<const char*, const char*> units[] = {
        {"メートル毎秒毎秒", "m/秒2"}, {"平方センチメートル", "㎝2"}, {"立方センチメートル", "㎝3"}, {"平方ミリメートル", "㎜2"},
        {"立方ミリメートル", "㎜3"}, {"平方メートル", "㎡"}, {"立方メートル", "m3"}, {"センチメートル", "㎝"},
        {"ミリメートル", "㎜"}, {"メートル", "m"}};
    static const std::vector<std::pair<QRegularExpression, QString>> unit_patterns = [] {
        std::vector<std::pair<QRegularExpression, QString>> patterns;
        for (const auto& [word, symbol] : units)
            patterns.emplace_back(QRegularExpression("(?<=[0-9])" + QString::fromUtf8(word)), QString::fromUtf8(symbol));
        return patterns;
    }();
    if (out.contains(QStringLiteral("メートル")))
        for (const auto& [pattern, symbol] : unit_patterns)
            out.replace(pattern, symbol);
    return out;
}

bool have_official_data()
{
    return official("01A").loaded && official("01B").loaded;
}

class OfficialText : public ::testing::TestWithParam<Folder> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(have_official_data()) << "the build unpacks the official data into " << kOfficialDir;
        db = open_db(GetParam().dir);
    }
    // The sentences to compare: those of the sample's excerpts of 01A and 01B; of
    // the whole laws, the main provision (the supplementary provisions of every
    // amendment are numbered by the importer, not by the official data).
    std::string compared() const
    {
        return "LEFT([ID_BN], 3) IN (" + laws() + ")" +
               (GetParam().whole ? " AND MID([ID_BN], 5, 1) <> 'F' AND MID([ID_BN], 5, 1) <> 'T'" : "");
    }
    // The laws compared: every law imported from the official data; the sample's 01A and 01B.
    std::string laws() const { return GetParam().whole ? "SELECT ID_HN FROM T_版" : "'01A', '01B'"; }
    std::unique_ptr<Database> db;
};

} // namespace

TEST(SampleComparison, NormalisesDigitsNumbersAndUnits)
{
    EXPECT_EQ(comparable(QStringLiteral("第二十八条第一項")), comparable(QStringLiteral("第28条第1項")));
    EXPECT_EQ(comparable(QStringLiteral("五百平方メートル")), comparable(QStringLiteral("500㎡")));
    EXPECT_EQ(comparable(QStringLiteral("〇・六ミリメートル")), comparable(QStringLiteral("0.6㎜")));
    EXPECT_EQ(comparable(QStringLiteral("二万立方メートル")), comparable(QStringLiteral("20000m3")));
    EXPECT_EQ(comparable(QStringLiteral("千五百メートル")), comparable(QStringLiteral("1,500m")));
    EXPECT_EQ(comparable(QStringLiteral("九・八メートル毎秒毎秒")), comparable(QStringLiteral("9.8m/秒2")));
    EXPECT_NE(comparable(QStringLiteral("第二十八条")), comparable(QStringLiteral("第29条")));
    EXPECT_NE(comparable(QStringLiteral("十分の一")), comparable(QStringLiteral("1分の10")));
    EXPECT_EQ(visible_text(QStringLiteral("法[第6条の2/01A]第1項、[L告示/02K-KD121400L]、[K政令K]")),
              QStringLiteral("法第6条の2第1項、告示、政令"));
}

TEST_P(OfficialText, EverySentenceMatchesTheOfficialText)
{
    std::map<std::string, int> compared;
    for (const SentenceRow& row : sentences(*db, this->compared())) {
        QJsonObject node;
        bool supplement = false;
        const QString stored = visible_text(QString::fromStdString(row.text));
        if (!official_node(row.id, node, supplement)) {
            // An article deleted without paragraphs has one line 削除.
            if (!(GetParam().whole && stored == QStringLiteral("削除")))
                ADD_FAILURE() << row.id << ": the official text has no such provision";
            continue;
        }
        QString expected = own_sentence(node);
        if (supplement && number_at(row.id, 21, 2) == 0)
            expected = text_of(children(node, "ParagraphNum").front()) + QStringLiteral("　") + expected;
        const QString wanted = comparable(expected);
        bool same = comparable(stored) == wanted;
        if (GetParam().whole) {
            // The importer adds a paragraph's caption, the title the numbering cannot
            // write and the further lines (lists, formulas) as lines of the sentence.
            for (const QString& line : stored.split(QStringLiteral("<br>"))) {
                const QString text = comparable(html_text(line));
                same = same || text == wanted || text.endsWith(QStringLiteral("　") + wanted);
            }
        }
        EXPECT_TRUE(same) << row.id << "\n  stored:   " << stored.toStdString() << "\n  official: " << expected.toStdString();
        ++compared[row.id.substr(0, 3)];
    }
    EXPECT_GT(compared["01A"], 0);
    EXPECT_GT(compared["01B"], 0);
}

TEST_P(OfficialText, EveryIncludedArticleHasAllItsProvisions)
{
    std::set<std::string> stored;
    for (const SentenceRow& row : sentences(*db, compared()))
        stored.insert(row.id.substr(0, 12) + row.id.substr(15));
    std::set<std::string> articles;
    auto rs = db->execute("SELECT [ID_FN] FROM T_条 WHERE LEFT([ID_FN], 3) IN (" + laws() + ") ORDER BY [ID_FN]");
    for (; !rs->eof(); rs->move_next()) {
        const std::string id = rs->text("ID_FN");
        if (id[4] != 'T' && !(GetParam().whole && id[4] == 'F'))
            articles.insert(id.substr(0, 12));
    }
    ASSERT_FALSE(articles.empty());
    static const char* codes = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const auto group = [](int number, int branch1, int branch2 = 0) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%02d%c%c", number, codes[branch1], codes[branch2]);
        return std::string(buffer);
    };
    const auto split = [](const QString& num) {
        const QStringList parts = num.split('_');
        return std::make_pair(parts.value(0).toInt(), parts.value(1).toInt());
    };
    for (const std::string& article : articles) {
        const OfficialLaw& law = official(article.substr(0, 3));
        QJsonObject node;
        if (article[4] == 'F') {
            node = law.original_supplement;
        } else {
            const QString num = num_attr(std::stoi(article.substr(4, 4)), std::stoi(article.substr(8, 2)),
                                         std::stoi(article.substr(10, 2)));
            auto it = law.articles.find(num);
            if (it == law.articles.end()) // a range of articles (第十七条及び第十八条　削除) has one page
                it = law.articles.lower_bound(num + ":");
            ASSERT_NE(it, law.articles.end()) << article;
            ASSERT_TRUE(it->first == num || it->first.startsWith(num + ":")) << article;
            node = it->second;
        }
        for (const QJsonObject& p : children(node, "Paragraph")) {
            const auto [pn, pb] = split(attr_of(p, "Num"));
            const std::string g1 = group(pn, pb);
            EXPECT_TRUE(stored.count(article + "-" + g1 + "-0000-0000-0000")) << article << " paragraph " << pn;
            for (const QJsonObject& item : children(p, "Item")) {
                const auto [in, ib] = split(attr_of(item, "Num"));
                const std::string g2 = group(in, ib);
                EXPECT_TRUE(stored.count(article + "-" + g1 + "-" + g2 + "-0000-0000")) << article << " item " << g1 << "-" << g2;
                for (const QJsonObject& s1 : children(item, "Subitem1")) {
                    const int n1 = split(attr_of(s1, "Num")).first;
                    EXPECT_TRUE(stored.count(article + "-" + g1 + "-" + g2 + "-" + group(n1, 0) + "-0000")) << article << " " << g2 << " sub-item " << n1;
                    for (const QJsonObject& s2 : children(s1, "Subitem2")) {
                        const int n2 = split(attr_of(s2, "Num")).first;
                        EXPECT_TRUE(stored.count(article + "-" + g1 + "-" + g2 + "-" + group(n1, n2) + "-0000")) << article << " " << g2 << " sub-sub-item " << n2;
                        for (const QJsonObject& s3 : children(s2, "Subitem3")) {
                            const int n3 = split(attr_of(s3, "Num")).first;
                            EXPECT_TRUE(stored.count(article + "-" + g1 + "-" + g2 + "-" + group(n1, n2, n3) + "-0000")) << article << " fifth level " << n3;
                        }
                    }
                }
            }
        }
    }
}

TEST_P(OfficialText, TablesMatchTheOfficialTables)
{
    // Appended-table pages, their split pages in order; and the tables inserted after sentences.
    std::map<std::string, QString> appended;
    std::map<std::string, QString> inserted;
    auto rs = db->execute("SELECT * FROM T_表 WHERE LEFT([ID_BN], 3) IN (" + laws() + ") ORDER BY [ID_BN], [順序]");
    for (; !rs->eof(); rs->move_next()) {
        const std::string id = rs->text("ID_BN");
        const QString text = visible_text(html_text(QString::fromStdString(rs->text("表式データ"))));
        if (id[4] == 'T') {
            if (id.substr(5, 3) != "999") // not the page of the law's forms
                appended[id.substr(0, 12)] += QString(text).remove(QStringLiteral("［図］")); // a figure only referenced
        } else if (id[4] != 'F' || !GetParam().whole) { // the importer numbers the supplementary provisions (as above)
            inserted[id] += text;
        }
    }
    ASSERT_FALSE(appended.empty());
    ASSERT_FALSE(inserted.empty());
    std::map<std::string, std::size_t> ordinal; // the appended tables of each law, in order
    for (const auto& [id, text] : appended) {
        const OfficialLaw& law = official(id.substr(0, 3));
        const std::size_t index = ordinal[id.substr(0, 3)]++;
        ASSERT_GT(law.appendix_tables.size(), index) << id;
        const QJsonObject& table = law.appendix_tables[index];
        QString expected = text_of(children(table, "AppdxTableTitle").front());
        for (const QJsonObject& related : children(table, "RelatedArticleNum"))
            expected += text_of(related);
        for (const QJsonObject& ts : children(table, "TableStruct"))
            expected += table_text(ts);
        // The page sets a blank between a remark's number and its text.
        EXPECT_EQ(comparable(text).remove(QChar(0x3000)).toStdString(),
                  comparable(expected).remove(QChar(0x3000)).toStdString())
            << id;
    }
    for (const auto& [id, text] : inserted) {
        // The provision's tables, and those of the levels below Subitem3, which
        // continue its sentence; a table that follows the sub-items of its
        // provision follows the last of them on the page.
        QString expected;
        const std::function<void(const QJsonObject&)> tables_of = [&](const QJsonObject& n) {
            for (const QJsonObject& child : children(n)) {
                const QString tag = tag_of(child);
                if (tag == "TableStruct")
                    expected += table_text(child);
                else if (tag != "Paragraph" && tag != "Item" && tag != "Subitem1" && tag != "Subitem2" && tag != "Subitem3")
                    tables_of(child);
            }
        };
        std::string provision = id;
        for (const std::size_t level : {29u, 28u, 26u, 21u}) {
            QJsonObject node;
            bool supplement = false;
            ASSERT_TRUE(official_node(provision, node, supplement)) << provision;
            tables_of(node);
            if (!expected.isEmpty())
                break;
            provision.replace(level, level == 26 || level == 21 ? 2 : 1, level == 26 || level == 21 ? "00" : "0");
        }
        EXPECT_FALSE(expected.isEmpty()) << id << ": the official provision has no table";
        EXPECT_EQ(comparable(text).toStdString(), comparable(expected).toStdString()) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, OfficialText, ::testing::Values(kSample, kShipped), folder_name);

