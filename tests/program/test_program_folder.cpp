// The program folders the build makes (the sample and the reader's own
// folder): the files beside the database, and every page composed through the
// document.
#include "catalog/article_rows.h"
#include "catalog/contents_tree.h"
#include "compose/velto_doc.h"
#include "core/database.h"
#include "core/paths.h"
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
            // A citation of a paragraph or item names the provision's first sentence, on its page.
            const std::string linked = target.size() == 12 ? target + "-00" : target.substr(0, 15);
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
    for (const TreeNode& node : tree.nodes()) // the label, before the caption (耐震不明建築物 is a word of law)
        EXPECT_EQ(node.text.substr(0, node.text.find("　")).find("不明"), std::string::npos) << node.id;
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
