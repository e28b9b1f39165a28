// How the reader reaches its database file without ever writing beside it.
//
// Only a regular file is opened: a folder, pipe, device or socket is refused
// before SQLite touches it (opening a pipe would wait forever for a writer).
// A database in write-ahead-log mode is read as an immutable file, so SQLite
// creates no "-shm" or "-wal" file beside it, even in a folder the user may
// write to; one whose "-wal" file still holds changes is refused, because
// reading it without them could show a half-copied state. A database with a
// rollback journal is opened read-only as it is: a read-only connection never
// creates files.
#pragma once

#include <string>

namespace velto {

// What SQLite is to open: a file name or a "file:" URI, and the open flags.
struct DatabaseFile {
    std::string name;
    int flags = 0;
};

// Checks the file at `path` and says how to open it read-only. A path that
// does not exist is passed on, so SQLite reports it as it reports any file it
// cannot open. Throws ComponentError (SQLITE_CANTOPEN, a description naming
// the file and the reason) for a file that is not regular or whose write-ahead
// log holds changes.
DatabaseFile database_file_for_reading(const std::string& path);

// What to tell of a database that a write stopped half-way, leaving a
// "-journal" file that only a writer can roll back.
std::string interrupted_write_description(const std::string& path);

} // namespace velto
