// The program folders the build makes: the small sample (build/sample/, the
// tests' fixture) and the reader's own folder with the whole laws (build/).
// Their law texts against the official law data, every page composed through
// the document, and the files beside the database.
#include "compose/article_rows.h"
#include "compose/contents_tree.h"
#include "compose/velto_doc.h"
#include "core/database.h"
#include "core/paths.h"

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

namespace {

const std::string kProgramDir = VELTO_BINARY_DIR "/";
const std::string kSampleDir = VELTO_BINARY_DIR "/sample/";
const std::string kOfficialDir = VELTO_BINARY_DIR "/official/";

// The two folders, as test parameters.
struct Folder {
    const char* name;
    std::string dir;
    bool whole; // holds the whole laws 01A and 01B
};
const Folder kSample{"Sample", kSampleDir, false};
const Folder kShipped{"Shipped", kProgramDir, true};
std::string folder_name(const ::testing::TestParamInfo<Folder>& info) { return info.param.name; }
void PrintTo(const Folder& folder, std::ostream* os) { *os << folder.name; }

std::unique_ptr<Database> open_db(const std::string& dir)
{
    auto db = std::make_unique<Database>();
    db->open("Data Source=" + dir + "VT2014.m88;", "admin", "");
    return db;
}

struct SentenceRow {
    std::string id;
    std::string text;
};

std::vector<SentenceRow> sentences(Database& db, const std::string& where = "1 = 1")
{
    std::vector<SentenceRow> rows;
    auto rs = db.execute("SELECT * FROM T_文 WHERE " + where + " ORDER BY [ID_BN]");
    for (; !rs->eof(); rs->move_next())
        rows.push_back({rs->text("ID_BN"), rs->text("法文")});
    return rows;
}

std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

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

// The text of a TableStruct: its title ("一", "二" of numbered tables) and cells.
QString table_text(const QJsonObject& table)
{
    QString text;
    for (const QJsonObject& title : children(table, "TableStructTitle"))
        text += text_of(title);
    walk(table, "TableColumn", [&](const QJsonObject& column) { text += text_of(column); });
    return text;
}

struct OfficialLaw {
    bool loaded = false;
    std::map<QString, QJsonObject> articles;  // by Num attribute ("6_2")
    QJsonObject original_supplement;          // the supplementary provisions of the law as enacted
    std::vector<QJsonObject> appendix_tables; // 別表第1, 別表第2, ...
};

OfficialLaw load_official(const std::string& file)
{
    OfficialLaw law;
    QFile f(QString::fromStdString(kOfficialDir + file));
    if (!f.open(QIODevice::ReadOnly))
        return law;
    const QJsonObject root = QJsonDocument::fromJson(f.readAll()).object().value("law_full_text").toObject();
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
    static const OfficialLaw act = load_official("building_act.json");
    static const OfficialLaw order = load_official("order_full.json");
    return id_hn == "01A" ? act : order;
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
    for (const auto& [word, symbol] : units)
        out.replace(QRegularExpression("(?<=[0-9])" + QString::fromUtf8(word)), QString::fromUtf8(symbol));
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
    // The sentences of 01A and 01B to compare: those of the sample's excerpts; of
    // the whole laws, the main provision (the supplementary provisions of every
    // amendment are numbered by the importer, not by the official data).
    std::string compared() const
    {
        return GetParam().whole ? "LEFT([ID_BN], 3) IN ('01A', '01B') AND MID([ID_BN], 5, 1) <> 'F' AND MID([ID_BN], 5, 1) <> 'T'"
                                : "LEFT([ID_BN], 3) IN ('01A', '01B')";
    }
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
    auto rs = db->execute("SELECT [ID_FN] FROM T_条 WHERE LEFT([ID_FN], 3) IN ('01A', '01B') ORDER BY [ID_FN]");
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
    auto rs = db->execute("SELECT * FROM T_表 WHERE LEFT([ID_BN], 3) IN ('01A', '01B') ORDER BY [ID_BN], [順序]");
    for (; !rs->eof(); rs->move_next()) {
        const std::string id = rs->text("ID_BN");
        const QString text = visible_text(html_text(QString::fromStdString(rs->text("表式データ"))));
        if (id[4] == 'T')
            appended[id.substr(0, 12)] += text;
        else
            inserted[id] += text;
    }
    ASSERT_FALSE(appended.empty());
    ASSERT_FALSE(inserted.empty());
    for (const auto& [id, text] : appended) {
        const OfficialLaw& law = official(id.substr(0, 3));
        const std::size_t number = std::stoul(id.substr(5, 3));
        ASSERT_GE(law.appendix_tables.size(), number) << id;
        const QJsonObject& table = law.appendix_tables[number - 1];
        QString expected = text_of(children(table, "AppdxTableTitle").front());
        for (const QJsonObject& related : children(table, "RelatedArticleNum"))
            expected += text_of(related);
        for (const QJsonObject& ts : children(table, "TableStruct"))
            expected += table_text(ts);
        EXPECT_EQ(comparable(text).toStdString(), comparable(expected).toStdString()) << id;
    }
    for (const auto& [id, text] : inserted) {
        QJsonObject node;
        bool supplement = false;
        ASSERT_TRUE(official_node(id, node, supplement)) << id;
        QString expected;
        for (const QJsonObject& ts : children(node, "TableStruct"))
            expected += table_text(ts);
        EXPECT_FALSE(expected.isEmpty()) << id << ": the official provision has no table";
        EXPECT_EQ(comparable(text).toStdString(), comparable(expected).toStdString()) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, OfficialText, ::testing::Values(kSample, kShipped), folder_name);

// ---------------------------------------------------------------------------
// The program folder.

namespace {

struct PixelSize {
    int width = 0;
    int height = 0;
};

bool operator==(PixelSize a, PixelSize b) { return a.width == b.width && a.height == b.height; }
std::ostream& operator<<(std::ostream& os, PixelSize s) { return os << s.width << "x" << s.height; }

// The logical screen size of a GIF (bytes 6 to 9, little-endian).
PixelSize gif_size(const std::string& bytes)
{
    if (bytes.size() < 10 || (bytes.compare(0, 6, "GIF87a") != 0 && bytes.compare(0, 6, "GIF89a") != 0))
        return {};
    const auto u = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    return {u(6) | (u(7) << 8), u(8) | (u(9) << 8)};
}

// The size of a Windows bitmap (BITMAPINFOHEADER width and height at 18 and 22).
PixelSize bmp_size(const std::string& bytes)
{
    if (bytes.size() < 26 || bytes.compare(0, 2, "BM") != 0)
        return {};
    const auto i32 = [&](std::size_t i) {
        return static_cast<std::int32_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                                         (static_cast<unsigned char>(bytes[i + 2]) << 16) |
                                         (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 3])) << 24));
    };
    const int height = i32(22);
    return {i32(18), height < 0 ? -height : height};
}

