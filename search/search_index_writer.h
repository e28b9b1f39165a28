// The pass over a whole law database that writes its full-text search index
// (T_索引, T_索引情報; search/search_index.h reads them). The tools run it
// with their other whole-database passes, on every database they make, after
// the content is complete.
//
// The index holds the text exactly as the search statements see it: the
// pages they may list (displayable pages of displayable laws, in byte order
// of their identifiers), each with its titles (条名) and, when its identifier
// is text, the 検索用データ of the sentences and tables whose identifiers
// begin with it, each text up to its first NUL. Texts that are not plain
// UTF-8 are kept whole beside the postings. Any content can be indexed; a
// failure of the database engine is raised as ComponentError, and the
// caller's transaction then leaves the database as it was.
#pragma once

struct sqlite3;

namespace velto {

// Writes the index of `db` anew. The tables must exist (data/schema.sql).
void write_search_index(sqlite3* db);

} // namespace velto
