// Which law database the reader opens and velto-update writes: the one of the
// program folder, or the user's copy beside the user's files
// (core/user_folders.h) when velto-update has made one for an installation.
//
// The user's copy wins unless it is older than the installed database, judged
// by the editions each holds (T_版), not by file times: a package upgrade that
// brings a newer law text sets an older copy aside once (renamed, never
// deleted) and the installed database is used. Any file, damaged or not a law
// database, leads to a choice, never a crash.
#pragma once

#include <string>

namespace velto {

struct LawDatabaseChoice {
    std::string path;   // the database to open
    std::string notice; // set once, when an older user copy was set aside
};

// The database for the program folder `program_dir` and the user folder
// `user_dir` (the same folder for a portable copy: its own database). An
// older user copy is set aside only when `set_aside` (a reader that only
// reads, such as the command line, leaves it and opens the installed one).
LawDatabaseChoice choose_law_database(const std::string& program_dir, const std::string& user_dir,
                                      bool set_aside = true);

// True when the installed database holds a law that `user_copy` lacks or
// holds in an earlier edition (施行日), or when `user_copy` cannot be read as
// a law database. A database without editions is older than none.
bool user_copy_is_older(const std::string& user_copy, const std::string& installed);

// The database velto-update writes, in `choice`: for a portable copy the
// program folder's, else the user's copy, first made from the installed
// database when it is missing or older (an older one set aside as
// choose_law_database does). False, with `error`, when the copy cannot be made.
bool prepare_writable_database(const std::string& program_dir, const std::string& user_dir, LawDatabaseChoice& choice,
                               std::string& error);

} // namespace velto
