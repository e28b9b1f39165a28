// A database file replaced as a whole: the new content is written into a file
// beside the old one and renamed over it when complete. Readers (a running
// reader keeps its file open) see the old file or the new one, never a file
// in the middle of a change; a tool killed at any moment leaves the old file
// as it was, and only a stale side file, which the next run takes over.
//
// The side file is locked while it is written, so two tools writing the same
// database at once do not lose each other's work: the second one is refused.
#pragma once

#include <string>

struct sqlite3;

namespace velto {

class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement(); // removes the side file unless commit() succeeded
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Takes the side file `target` + `suffix`, empty and locked. Fails when
    // `target` exists and is not a regular file, or another process holds the
    // side file.
    bool begin(const std::string& target, const std::string& suffix, std::string& error);

    // The file to write the new content into.
    const std::string& side_path() const { return side_; }

    // Flushes the side file to disk, gives it the old file's permissions and
    // renames it over the target; the journal files of the old file go. Every
    // connection to the side file must be closed before.
    bool commit(std::string& error);

private:
    void discard();

    std::string target_;
    std::string side_;
    int lock_ = -1;
    bool committed_ = false;
};

// Copies the database `source` into the empty database of `destination` with
// SQLite's backup, reading `source` without ever writing it. The copy uses a
// rollback journal even when the source was in WAL mode, so that a reader
// never has to create files beside it.
bool copy_database(const std::string& source, sqlite3* destination, std::string& error);

} // namespace velto
