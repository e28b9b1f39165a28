#include "core/user_folders.h"

#include "core/paths.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace velto {

namespace fs = std::filesystem;

namespace {

bool regular_file(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// Copies `source` to `target` unless `target` exists, never replacing it:
// the copy is made under a name of its own and linked into place, which
// fails when something of that name appeared meanwhile.
bool copy_without_overwriting(const std::string& source, const std::string& target)
{
    const std::string part = target + ".carrying";
    std::error_code ec;
    if (!fs::copy_file(source, part, fs::copy_options::overwrite_existing, ec))
        return false;
    const bool linked = ::link(part.c_str(), target.c_str()) == 0;
    fs::remove(part, ec);
    return linked;
}

// `folder` without "." and ".." and with links resolved where it exists.
std::string canonical_folder(const std::string& folder)
{
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(folder, ec);
    return with_trailing_slash(ec ? folder : canonical.string());
}

} // namespace

ProgramFolder program_folder_of(const std::string& executable_dir, const std::string& named)
{
    const std::string own = with_trailing_slash(executable_dir);
    const std::string share = canonical_folder(own + std::string(kInstalledProgramFolder));
    const bool installation = regular_file(share + std::string(kLawDatabaseFile));
    if (!named.empty())
        return {with_trailing_slash(named), installation && canonical_folder(named) == share};
    if (regular_file(own + std::string(kLawDatabaseFile)) || !installation)
        return {own, false};
    return {share, true};
}

bool folder_takes_files(const std::string& folder)
{
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec))
        return false;
    std::string probe = with_trailing_slash(folder) + ".velto-probe-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::string user_folder_for(const ProgramFolder& program, const std::string& user_data_dir)
{
    if (user_data_dir.empty() || (!program.installed && folder_takes_files(program.path)))
        return with_trailing_slash(program.path);
    return with_trailing_slash(user_data_dir);
}

std::vector<std::string> carry_over_user_files(const std::string& program_dir, const std::string& user_dir)
{
    std::vector<std::string> carried;
    const std::string from = with_trailing_slash(program_dir), to = with_trailing_slash(user_dir);
    if (to.empty() || to == from)
        return carried;
    std::error_code ec;
    fs::create_directories(to, ec);
    for (std::string_view name : kCarriedUserFiles) {
        const std::string source = from + std::string(name), target = to + std::string(name);
        if (regular_file(source) && !fs::exists(fs::symlink_status(target, ec)) &&
            copy_without_overwriting(source, target))
            carried.emplace_back(name);
    }
    return carried;
}

} // namespace velto
