#include "core/replace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

namespace velto {

namespace {

bool plain_name(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

// Why nothing can be written as `name` in `folder`; empty when it can be tried.
std::string refusal(const OpenFolder& folder, std::string_view name)
{
    if (!folder.is_open())
        return folder.error().empty() ? "the folder is not open" : folder.error();
    if (!plain_name(name))
        return "not a file name";
    return {};
}

// Writes all of `bytes` to `fd`; false (errno set) when it could not.
bool write_all(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Creates `name` exclusively and writes `bytes` into it; 0 when done, else
// the error number. A file that could not be completed is removed again.
int write_new(int folder, const std::string& name, std::string_view bytes, const ReplaceOptions& options)
{
    const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                            options.mode);
    if (fd < 0)
        return errno;
    int error = write_all(fd, bytes) && (!options.flush || ::fsync(fd) == 0) ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlinkat(folder, name.c_str(), 0);
    return error;
}

// A name for the new file beside `name` that nobody can have guessed.
std::string temporary_name(std::string_view name)
{
    static std::atomic<unsigned> serial{0};
    static const unsigned seed = std::random_device{}();
    std::mt19937 mix(seed + serial.fetch_add(1) * 7919u + static_cast<unsigned>(::getpid()));
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string out = ".";
    out.append(name.substr(0, 100));
    out += '.';
    for (int i = 0; i < 10; ++i)
        out += kDigits[mix() % 36];
    return out;
}

} // namespace

OpenFolder::OpenFolder(const std::string& path, bool follow_link)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow_link ? 0 : O_NOFOLLOW));
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return;
    }
    if (::fstat(fd_, &info_) != 0) {
        error_ = std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
    }
}

OpenFolder::~OpenFolder()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::string replace_file(const OpenFolder& folder, std::string_view name, std::string_view bytes,
                         const ReplaceOptions& options)
{
    if (std::string refused = refusal(folder, name); !refused.empty())
        return refused;
    const std::string target(name);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string part = temporary_name(name);
        const int error = write_new(folder.fd(), part, bytes, options);
        if (error == EEXIST)
            continue; // taken by chance or by someone else: another name
        if (error != 0)
            return std::strerror(error);
        if (::renameat(folder.fd(), part.c_str(), folder.fd(), target.c_str()) != 0) {
            const int rename_error = errno;
            ::unlinkat(folder.fd(), part.c_str(), 0);
            return std::strerror(rename_error);
        }
        if (options.flush)
            ::fsync(folder.fd()); // the rename itself
        return {};
    }
    return std::strerror(EEXIST);
}

std::string create_file(const OpenFolder& folder, std::string_view name, std::string_view bytes,
                        const ReplaceOptions& options)
{
    if (std::string refused = refusal(folder, name); !refused.empty())
        return refused;
    const int error = write_new(folder.fd(), std::string(name), bytes, options);
    if (error != 0)
        return std::strerror(error);
    if (options.flush)
        ::fsync(folder.fd());
    return {};
}

} // namespace velto
