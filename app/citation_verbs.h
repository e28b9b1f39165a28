// The citation links of the law text on the command line: `--links ID|LAW`
// prints the links of a page or of every page of a law, `--unresolved LAW`
// the citations left plain with their reasons (citations/citation_links.h).
// Only reads; a page or law the reader does not show is a message on
// standard error and exit status 1.
#pragma once

#include <string>

namespace velto {

class CVeltoDoc;

// One line per link: the citing sentence, tab, the link's words, tab, the
// target page, tab, the anchor (empty for a whole article, table or law).
int print_citation_links(CVeltoDoc& doc, const std::string& subject);
// One line per citation left plain: the citing sentence, tab, its words, tab, the reason.
int print_unresolved_citations(CVeltoDoc& doc, const std::string& subject);

} // namespace velto
