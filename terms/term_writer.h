// The pass over a whole law database that writes its defined terms (T_用語):
// every definition the laws' sentences make (definition_finder.h), with the
// range of sentences it holds for (term_scope.h). The tools run it with their
// other whole-database passes, on every database they make, after the content
// is complete; term_book.h reads the table.
//
// Any content can be read; a failure of the database engine is raised as
// ComponentError, and the caller's transaction then leaves the database as it
// was.
#pragma once

struct sqlite3;

namespace velto {

// Writes T_用語 of `db` anew. The tables must exist (data/schema.sql).
void write_defined_terms(sqlite3* db);

} // namespace velto
