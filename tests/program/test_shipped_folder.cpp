// The reader's own program folder (build/): the whole current 建築基準法 and
// 施行令 imported from the official data, beside the sample's other laws,
// notifications and program pages; seen through the command line, as a user
// sees it.
#include "tests/fixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>
#include <sstream>

using velto::test::TempDir;

namespace {

// The reader on the shipped folder, with settings of its own.
velto::test::ToolRun velto_run(const std::string& verb, const TempDir& scratch)
{
    return velto::test::run_reader(VELTO_BINARY_DIR, verb, scratch);
}

// The Num of every Article of the main provision, read straight from the official file.
int official_main_articles(const std::string& file)
{
    QFile f(QString::fromStdString(VELTO_BINARY_DIR "/official/" + file));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    int count = 0;
    std::function<void(const QJsonObject&, bool)> walk = [&](const QJsonObject& node, bool main) {
        main = main || node["tag"].toString() == "MainProvision";
        count += main && node["tag"].toString() == "Article";
        for (const QJsonValue child : node["children"].toArray())
            if (child.isObject())
                walk(child.toObject(), main);
    };
    walk(QJsonDocument::fromJson(f.readAll())["law_full_text"].toObject(), false);
    return count;
}

// The article pages (HHH-NNNNBBCC-00, no 附則 or 別表) among the identifiers in a column of the output.
std::set<std::string> article_pages(const std::string& output, const std::string& law, int column)
{
    std::set<std::string> pages;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i <= column && std::getline(fields, field, '\t'); ++i) {
        }
        if (field.size() == 15 && field.compare(0, 4, law + "-") == 0 && field[4] >= '0' && field[4] <= '9')
            pages.insert(field);
    }
    return pages;
}

} // namespace

TEST(ShippedFolder, TreeAndListHoldEveryArticleOfBothLaws)
{
    TempDir scratch;
    const velto::test::ToolRun tree = velto_run("--tree", scratch);
    ASSERT_EQ(tree.status, 0) << tree.err;
    struct Law {
        std::string id, file, last;
        int articles;
    };
    for (const Law& law : {Law{"01A", "building_act.json", "01A-01070000-00", 291}, Law{"01B", "order_full.json", "01B-01500000-00", 371}}) {
        SCOPED_TRACE(law.id);
        ASSERT_EQ(official_main_articles(law.file), law.articles);
        const velto::test::ToolRun list = velto_run("--list " + law.id, scratch);
        ASSERT_EQ(list.status, 0) << list.err;
        // One page per Article element; a range of deleted articles (第十七条及び第十八条) is one.
        const std::set<std::string> in_tree = article_pages(tree.out, law.id, 1);
        const std::set<std::string> in_list = article_pages(list.out, law.id, 0);
        EXPECT_EQ(in_tree, in_list);
        EXPECT_EQ(static_cast<int>(in_list.size()), law.articles);
        ASSERT_FALSE(in_list.empty());
        EXPECT_EQ(*in_list.rbegin(), law.last);
    }
}

TEST(ShippedFolder, TheLastArticlesOfBothLawsHaveTheirOfficialText)
{
    TempDir scratch;
    const std::vector<std::array<std::string, 3>> pages = {
        {"01A-01070000-00", "建築基準法 第107条", "五十万円以下の罰金に処する旨の規定を設けることができる。"},
        {"01B-01500000-00", "建築基準法施行令 第150条", "事務所その他これに類する用途に供する建築物"},
    };
    for (const auto& [id, caption, text] : pages) {
        EXPECT_EQ(velto_run("--caption " + id, scratch).out, caption + "\n");
        const velto::test::ToolRun html = velto_run("--html " + id, scratch);
        EXPECT_EQ(html.status, 0) << html.err;
        EXPECT_NE(html.out.find(text), std::string::npos) << id;
    }
}

TEST(ShippedFolder, UnverifiedExcerptsSaySoAtTheTopOfTheirPage)
{
    TempDir scratch;
    const std::string note = "未確認の抜粋：このページの本文は、公式の法令データと照合していない抜粋です。";
    for (const char* id : {"02K-KD121401-00", "02K-KD121402-00", "02K-KD121454-00", "10C-00010000-00"}) {
        const std::string html = velto_run(std::string("--html ") + id, scratch).out;
        const std::size_t at = html.find(note);
        ASSERT_NE(at, std::string::npos) << id;
        // Before every sentence but the first, whose text it opens.
        const std::size_t second = html.find("<a id=\"" + std::string(id) + "-", html.find("<a id=\"" + std::string(id) + "-") + 1);
        EXPECT_TRUE(second == std::string::npos || at < second) << id;
    }
    for (const char* id : {"02K-KD121400-00", "10A-00010000-00", "10B-00010000-00", "01A-00010000-00"})
        EXPECT_EQ(velto_run(std::string("--html ") + id, scratch).out.find(note), std::string::npos) << id;
}

TEST(ShippedFolder, TheHistoryPageSaysTheLawsAreWhole)
{
    TempDir scratch;
    const std::string html = velto_run("--html 00A-Z0030000-00", scratch).out;
    EXPECT_NE(html.find("全文（本則、附則、別表）"), std::string::npos);
    EXPECT_NE(html.find("全文（本則、附則）"), std::string::npos);
    EXPECT_EQ(html.find("第129条の6"), std::string::npos) << "the sample's list of excerpts";
}

TEST(ShippedFolder, VersionNamesTheTextOfEachLaw)
{
    TempDir scratch;
    const velto::test::ToolRun version = velto_run("--version", scratch);
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "ヴェルト VelTo Ver.14.03\n\n収録している法令の本文:\n"
                           "建築基準法（昭和二十五年法律第二百一号）\n　令和7年12月1日施行\n"
                           "建築基準法施行令（昭和二十五年政令第三百三十八号）\n　令和7年12月1日施行\n");
}