struct PinPointEntry {
    std::string key;
    std::string target;
};

// Reads a pinpoint file as the reader does: lines containing VERSION are skipped,
// the key is the first 55 characters, the target the last 35.
std::vector<PinPointEntry> read_pinpoints(const std::string& bytes, std::vector<std::string>& problems)
{
    std::vector<PinPointEntry> entries;
    std::istringstream in(bytes);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        else if (!in.eof())
            problems.push_back("line without CR LF: " + line);
        if (first) {
            if (line != "VERSION 14.03")
                problems.push_back("first line is not the version line: " + line);
            first = false;
            continue;
        }
        if (line.find("VERSION") != std::string::npos || line.empty())
            continue;
        if (line.size() != 92 || line.compare(55, 2, ", ") != 0) {
            problems.push_back("malformed line: " + line);
            continue;
        }
        entries.push_back({line.substr(0, 55), line.substr(57)});
    }
    return entries;
}

} // namespace

TEST(SampleProgramFolder, HoldsThePicturesWithTheirSizes)
{
    const std::string images = kProgramDir + "images14/";
    const std::vector<std::pair<std::string, PixelSize>> gifs = {
        {"system/indicator_red.gif", {10, 10}}, {"system/indicator_blue.gif", {10, 10}}, {"system/pin_point.gif", {11, 10}},
        {"system/move_fwrd.gif", {20, 20}},     {"system/move_back.gif", {20, 20}},      {"system/move_next.gif", {20, 20}},
        {"system/move_befo.gif", {20, 20}},     {"system/move_stop.gif", {20, 20}}};
    for (const auto& [name, size] : gifs)
        EXPECT_EQ(gif_size(read_bytes(images + name)), size) << name;
    const PixelSize title = bmp_size(read_bytes(images + "velto_title.bmp"));
    EXPECT_GE(title.width, 200);
    EXPECT_GT(title.height, 0);
    const PixelSize season = gif_size(read_bytes(images + "season.gif"));
    EXPECT_GT(season.width, 0);
    EXPECT_GT(season.height, 0);
    for (const char* folder : {"basic", "design", "kokuji"})
        EXPECT_TRUE(std::filesystem::is_directory(images + folder)) << folder;
}

