// The link pass: every citation of every sentence of the imported law text,
// found (citations/citation_finder.h), resolved to the page and the first
// sentence of the provision it names, and written into T_引用, linked or
// with the reason it is left plain.
//
// The tools run it whenever they write law text (velto-import, velto-update,
// velto-dbbuild), before the link index (citations/link_index.h), which then
// lists the citations among the links. The pages only read the rows
// (compose/citation_spans.h). Only laws with an imported edition (T_版) are
// read: hand-made pages keep their stored link marks. Supplementary
// provisions are left as they are: they cite the numbers of their own day. A citation is linked
// only to a page and a sentence the database holds; everything else stays
// plain, with its reason. Failures of the database engine are raised as
// ComponentError, and the caller's transaction is then rolled back.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

namespace velto {

class Database;

struct CitationFigures {
    std::size_t citations = 0;
    std::size_t links = 0;
    // The relative citations (前条, 同項 …) of the article pages of each law:
    // how many there are and how many were linked.
    std::map<std::string, std::pair<std::size_t, std::size_t>> relative;
};

// Fills T_引用 anew from the sentences of the imported laws. The table must
// exist (the schema creates it). Throws ComponentError.
CitationFigures write_citation_links(sqlite3* db);

// One row of T_引用 as the command line prints it.
struct CitationRow {
    std::string sentence;
    std::string text;   // the citation as the law writes it
    std::string page;   // empty when left plain
    std::string anchor; // empty for a whole page
    std::string reason; // empty for a link
};

// The rows of the sentences whose identifier begins with `prefix` (a page, or
// a law's "HHH-"), by sentence and place; `links` the linked ones, else the
// plain ones. Empty for a database without the table. Throws ComponentError.
std::vector<CitationRow> citation_rows(Database& db, const std::string& prefix, bool links);

} // namespace velto
