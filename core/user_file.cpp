#include "core/user_file.h"

#include "core/paths.h"
#include "core/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velto {

namespace {

// Where a write to `path` lands: through the links that belong to the user
// (as the user made them), up to the first entry that is no such link.
std::string write_target(std::string path)
{
    for (int depth = 0; depth < 40; ++depth) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode) || link.st_uid != ::geteuid())
            return path;
        std::string target(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : 4096), '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0)
            return path;
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : folder_of(path) + target;
    }
    return path;
}

std::string folder_or_here(const std::string& path)
{
    const std::string folder = folder_of(path);
    return folder.empty() ? std::string("./") : folder;
}

} // namespace

UserFileRead read_user_file(const std::string& path, std::uintmax_t max_size, std::string& text)
{
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? UserFileRead::Missing : UserFileRead::Unreadable;
    struct stat info {};
    UserFileRead result = UserFileRead::Read;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        result = UserFileRead::Unreadable;
    else if (static_cast<std::uintmax_t>(info.st_size) > max_size)
        result = UserFileRead::TooLarge;
    if (result == UserFileRead::Read) {
        text.resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                result = UserFileRead::Unreadable;
                break;
            }
            if (n == 0)
                break; // shrunk meanwhile: what is there
            got += static_cast<std::size_t>(n);
        }
        text.resize(result == UserFileRead::Read ? got : 0);
    }
    ::close(fd);
    return result;
}

bool write_user_file(const std::string& path, std::string_view bytes)
{
    const std::string target = write_target(path);
    const OpenFolder folder(folder_or_here(target), true);
    ReplaceOptions options;
    options.flush = true;
    struct stat old {};
    if (::fstatat(folder.fd(), file_name_of(target).c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode))
        options.mode = old.st_mode & 07777;
    return replace_file(folder, file_name_of(target), bytes, options).empty();
}

bool create_user_file(const std::string& path, std::string_view bytes)
{
    const OpenFolder folder(folder_or_here(path), true);
    ReplaceOptions options;
    options.flush = true;
    return create_file(folder, file_name_of(path), bytes, options).empty();
}

} // namespace velto
