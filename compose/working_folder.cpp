#include "compose/working_folder.h"

#include "core/paths.h"
#include "core/replace_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace velto {

namespace fs = std::filesystem;

namespace {

// Composed pages are the user's: nobody else reads them.
constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kPageFile = 0600;

// Whether users other than this one may write a folder of this kind.
bool others_may_write(const struct stat& info)
{
    return (info.st_mode & S_IWOTH) != 0 || ((info.st_mode & S_IWGRP) != 0 && info.st_gid != ::getegid());
}

bool owned_by_user(const struct stat& info) { return info.st_uid == ::geteuid(); }

// The folder is the user's alone; `info` describes it.
bool private_folder(const struct stat& info)
{
    return S_ISDIR(info.st_mode) && owned_by_user(info) && !others_may_write(info);
}

// Nobody else can rename or replace entries of the parent folder.
bool safe_parent(const std::string& folder)
{
    std::string parent = folder;
    while (!parent.empty() && parent.back() == '/')
        parent.pop_back();
    parent = folder_of(parent);
    if (parent.empty())
        parent = "./";
    struct stat info {};
    if (::stat(parent.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    const bool owner_trusted = owned_by_user(info) || info.st_uid == 0;
    return owner_trusted && (!others_may_write(info) || (info.st_mode & S_ISVTX) != 0);
}

std::string without_slash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

bool is_page_file_id(std::string_view id)
{
    if (id.size() != 15)
        return false;
    for (const char c : id) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

bool WorkingFolder::create() const
{
    const std::string folder = without_slash(path_);
    std::error_code ec;
    if (const fs::path parent = fs::path(folder).parent_path(); !parent.empty())
        fs::create_directories(parent, ec);
    ::mkdir(folder.c_str(), kPrivateFolder);
    return fs::is_directory(fs::path(folder), ec);
}

bool WorkingFolder::is_private() const
{
    const std::string folder = without_slash(path_);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || !owned_by_user(info))
        return false;
    if (others_may_write(info) && (::chmod(folder.c_str(), kPrivateFolder) != 0 || ::lstat(folder.c_str(), &info) != 0))
        return false;
    return private_folder(info) && safe_parent(path_);
}

bool WorkingFolder::usable() const
{
    if (!create() || !is_private())
        return false;
    const OpenFolder folder(path_, false);
    if (!replace_file(folder, ".velto-probe", "probe").empty())
        return false;
    ::unlinkat(folder.fd(), ".velto-probe", 0);
    return true;
}

void WorkingFolder::empty() const
{
    if (!is_private())
        return;
    std::error_code ec;
    fs::directory_iterator it(fs::path(path_), ec);
    if (ec)
        return;
    for (const fs::directory_entry& entry : it) {
        std::error_code ignored;
        if (!entry.is_directory(ignored))
            fs::remove(entry.path(), ignored);
    }
}

bool WorkingFolder::write_page(std::string_view id, std::string_view html, std::string& file) const
{
    if (!is_page_file_id(id))
        return false;
    file = path_;
    file.append(id).append(".tmp");

    // The folder that was checked is the one written: held open, and checked
    // again through the open descriptor.
    const OpenFolder folder(path_, false);
    if (!folder.is_open() || !private_folder(folder.info()))
        return false;
    std::string text;
    text.reserve(html.size() + html.size() / 32);
    for (std::size_t from = 0; from < html.size();) {
        const std::size_t line_end = html.find('\n', from);
        if (line_end == std::string_view::npos) {
            text.append(html.substr(from));
            break;
        }
        text.append(html.substr(from, line_end - from)).append("\r\n");
        from = line_end + 1;
    }
    ReplaceOptions options;
    options.mode = kPageFile;
    return replace_file(folder, std::string(id) + ".tmp", text, options).empty();
}

} // namespace velto
