// The law database a reader opens and velto-update writes: the installed one
// or the user's copy, by the editions each holds.
#include "catalog/law_database_choice.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

using velto::test::TempDir;

namespace {

// A law database holding `laws`, each "CODE=YYYY-MM-DD" an edition in T_版.
void write_db(const std::string& file, const std::vector<std::string>& laws)
{
    std::string sql;
    for (const std::string& law : laws) {
        const std::string code = law.substr(0, law.find('=')), date = law.substr(law.find('=') + 1);
        sql += "INSERT INTO T_法 VALUES ('" + code + "', 'L', 'L', 'L', 0);\n"
               "INSERT INTO T_版 (ID_HN, 施行日) VALUES ('" + code + "', '" + date + "');\n";
    }
    velto::test::build_fixture_db(file, {sql});
}

struct Folders {
    TempDir program, user;
    std::string installed = program.file("VT2014.m88"), copy = user.file("VT2014.m88");
};

} // namespace

TEST(LawDatabaseChoice, TheUsersCopyWinsUnlessItIsOlder)
{
    struct Case {
        const char* what;
        std::vector<std::string> installed, copy;
        bool older;
    };
    const std::vector<std::string> shipped{"01A=2025-12-01", "01B=2025-12-01"};
    const Case cases[] = {
        {"the same editions", shipped, shipped, false},
        {"an updated law", shipped, {"01A=2026-04-01", "01B=2025-12-01"}, false},
        {"a law added", shipped, {"01A=2025-12-01", "01B=2025-12-01", "01C=2020-01-01"}, false},
        {"an upgrade with a newer law", {"01A=2026-04-01", "01B=2025-12-01"}, shipped, true},
        {"an upgrade with a law more", {"01A=2025-12-01", "01B=2025-12-01", "02A=2024-01-01"}, shipped, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folders at;
        write_db(at.installed, c.installed);
        write_db(at.copy, c.copy);
        EXPECT_EQ(velto::user_copy_is_older(at.copy, at.installed), c.older);

        // The command line only reads: it opens the installed file and leaves the copy.
        EXPECT_EQ(velto::choose_law_database(at.program.path(), at.user.path(), false).path,
                  c.older ? at.installed : at.copy);
        EXPECT_TRUE(std::filesystem::exists(at.copy));
        // The window sets an older copy aside once, saying so, and loses nothing.
        const velto::LawDatabaseChoice first = velto::choose_law_database(at.program.path(), at.user.path());
        EXPECT_EQ(first.path, c.older ? at.installed : at.copy);
        EXPECT_EQ(first.notice.empty(), !c.older);
        EXPECT_EQ(std::filesystem::exists(at.copy + ".old"), c.older);
        EXPECT_TRUE(velto::choose_law_database(at.program.path(), at.user.path()).notice.empty());
    }
}

TEST(LawDatabaseChoice, AnUnreadableCopyIsSetAsideAndAPortableFolderKeepsItsOwn)
{
    Folders at;
    write_db(at.installed, {"01A=2025-12-01"});
    velto::test::write_file(at.copy, "not a database");
    EXPECT_TRUE(velto::user_copy_is_older(at.copy, at.installed));
    EXPECT_EQ(velto::choose_law_database(at.program.path(), at.user.path()).path, at.installed);
    EXPECT_EQ(velto::test::read_file(at.copy + ".old"), "not a database");

    EXPECT_EQ(velto::choose_law_database(at.program.path(), at.program.path()).path, at.installed);
    EXPECT_EQ(velto::choose_law_database(at.program.path(), "").path, at.installed);
}

TEST(LawDatabaseChoice, VeltoUpdateWritesACopyMadeFromTheInstalledDatabase)
{
    Folders at;
    write_db(at.installed, {"01A=2025-12-01"});
    velto::LawDatabaseChoice choice;
    std::string error;
    ASSERT_TRUE(velto::prepare_writable_database(at.program.path(), at.user.file("sub/"), choice, error)) << error;
    EXPECT_EQ(choice.path, at.user.file("sub/VT2014.m88"));
    EXPECT_EQ(velto::test::read_file(choice.path), velto::test::read_file(at.installed));

    // A newer copy of the user's is worked on as it is; a portable folder writes its own.
    write_db(at.copy, {"01A=2026-04-01"});
    const std::string newer = velto::test::read_file(at.copy);
    ASSERT_TRUE(velto::prepare_writable_database(at.program.path(), at.user.path(), choice, error)) << error;
    EXPECT_EQ(choice.path, at.copy);
    EXPECT_EQ(velto::test::read_file(at.copy), newer);
    ASSERT_TRUE(velto::prepare_writable_database(at.program.path(), at.program.path(), choice, error));
    EXPECT_EQ(choice.path, at.installed);
}
