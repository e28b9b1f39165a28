// The reader's statements are written in the dialect of its original database
// engine. This unit makes them run on SQLite: it registers LEFT, MID and RIGHT
// (counting characters, not bytes) and rewrites the few constructs SQLite reads
// differently, leaving everything inside literals alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace velto {

// Rewrites a statement for SQLite:
// - LEFT( and RIGHT( as function calls become [LEFT]( and [RIGHT]( (SQLite
//   parses the bare words as join keywords); "LEFT JOIN" stays as it is;
// - "= YES" becomes "<> 0": a yes/no field holds 0 for no and any other
//   value (-1 or 1, depending on who wrote it) for yes.
// With `literals`, every complete '...' literal that stands as a value becomes
// a "?" parameter and its text (quotes undone) is appended to `literals`, in
// order: statements that differ only in their identifiers or search words then
// have one text and compile once.
std::string sql_for_sqlite(std::string_view statement, std::vector<std::string>* literals = nullptr);

// Registers LEFT, MID and RIGHT as deterministic functions on the connection.
// Every connection needs them: the schema's expression indexes use them.
// Returns an SQLite result code.
int register_sql_functions(sqlite3* db);

} // namespace velto
