// Earlier editions of a law in the law database, kept for comparisons of two
// editions: T_旧版 (which edition: the facts T_版 holds of the current one),
// T_旧条, T_旧文 and T_旧表 (its pages, sentences and tables, under the same
// identifiers as the current edition), all keyed by the revision id (版ID).
// The current edition stays in T_版, T_条, T_文 and T_表; the reader's tree,
// lists and search read only those.
//
// Both entry points work inside the caller's transaction on an open database
// that has the schema, and throw WriteError naming the law and what is wrong;
// the caller then leaves the file as it was (law_writer.h).
#pragma once

#include "tools/import/law_mapper.h"

#include <sqlite3.h>

#include <string>

namespace velto::import {

// Writes the facts of an edition (RevisionRow) of law `law` as a row of
// `table`, T_版 (the current edition) or T_旧版 (an earlier one).
void insert_revision_row(sqlite3* db, const char* table, const std::string& law, const RevisionRow& revision);

// Stores `rows`, mapped like a current text (law_mapper.h), as an earlier
// edition of law rows.law.id; an edition stored before under the same 版ID is
// replaced. Refused when the edition has no revision id, when it is the law's
// current edition, or when its law ID (法令ID) is not the law's.
void store_earlier_edition(sqlite3* db, const LawRows& rows);

// Keeps the current edition of `law` as an earlier edition before a newer text
// replaces it (the updater calls this through the importer's keep_replaced).
// False, and nothing done, when the law has no current edition or when
// `replacing_revision` is that very edition (the same text imported again).
// Refused when the current edition has no revision id to keep it under.
bool keep_current_edition(sqlite3* db, const std::string& law, const std::string& replacing_revision);

} // namespace velto::import
