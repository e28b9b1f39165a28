// The working folder beside the program, where composed pages are written as
// files for the page view to open.
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

    // Creates the folder; true when it exists afterwards.
    bool create() const;
    // Creates the folder and proves a page file can be written in it (a
    // folder of a read-only installation exists but takes no files).
    bool usable() const;
    // Deletes every file in the folder (not sub-folders); failures are ignored.
    void empty() const;

    // Writes a page as path + id + ".tmp" with CR LF line ends. False when the
    // identifier is refused or the file cannot be written completely; `file` is
    // set whenever the identifier is accepted.
    bool write_page(std::string_view id, std::string_view html, std::string& file) const;

private:
    std::string path_;
};

} // namespace velto
