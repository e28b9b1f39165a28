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

// The database velto-update works on: `db` (--db) when given, else the
// program folder's VT2014.m88, `program_dir` (--program-dir) or, without
// it, `executable_dir`, the folder velto-update was started from.
std::string law_database_path(const std::string& db, const std::string& program_dir, const std::string& executable_dir);

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
