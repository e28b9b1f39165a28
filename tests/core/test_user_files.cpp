// The user's small files on disk: read without waiting for a pipe, written
// without writing through a link that somebody else planted.
#include "core/replace_file.h"
#include "core/user_file.h"
#include "tests/fixtures.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace velto::test {
namespace {

namespace fs = std::filesystem;

// An account that is not the user running the tests.
constexpr uid_t kOtherUser = 65534;

// A link at `link` to `target`, owned by another user when the tests may
// give it away (as root); false when they may not.
bool plant_link(const std::string& target, const std::string& link)
{
    fs::create_symlink(target, link);
    return ::lchown(link.c_str(), kOtherUser, kOtherUser) == 0;
}

TEST(UserFile, ReadsOnlyARegularFileWithinItsLimitAndNeverWaits)
{
    TempDir dir;
    write_file(dir.file("small"), "VERSION 14.03\r\n");
    write_file(dir.file("large"), std::string(2000, 'x'));
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    fs::create_directory(dir.file("folder"));
    fs::create_symlink(dir.file("pipe"), dir.file("link-to-pipe"));
    const struct {
        const char* name;
        UserFileRead result;
        std::string text;
    } cases[] = {
        {"small", UserFileRead::Read, "VERSION 14.03\r\n"},
        {"large", UserFileRead::TooLarge, ""},
        {"pipe", UserFileRead::Unreadable, ""}, // no writer: opening it waited for ever
        {"link-to-pipe", UserFileRead::Unreadable, ""},
        {"folder", UserFileRead::Unreadable, ""},
        {"missing", UserFileRead::Missing, ""},
    };
    for (const auto& c : cases) {
        std::string text = "old";
        EXPECT_EQ(read_user_file(dir.file(c.name), 1000, text), c.result) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(UserFile, AnotherUsersLinkIsReplacedTheUsersOwnIsFollowed)
{
    TempDir dir;
    write_file(dir.file("victim"), "the victim's file");
    if (!plant_link(dir.file("victim"), dir.file("velto14.bmk")))
        GTEST_SKIP() << "links cannot be given to another user here";
    ASSERT_TRUE(write_user_file(dir.file("velto14.bmk"), "bookmarks"));
    EXPECT_EQ(read_file(dir.file("victim")), "the victim's file");
    EXPECT_FALSE(fs::is_symlink(dir.file("velto14.bmk")));
    EXPECT_EQ(read_file(dir.file("velto14.bmk")), "bookmarks");

    // A link the user made leads where the user meant.
    fs::create_directory(dir.file("synced"));
    write_file(dir.file("synced/velto14.ppj"), "old");
    ::chmod(dir.file("synced/velto14.ppj").c_str(), 0640);
    fs::create_symlink(dir.file("synced/velto14.ppj"), dir.file("velto14.ppj"));
    ASSERT_TRUE(write_user_file(dir.file("velto14.ppj"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.file("velto14.ppj")));
    EXPECT_EQ(read_file(dir.file("synced/velto14.ppj")), "new");
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("synced/velto14.ppj").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // A new file is never made over anything.
    EXPECT_FALSE(create_user_file(dir.file("velto14.bmk"), "x"));
    EXPECT_TRUE(create_user_file(dir.file("velto14.bmk.bad"), "x"));
    EXPECT_EQ(read_file(dir.file("velto14.bmk")), "bookmarks");
}

TEST(ReplaceFile, AFolderHeldOpenTakesTheFileWhereverItsPathLeadsMeanwhile)
{
    TempDir dir;
    fs::create_directory(dir.file("out"));
    const OpenFolder folder(dir.file("out"), false);
    ASSERT_TRUE(folder.is_open());
    fs::rename(dir.file("out"), dir.file("moved"));
    fs::create_directory(dir.file("out")); // somebody else's folder under the old path
    EXPECT_EQ(replace_file(folder, "page.html", "<p>"), "");
    EXPECT_EQ(read_file(dir.file("moved/page.html")), "<p>");
    EXPECT_TRUE(fs::is_empty(dir.file("out")));
    EXPECT_EQ(replace_file(folder, "../escape", "x"), "not a file name");

    // A link in place of a folder that must be a real one.
    fs::create_directory_symlink(dir.file("moved"), dir.file("linked"));
    EXPECT_FALSE(OpenFolder(dir.file("linked"), false).is_open());
    EXPECT_TRUE(OpenFolder(dir.file("linked"), true).is_open());
}

} // namespace
} // namespace velto::test
