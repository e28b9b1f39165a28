// Writing a whole file under a name inside a folder without ever writing
// through what already stands under that name.
//
// The bytes go into a new file of a name of its own, made exclusively
// (O_CREAT|O_EXCL|O_NOFOLLOW) in the folder, which is renamed over the name
// once complete. Whatever stood there — a file, a link planted by someone who
// may write the folder — is replaced as an entry; the target of a link stays
// untouched. A reader of the name finds the old file or the whole new one; a
// failure leaves the name as it was and nothing of the new file behind.
//
// The folder is held open, so the file lands in the folder that was opened
// (and checked) even when its path is renamed or replaced meanwhile.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace velto {

class OpenFolder {
public:
    // Opens the folder `path`. Without `follow_link` a link standing in for
    // the folder itself is refused.
    OpenFolder(const std::string& path, bool follow_link);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    bool is_open() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // What the folder is (owner, mode); valid when open.
    const struct stat& info() const { return info_; }
    // Why it could not be opened; empty when open.
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    struct stat info_ {};
    std::string error_;
};

struct ReplaceOptions {
    // Permissions of the new file (the process's umask applies).
    mode_t mode = 0666;
    // Flushed to the disk before it takes the name, so that a crash leaves
    // the old file or the new one.
    bool flush = false;
};

// Replaces `name` (a plain name, no "/") in `folder` by a file holding
// `bytes`, as described above. Empty when done; else why not.
std::string replace_file(const OpenFolder& folder, std::string_view name, std::string_view bytes,
                         const ReplaceOptions& options = {});

// Makes `name` in `folder` exclusively, holding `bytes`: nothing that stands
// under the name (a file, a link) is opened or replaced. Empty when done;
// else why not ("File exists" when the name is taken).
std::string create_file(const OpenFolder& folder, std::string_view name, std::string_view bytes,
                        const ReplaceOptions& options = {});

} // namespace velto