TEST(SampleProgramFolder, HelpHasTheEnvironmentSection)
{
    const std::string help = read_bytes(kProgramDir + "help14.html");
    ASSERT_FALSE(help.empty());
    EXPECT_NE(help.find("id=\"environment\""), std::string::npos);
    const std::size_t section = help.find("id=\"environment\"");
    EXPECT_NE(help.find("ご利用になれる環境", section), std::string::npos);
}

class ProgramFolder : public ::testing::TestWithParam<Folder> {};

TEST_P(ProgramFolder, DefaultPinPointsPointAtSentencesOfTheLinkedArticle)
{
    std::vector<std::string> problems;
    const auto entries = read_pinpoints(read_bytes(GetParam().dir + "default.ppj"), problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    ASSERT_FALSE(entries.empty());
    auto db = open_db(GetParam().dir);
    const auto exists = [&](const std::string& id_bn) {
        return !db->execute("SELECT [ID_BN] FROM T_文 WHERE [ID_BN] = '" + id_bn + "'")->eof();
    };
    std::set<std::string> keys;
    for (const PinPointEntry& e : entries) {
        EXPECT_TRUE(keys.insert(e.key).second) << "duplicate " << e.key;
        EXPECT_EQ(e.key.substr(35, 4), "-to-") << e.key;
        EXPECT_TRUE(exists(e.key.substr(0, 35))) << "no linking sentence: " << e.key;
        EXPECT_TRUE(exists(e.target)) << "no target sentence: " << e.target;
        EXPECT_EQ(e.key.substr(39, 12), e.target.substr(0, 12)) << e.key << " points into another article: " << e.target;
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, ProgramFolder, ::testing::Values(kSample, kShipped), folder_name);

// ---------------------------------------------------------------------------
// Every page composed through the document.

namespace {

class LinkView : public PageViewLink {
public:
    bool link = false;
    std::string current_page_id() const override { return {}; }
    void rebuild_current_page() override {}
    bool from_link() const override { return link; }
};

class FolderPages : public ::testing::TestWithParam<Folder> {
protected:
    virtual const Folder& folder() const { return GetParam(); }
    void SetUp() override
    {
        doc = std::make_unique<CVeltoDoc>(settings, reporter);
        DocumentOptions options;
        options.program_dir = folder().dir;
        options.use_working_folder = false;
        ASSERT_TRUE(doc->OnNewDocument(options)) << messages();
        doc->toggles().Refer = 1;
        doc->toggles().Brachet = 1;
        doc->set_page_view(&view);
    }
    void TearDown() override
    {
        if (doc)
            doc->set_page_view(nullptr);
    }

    std::string messages() const
    {
        std::string all;
        for (const auto& m : reporter.messages())
            all += m.caption + ": " + m.text + "\n";
        return all;
    }

    // The full page (as reached through a link); expects no report.
    std::string build(const std::string& id)
    {
        view.link = true;
        std::string html;
        const std::size_t before = reporter.messages().size();
        EXPECT_TRUE(doc->_html_build(id, html)) << id;
        EXPECT_EQ(reporter.messages().size(), before) << id << "\n" << messages();
        return html;
    }

    // Every page a reader can reach: the listed pages, then the program's own
    // pages, which the menus and the toolbar open.
    std::vector<std::string> all_pages() const
    {
        std::vector<std::string> ids;
        for (const HistoryEntry& page : doc->pages().pages())
            ids.push_back(page.id);
        auto db = open_db(folder().dir);
        for (auto rs = db->execute("SELECT * FROM T_条 WHERE LEFT([ID_FN], 3) = '00A' ORDER BY [ID_FN]"); !rs->eof();
             rs->move_next())
            ids.push_back(rs->text("ID_FN"));
        return ids;
    }

    MemorySettingsStore settings;
    CapturingReporter reporter;
    LinkView view;
    std::unique_ptr<CVeltoDoc> doc;
};

// The sample alone: the exact fixture.
class SamplePages : public FolderPages {
protected:
    const Folder& folder() const override { return kSample; }
};

std::vector<std::string> matches(const std::string& text, const std::string& pattern, int group = 1)
{
    std::vector<std::string> out;
    const QRegularExpression re(QString::fromStdString(pattern));
    auto it = re.globalMatch(QString::fromStdString(text));
    while (it.hasNext())
        out.push_back(it.next().captured(group).toStdString());
    return out;
}

} // namespace

TEST_P(FolderPages, EveryPageComposesWithoutAReport)
{
    ASSERT_FALSE(doc->pages().pages().empty());
    for (const std::string& id : all_pages()) {
        std::string html;
        view.link = false;
        EXPECT_TRUE(doc->_html_build(id, html)) << id;
        EXPECT_NE(html.find("</html>"), std::string::npos) << id;
        view.link = true;
        EXPECT_TRUE(doc->_html_build(id, html)) << id;
        EXPECT_NE(html.find("</html>"), std::string::npos) << id;
    }
    EXPECT_TRUE(reporter.messages().empty()) << messages();
}

TEST_P(FolderPages, EverySentenceLinkAndPictureOfAPageIsThere)
{
    auto db = open_db(folder().dir);
    const std::string images = doc->image_url();
    const std::vector<std::string> pages = all_pages();
    const std::set<std::string> known(pages.begin(), pages.end());
    for (const std::string& id : pages) {
        const HistoryEntry page{id, 0, 0};
        const std::string html = build(page.id);
        IdKind kind{};
        ASSERT_TRUE(doc->_id_kind(page.id, kind)) << page.id;
        if (kind == IdKind::Article || kind == IdKind::Notice || kind == IdKind::Supplement) {
            for (const SentenceRow& row : sentences(*db, "LEFT([ID_BN], 15) = '" + page.id + "'"))
                EXPECT_NE(html.find("<a id=\"" + row.id + "\">"), std::string::npos) << "sentence missing from its page: " << row.id;
        }
        for (const std::string& target : matches(html, "http://([0-9A-Za-z-]+)_VELTO")) {
            const std::string linked = target.size() == 12 ? target + "-00" : target;
            EXPECT_TRUE(known.count(linked)) << page.id << " links to a page that is not in the sample: " << target;
        }
        std::set<std::string> ids;
        for (const std::string& id : matches(html, "\\sid=[\"']([^\"']*)[\"']"))
            EXPECT_TRUE(ids.insert(id).second) << page.id << ": the id " << id << " occurs twice";
        for (const char* marker : {"[第", "[L", "L]", "[K", "K]", "x:str="})
            EXPECT_EQ(html.find(marker), std::string::npos) << page.id << " still holds " << marker;
        for (const std::string& src : matches(html, "<img [^>]*src=[\"']([^\"']*)[\"']")) {
            ASSERT_EQ(src.rfind(images, 0), 0u) << page.id << ": picture outside the image folder: " << src;
            EXPECT_TRUE(std::filesystem::exists(doc->image_dir() + src.substr(images.size()))) << page.id << ": missing picture " << src;
        }
    }
}

TEST_P(FolderPages, PinPointKeysAreAnchorsOfTheirPages)
{
    std::vector<std::string> problems;
    const auto entries = read_pinpoints(read_bytes(folder().dir + "default.ppj"), problems);
    ASSERT_FALSE(entries.empty());
    for (const PinPointEntry& e : entries) {
        const std::string linking = build(e.key.substr(0, 15));
        EXPECT_NE(linking.find("id=\"" + e.key + "\""), std::string::npos) << "no link with the id " << e.key;
        const std::string target = build(e.target.substr(0, 15));
        EXPECT_NE(target.find("<a id=\"" + e.target + "\">"), std::string::npos) << "no sentence " << e.target;
    }
}

TEST_P(FolderPages, TheProgramsOwnPagesAreNotListedAsLaws)
{
    // They open from the menus and the toolbar; as laws they would show as
    // "不明" rows and 前へ on the first article would lead to a steel table.
    const std::vector<std::string>& laws = doc->laws().order();
    EXPECT_EQ(std::find(laws.begin(), laws.end(), "00A"), laws.end());
    for (const HistoryEntry& page : doc->pages().pages())
        EXPECT_NE(page.id.substr(0, 3), "00A") << page.id;
    EXPECT_EQ(doc->_prev_page("01A-00010000-00").id, "");

    auto db = open_db(folder().dir);
    ContentsTree tree;
    ASSERT_TRUE(tree.build(*db, *doc, reporter)) << messages();
    for (const TreeNode& node : tree.nodes())
        EXPECT_EQ(node.text.find("不明"), std::string::npos) << node.id;
    for (const std::string& law : laws) {
        ArticleRows rows;
        ASSERT_TRUE(rows.build(*db, *doc, reporter, law)) << law;
        for (const ArticleRow& row : rows.rows())
            EXPECT_NE(row.label, "不明") << row.id;
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, FolderPages, ::testing::Values(kSample, kShipped), folder_name);

TEST_F(SamplePages, TheSampleExercisesEveryKindOfContent)
{
    auto db = open_db(kSampleDir);
    const auto any = [&](const std::string& sql) { return !db->execute(sql)->eof(); };
    std::set<IdKind> kinds;
    for (const std::string& id : all_pages()) {
        IdKind kind{};
        if (doc->_id_kind(id, kind))
            kinds.insert(kind);
    }
    EXPECT_EQ(kinds.size(), 5u) << "article, notification, appended table, own page and supplementary provisions";
    EXPECT_TRUE(any("SELECT * FROM T_条 WHERE [分割] > 1 AND [ID_FN] LIKE '___-T%'")) << "a split appended table";
    EXPECT_TRUE(any("SELECT * FROM T_条 WHERE [分割] > 1 AND [ID_FN] LIKE '01A-0%'")) << "a split article";
    EXPECT_TRUE(any("SELECT * FROM T_条 WHERE [大型] <> 0")) << "a large article";
    EXPECT_TRUE(any("SELECT * FROM T_文 WHERE [表式] <> 0 AND [図入] <> 0")) << "a table with pictures";
    EXPECT_TRUE(any("SELECT * FROM T_参 WHERE [自動] = 0")) << "a keyword marked in the text";
    EXPECT_TRUE(any("SELECT * FROM T_参 WHERE [自動] <> 0 AND [選定] > 0")) << "a keyword chosen by occurrence";
    EXPECT_TRUE(any("SELECT * FROM T_参 WHERE [表中] <> 0")) << "a keyword in a table";
    EXPECT_TRUE(any("SELECT * FROM T_参 WHERE [備考] = 'なし'")) << "a suppressed remark";
    EXPECT_TRUE(any("SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN WHERE T_条.[条名] = 'なし'")) << "a target without caption";
    EXPECT_TRUE(any("SELECT * FROM T_告 WHERE [改正告示番号] > 0")) << "a revised notification";

    // The three repealed laws carry their red notice.
    for (const char* law : {"10A", "10B", "10C"}) {
        const std::string html = build(std::string(law) + "-00010000-00");
        EXPECT_NE(html.find("<p style=\"color:#FF0000\">"), std::string::npos) << law;
    }
    // Reference blocks, split indicators and pinpoint-ready anchors appear where the data asks for them.
    EXPECT_NE(build("01A-00280000-00").find("-to-01B-00190000-r01"), std::string::npos);
    const std::string split = build("01A-00520000-01");
    EXPECT_NE(split.find("indicator_red.gif"), std::string::npos);
    EXPECT_NE(split.find("indicator_blue.gif"), std::string::npos);
    EXPECT_NE(build("02K-KD121454-00").find(doc->image_url() + "kokuji/"), std::string::npos);
}
