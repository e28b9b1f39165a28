// The reader installed with `cmake --install` into a prefix, its program
// folder read-only, run as a user runs it: it finds its folder under share/,
// and keeps the user's bookmarks and law database in the user's folders.
#include "core/user_folders.h"
#include "tests/compose_fixture.h"
#include "userfiles/bookmarks.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velto::test {
namespace {

namespace fs = std::filesystem;

class Installation : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix_ = new TempDir;
        const ToolRun install = run_tool(VELTO_CMAKE_COMMAND, "--install " VELTO_BINARY_DIR " --prefix " + prefix_->path(),
                                         *prefix_);
        ASSERT_EQ(install.status, 0) << install.out << install.err;
        for (const auto& entry : fs::recursive_directory_iterator(prefix_->file("share/velto")))
            fs::permissions(entry.path(), fs::perms::all & ~fs::perms::owner_write & ~fs::perms::group_write &
                                              ~fs::perms::others_write);
    }
    static void TearDownTestSuite()
    {
        for (const auto& entry : fs::recursive_directory_iterator(prefix_->file("share/velto")))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
        delete prefix_;
    }

    std::string share() const { return prefix_->file("share/velto/"); }
    std::string user_dir() const { return home.file("data/") + std::string(kUserFolderName); }
    // The installed reader, on the user's folders of `home`.
    ToolRun reader(const std::string& args) const
    {
        return run_tool("XDG_DATA_HOME=" + home.file("data") + " XDG_CACHE_HOME=" + home.file("cache") + " " +
                            prefix_->file("bin/velto") + " --settings " + home.file("s.ini"),
                        args, scratch);
    }

    // The line --version prints under 建築基準法: the 施行日 of its text.
    static std::string edition_of_01a(const std::string& version)
    {
        const std::string title = "建築基準法（昭和二十五年法律第二百一号）\n";
        const std::size_t at = version.find(title);
        if (at == std::string::npos)
            return {};
        const std::size_t from = at + title.size();
        return version.substr(from, version.find('\n', from) - from);
    }

    static TempDir* prefix_;
    TempDir home, scratch;
};
TempDir* Installation::prefix_ = nullptr;

TEST_F(Installation, PutsTheProgramsTheProgramFolderAndTheMenuEntryInTheirPlaces)
{
    for (const char* file :
         {"bin/velto", "bin/velto-import", "bin/velto-update", "bin/velto-dbbuild", "share/velto/VT2014.m88",
          "share/velto/help14.html", "share/velto/default.ppj", "share/velto/velto14.alias",
          "share/velto/fonts/fonts.conf", "share/velto/images14/system/indicator_blue.gif", "share/applications/velto.desktop",
          "share/icons/hicolor/48x48/apps/velto.png", "share/icons/hicolor/256x256/apps/velto.png",
          "share/icons/hicolor/scalable/apps/velto.svg", "share/metainfo/io.github.mokume88.velto.metainfo.xml"})
        EXPECT_TRUE(fs::exists(prefix_->file(file))) << file;
    const std::string entry = read_file(prefix_->file("share/applications/velto.desktop"));
    for (const char* line : {"Name=VelTo\n", "Name[ja]=ヴェルト\n", "Exec=velto\n", "Icon=velto\n",
                             "Categories=Office;Education;\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    const std::string metainfo = prefix_->file("share/metainfo/io.github.mokume88.velto.metainfo.xml");
    if (fs::exists("/usr/bin/appstreamcli")) {
        const ToolRun check = run_tool("/usr/bin/appstreamcli", "validate --no-net --pedantic " + metainfo, scratch);
        EXPECT_EQ(check.status, 0) << check.out << check.err;
    }
    EXPECT_NE(read_file(metainfo).find("<launchable type=\"desktop-id\">velto.desktop</launchable>"), std::string::npos);
}

TEST_F(Installation, ShowsAPageAndKeepsABookmarkInTheUsersFolder)
{
    const ToolRun caption = reader("--caption 01A-00010000-00");
    EXPECT_EQ(caption.status, 0) << caption.err;
    EXPECT_EQ(caption.out, "建築基準法 第1条\n");

    {   // A first run of the window adds a bookmark, as the しおり tab does.
        MemorySettingsStore settings;
        CapturingReporter reporter;
        CVeltoDoc doc(settings, reporter);
        DocumentOptions options;
        options.program_dir = share();
        options.user_dir = user_folder_for(program_folder_of(prefix_->file("bin/")), home.file("data/") +
                                                                                      std::string(kUserFolderName));
        options.spare_working_dir = home.file("cache/temp/");
        ASSERT_EQ(options.user_dir, user_dir());
        carry_over_user_files(options.program_dir, options.user_dir); // as the window starts
        ASSERT_TRUE(doc.OnNewDocument(options));
        Bookmarks bookmarks(doc);
        bookmarks.load();
        ASSERT_TRUE(bookmarks.add("01A-00060000-00"));
        ASSERT_TRUE(bookmarks.save());
        doc.OnCloseDocument();
    }
    // The installed reader's second run lists it from the user's folder.
    const ToolRun listed = reader("--bookmarks");
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out.rfind("01A-00060000-00\t", 0), 0u) << listed.out;
    EXPECT_TRUE(fs::exists(user_dir() + "velto14.bmk"));
    EXPECT_FALSE(fs::exists(share() + "velto14.bmk"));
    EXPECT_FALSE(fs::exists(share() + "temp"));
}

TEST_F(Installation, ReadsTheUsersNewerLawDatabaseAndNotAnOlderOne)
{
    fs::create_directories(user_dir());
    fs::copy_file(share() + "VT2014.m88", user_dir() + "VT2014.m88");
    fs::permissions(user_dir() + "VT2014.m88", fs::perms::owner_write, fs::perm_options::add);
    const auto set_edition = [this](const std::string& date) {
        const ToolRun sql = run_tool("sqlite3", user_dir() + "VT2014.m88 \"UPDATE T_版 SET 施行日 = '" + date +
                                                    "' WHERE ID_HN = '01A'\"",
                                     scratch);
        ASSERT_EQ(sql.status, 0) << sql.err;
    };
    set_edition("2027-04-01");
    const ToolRun newer = reader("--version");
    EXPECT_EQ(newer.status, 0) << newer.err;
    EXPECT_EQ(edition_of_01a(newer.out), "　令和9年4月1日施行") << newer.out;

    // A copy older than what is installed (after an upgrade) is not read.
    set_edition("2019-12-01");
    EXPECT_EQ(edition_of_01a(reader("--version").out), "　令和8年4月1日施行");
}

} // namespace
} // namespace velto::test
