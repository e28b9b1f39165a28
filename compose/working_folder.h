// The working folder beside the program, where composed pages are written as
// files for the page view to open.
//
// The folder is used only while it is private to the user: a real folder (no
// link), owned by the user and writable by nobody else, in a parent folder
// that nobody else may rename it in (owned by the user or the system, and
// not writable by others unless sticky). A folder of the user's own that
// others could write is made private again; one that another user owns (and
// could fill with links to the user's files) is not used. Page files are
// made exclusively and renamed into place (core/replace_file.h), so a link
// standing under a page's name is replaced, never written through. "Others"
// are every other user, and the members of a group other than the user's own
// when the group may write.
#pragma once

#include <string>
#include <string_view>

namespace velto {

// True when `id` can name a page file: exactly 15 characters of 0-9, A-Z, a-z
// and "-". Anything else (a path separator, "..", a NUL) is refused, so no link
// or database row can make the reader write outside its working folder.
bool is_page_file_id(std::string_view id);

class WorkingFolder {
public:
    WorkingFolder() = default;
    explicit WorkingFolder(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // Creates the folder (private to the user); true when it exists afterwards.
    bool create() const;
    // True when the folder is private to the user as described above; a
    // folder of the user's own that others may write is made private first.
    bool is_private() const;
    // Creates the folder and proves that it is private and that a page file
    // can be written in it (a folder of a read-only installation exists but
    // takes no files).
    bool usable() const;
    // Deletes every file in the folder (not sub-folders) when it is private;
    // failures are ignored.
    void empty() const;

    // Writes a page as path + id + ".tmp" with CR LF line ends. False when the
    // identifier is refused, the folder is not private, or the file cannot be
    // written completely; `file` is set whenever the identifier is accepted.
    bool write_page(std::string_view id, std::string_view html, std::string& file) const;

private:
    std::string path_;
};

} // namespace velto
