// What the reader may do with one of the user's own files (bookmarks,
// pinpoint choices) after reading it, so that no run ever loses a file the
// reader did not understand. The rule depends on what was read, not on where
// the file lives:
//   - a file that is there but was not read (not a regular file, no
//     permission, over its size limit) is never written in this run;
//   - a file that was read but is not in the format (no "VERSION" line, bytes
//     that are no text, such as UTF-16 or NULs) is written only once the user
//     changed what the reader holds, and only after the file as read has been
//     kept beside it as NAME.bad (NAME.bad2 ... NAME.bad9 when that name is
//     taken by another file): the new file never replaces the only copy;
//   - any other file, and a missing one, is written as core/user_file.h writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velto {

// True when `text` is in the format of the reader's files: empty, or a
// "VERSION" line (after a UTF-8 byte-order mark) and text that is UTF-8 or
// Shift_JIS with no control characters but tab, CR and LF.
bool in_user_file_format(std::string_view text);

class GuardedUserFile {
public:
    enum class State {
        Missing, // nothing there yet
        Read,    // read, in the format
        Foreign, // read, not in the format
        NotRead, // there, but not read: never written
    };

    explicit GuardedUserFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    State state() const { return state_; }

    // Reads the file into `text` (empty unless Read or Foreign).
    State load(std::uintmax_t max_size, std::string& text);

    // Writes `bytes` as the file unless the rule above forbids it; `changed`
    // tells whether the user changed what the file gave. False when nothing
    // was written: forbidden, or the write or keeping the old file failed
    // (the file is then as it was).
    bool write(std::string_view bytes, bool changed);
    // True when a write is forbidden for good (the file was not read).
    bool refused() const { return state_ == State::NotRead; }

    // The name the foreign file was kept under; empty until it was.
    const std::string& kept_as() const { return kept_as_; }
    // The name a foreign file will be kept under first.
    std::string keep_name() const { return path_ + ".bad"; }

private:
    bool keep_aside();

    std::string path_;
    State state_ = State::Missing;
    std::string foreign_text_; // the foreign file as read, until it is kept
    std::string kept_as_;
};

} // namespace velto
