// Where the program folder and the user's files are, for a build folder, a
// portable copy and an installation.
#include "core/user_folders.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

using velto::test::TempDir;

namespace {

// prefix/bin/ with prefix/share/velto/VT2014.m88, and a portable folder with
// its own database.
struct Layout {
    TempDir root;
    std::string bin = root.file("prefix/bin/");
    std::string share = root.file("prefix/share/velto/");
    std::string portable = root.file("portable/");
    std::string data = root.file("data/mokume88/ヴェルト/");
    Layout()
    {
        for (const std::string& folder : {bin, share, portable})
            std::filesystem::create_directories(folder);
        velto::test::write_file(share + "VT2014.m88", "");
        velto::test::write_file(portable + "VT2014.m88", "");
    }
};

} // namespace

TEST(UserFolders, FindTheProgramFolderAndTheFolderOfTheUsersFiles)
{
    Layout at;
    struct Case {
        const char* what;
        std::string executable_dir, named, program;
        bool installed;
        std::string user;
    };
    const Case cases[] = {
        {"an installation", at.bin, "", at.share, true, at.data},
        {"an installation named", at.bin, at.bin + "../share/velto", at.bin + "../share/velto/", true, at.data},
        {"a portable copy", at.portable, "", at.portable, false, at.portable},
        {"another folder named", at.bin, at.portable, at.portable, false, at.portable},
        {"nothing found", at.root.file("prefix/"), "", at.root.file("prefix/"), false, at.root.file("prefix/")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const velto::ProgramFolder program = velto::program_folder_of(c.executable_dir, c.named);
        EXPECT_EQ(program.path, c.program);
        EXPECT_EQ(program.installed, c.installed);
        EXPECT_EQ(velto::user_folder_for(program, at.data), c.user);
        // Without a data folder of the user everything stays in the program folder.
        EXPECT_EQ(velto::user_folder_for(program, ""), c.program);
    }
}

TEST(UserFolders, CarryOverCopiesOnlyWhatTheUserFolderLacks)
{
    Layout at;
    velto::test::write_file(at.share + "velto14.bmk", "old bookmarks");
    velto::test::write_file(at.share + "velto14.ppj", "old pinpoints");
    std::filesystem::create_directories(at.data);
    velto::test::write_file(at.data + "velto14.ppj", "mine");

    EXPECT_EQ(velto::carry_over_user_files(at.share, at.data), std::vector<std::string>{"velto14.bmk"});
    EXPECT_EQ(velto::test::read_file(at.data + "velto14.bmk"), "old bookmarks");
    EXPECT_EQ(velto::test::read_file(at.data + "velto14.ppj"), "mine");
    // Once there, a file is never carried again over what the user changed.
    velto::test::write_file(at.data + "velto14.bmk", "changed");
    EXPECT_TRUE(velto::carry_over_user_files(at.share, at.data).empty());
    EXPECT_EQ(velto::test::read_file(at.data + "velto14.bmk"), "changed");
    EXPECT_TRUE(velto::carry_over_user_files(at.portable, at.portable).empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(at.data), {}), 2);
}
