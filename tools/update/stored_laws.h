// What velto-update needs to know of a law database before it asks the law
// API anything: the database file to work on (chosen in one place), the laws
// whose edition it holds with their e-Gov law id, the codes in use and the
// titles of the laws (for the family of a law added).
//
// Reads only; a file that is not a law database is a message, never a crash.
#pragma once

#include "catalog/law_family.h"

#include <set>
#include <string>
#include <vector>

namespace velto::update {

// The database velto-update works on, in `path`: `db` (--db) when given,
// else the law database of `program_dir` (--program-dir) or, without it, of
// the program folder of `executable_dir` (a build folder, or the share folder
// of an installation), with the user's files in `user_data_dir`
// (core/user_folders.h): an installation's is the user's copy, made from the
// installed database when `writing` (catalog/law_database_choice.h).
// `notice` tells of an older user copy set aside; false with `error` when
// the user's copy cannot be made.
bool law_database_path(const std::string& db, const std::string& program_dir, const std::string& executable_dir,
                       const std::string& user_data_dir, bool writing, std::string& path, std::string& notice,
                       std::string& error);

// A law whose edition the database holds (T_版) with an e-Gov law id.
struct StoredLaw {
    std::string code;       // ID_HN
    std::string title;      // 題名, plain text
    std::string law_id;     // 法令ID
    std::string revision;   // 版ID
    std::string enforced;   // 施行日, "YYYY-MM-DD"; empty when unknown
    std::string name_short; // 法名略式 as stored (HTML text)
};

struct StoredCollection {
    std::vector<StoredLaw> laws; // in code order
    std::set<std::string> codes; // every ID_HN of T_法
    LawFamilies families;
};

bool read_stored_collection(const std::string& database, StoredCollection& out, std::string& error);

} // namespace velto::update
