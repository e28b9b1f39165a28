// The reader's own program folder (build/): the collection of building laws
// imported whole from the official data, beside the sample's notifications,
// repealed laws and program pages; seen through the command line, as a user
// sees it.
#include "tests/fixtures.h"
#include "tests/program/official_collection.h"
#include "tests/program/program_folders.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

using velto::test::TempDir;

namespace {

// The reader on the shipped folder, with settings of its own.
velto::test::ToolRun velto_run(const std::string& verb, const TempDir& scratch)
{
    return velto::test::run_reader(VELTO_BINARY_DIR, verb, scratch);
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

TEST(ShippedFolder, TreeAndListHoldEveryArticleOfEveryLaw)
{
    TempDir scratch;
    const velto::test::ToolRun tree = velto_run("--tree", scratch);
    ASSERT_EQ(tree.status, 0) << tree.err;
    int laws = 0;
    for (const velto::test::OfficialFile& law : velto::test::official_collection()) {
        if (law.earlier)
            continue;
        SCOPED_TRACE(law.law);
        ++laws;
        const velto::test::ToolRun list = velto_run("--list " + law.law, scratch);
        ASSERT_EQ(list.status, 0) << list.err;
        // One page per Article element; a range of deleted articles (第十七条及び第十八条) is one.
        const std::set<std::string> in_tree = article_pages(tree.out, law.law, 1);
        const std::set<std::string> in_list = article_pages(list.out, law.law, 0);
        EXPECT_EQ(in_tree, in_list);
        EXPECT_EQ(static_cast<int>(in_list.size()), law.main_articles);
    }
    EXPECT_GT(laws, 0) << "the build unpacks the official data";
    // The last articles of the two laws the reader opens on.
    EXPECT_NE(tree.out.find("\t01A-01070000-00\t"), std::string::npos);
    EXPECT_NE(tree.out.find("\t01B-01500000-00\t"), std::string::npos);
}

TEST(ShippedFolder, TheLastArticlesOfBothLawsHaveTheirOfficialText)
{
    TempDir scratch;
    const std::vector<std::array<std::string, 3>> pages = {
        {"01A-01070000-00", "建築基準法 第107条", "五十万円以下の罰金に処する旨の規定を設けることができる。"},
        // (建築物 after these words is a defined term, underlined in the page)
        {"01B-01500000-00", "建築基準法施行令 第150条", "事務所その他これに類する用途に供する"},
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
    EXPECT_EQ(version.out.rfind("ヴェルト VelTo Ver.14.03\n\n収録している法令の本文:\n"
                                "建築基準法（昭和二十五年法律第二百一号）\n　令和8年4月1日施行\n"
                                "　旧版　令和7年12月1日施行\n　旧版　令和5年6月16日施行\n　旧版　令和元年12月1日施行\n"
                                "建築基準法施行令（昭和二十五年政令第三百三十八号）\n　令和7年12月1日施行",
                                0),
              0u)
        << version.out;
}

TEST(ShippedFolder, EveryPageExportsWithoutAFailure)
{
    TempDir scratch;
    const velto::test::ToolRun exported = velto_run("--export-html " + scratch.file("pages"), scratch);
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(exported.err.find(" pages written, 0 failed"), std::string::npos) << exported.err;
    // As many pages of each law as it shows.
    std::map<std::string, int> written;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.file("pages")))
        ++written[entry.path().filename().string().substr(0, 3)];
    auto db = velto::test::open_db(VELTO_BINARY_DIR "/");
    int laws = 0;
    for (const velto::test::OfficialFile& law : velto::test::official_collection()) {
        if (law.earlier)
            continue;
        ++laws;
        auto shown = db->execute("SELECT count(*) AS n FROM T_条 WHERE LEFT([ID_FN], 3) = '" + law.law + "' AND [表示] = YES");
        EXPECT_EQ(written[law.law], shown->number("n")) << law.law;
    }
    EXPECT_GT(laws, 0);
}
