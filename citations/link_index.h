// Which sentences link to which article: the reverse of the links that the
// link markers of stored text become ("[第6条/01A]", "[L告示/02K-KD121400L]",
// compose/markup.h).
//
// The links of a text are found by marking it up as a page does, so a link
// here is exactly a link the reader sees, with the anchor id it has in the
// page. One entry is kept per sentence and article linked to: the first link
// of the sentence's text, else the first of its table.
//
// The tools write the index into the table T_引 of every database they make
// (write_link_index); the reader reads it from there, or, for a database
// without the table, builds it in memory (citations/cited_by.h). Failures of
// the database engine are raised as ComponentError.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace velto {

class Database;

// One sentence's link to an article.
struct SentenceLink {
    std::string target;   // the 12-character identifier the link leads to
    std::string sentence; // ID_BN of the sentence that holds the link
    std::string anchor;   // id of the link in the page; empty for a link without one
    bool in_table = false; // the link stands in the sentence's table
};

// The links of one stored text of the sentence `id_bn`, first link per
// target, in the order they stand. `table` for the text of the sentence's
// table (its anchors end in "-t01" ...). Any text may be passed.
std::vector<SentenceLink> links_of_text(std::string_view id_bn, std::string_view stored, bool table);

// Every link of the database: of the sentences' texts, then of their tables
// (of the tables the pages show), one per sentence and target, by sentence.
// `sink` returning false stops the scan. Throws ComponentError.
void scan_sentence_links(sqlite3* db, const std::function<bool(SentenceLink&&)>& sink);

// Fills the table T_引 of `db` anew from its sentences. The table must exist
// (the schema creates it). Throws ComponentError.
void write_link_index(sqlite3* db);

// True when the database holds the table T_引. Throws ComponentError.
bool has_link_index(Database& db);

// The stored text the links of sentence `id_bn` stand in: its own text, or
// with `table` its table's rows joined in order. Throws ComponentError.
std::string stored_link_text(Database& db, std::string_view id_bn, bool table);

} // namespace velto
