#include "catalog/law_database_choice.h"

#include "core/database.h"
#include "core/paths.h"
#include "core/report.h"
#include "core/user_folders.h"

#include <filesystem>
#include <map>

namespace velto {

namespace fs = std::filesystem;

namespace {

// The 施行日 of the edition each law holds; false when the file is no law
// database that can be read.
bool read_enforced_dates(const std::string& path, std::map<std::string, std::string>& dates)
{
    try {
        Database db;
        db.open("Data Source=" + path + ";", "admin", "");
        if (!db.has_table("T_法"))
            return false;
        if (!db.has_table("T_版"))
            return true;
        for (auto rs = db.execute("SELECT ID_HN, 施行日 FROM T_版"); !rs->eof(); rs->move_next())
            dates[rs->text("ID_HN")] = rs->text("施行日");
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool exists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

} // namespace

bool user_copy_is_older(const std::string& user_copy, const std::string& installed)
{
    std::map<std::string, std::string> mine, shipped;
    if (!read_enforced_dates(user_copy, mine))
        return true;
    if (!read_enforced_dates(installed, shipped))
        return false; // nothing to compare with: the user's copy is what there is
    for (const auto& [code, enforced] : shipped) {
        const auto it = mine.find(code);
        if (it == mine.end() || it->second < enforced)
            return true;
    }
    return false;
}

LawDatabaseChoice choose_law_database(const std::string& program_dir, const std::string& user_dir, bool set_aside)
{
    const std::string installed = with_trailing_slash(program_dir) + std::string(kLawDatabaseFile);
    LawDatabaseChoice choice{installed, {}};
    if (user_dir.empty() || with_trailing_slash(user_dir) == with_trailing_slash(program_dir))
        return choice;
    const std::string copy = with_trailing_slash(user_dir) + std::string(kLawDatabaseFile);
    if (!exists(copy))
        return choice;
    if (!user_copy_is_older(copy, installed)) {
        choice.path = copy;
        return choice;
    }
    if (!set_aside)
        return choice;
    const std::string aside = copy + ".old";
    std::error_code ec;
    fs::rename(copy, aside, ec);
    if (ec)
        choice.notice = "更新された法令データ（" + copy + "）はインストールされた法令データより古いため、" +
                        "インストールされた法令データを使います。";
    else
        choice.notice = "インストールされた法令データの方が新しいため、これを使います。以前に更新した法令データは " +
                        aside + " に残しました。";
    return choice;
}

bool prepare_writable_database(const std::string& program_dir, const std::string& user_dir, LawDatabaseChoice& choice,
                               std::string& error)
{
    choice = choose_law_database(program_dir, user_dir);
    const std::string installed = with_trailing_slash(program_dir) + std::string(kLawDatabaseFile);
    if (choice.path != installed || user_dir.empty() || with_trailing_slash(user_dir) == with_trailing_slash(program_dir))
        return true;
    // Copied beside its place and renamed into it, so that a reader never
    // finds half a database.
    const std::string copy = with_trailing_slash(user_dir) + std::string(kLawDatabaseFile);
    const std::string part = copy + ".copying";
    std::error_code ec;
    fs::create_directories(with_trailing_slash(user_dir), ec);
    if (!fs::copy_file(installed, part, fs::copy_options::overwrite_existing, ec)) {
        error = installed + " を " + copy + " へ複製できません: " + ec.message();
        return false;
    }
    fs::permissions(part, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    fs::rename(part, copy, ec);
    if (ec) {
        error = copy + " を書けません: " + ec.message();
        fs::remove(part, ec);
        return false;
    }
    choice.path = copy;
    return true;
}

} // namespace velto
