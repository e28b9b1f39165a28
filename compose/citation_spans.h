// The citations of a page's sentences as links: the rows T_引用 holds for
// them (which bytes of a stored sentence cite which page and provision)
// become links around exactly those bytes, so the words stay the law's own.
//
// Written by the link pass of the tools (citations/citation_links.h); the
// page only reads. A database made before the table existed, a row whose span
// lies outside its sentence, across another row or inside a marker or tag,
// or whose target is no identifier, gives no link: the text stays as stored.
// Anchor ids are OWNER-to-TARGET12-p01 (p02 … for the same target again in
// the sentence), the form the pinpoint files key links by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velto {

class Database;

struct CitationSpan {
    std::size_t start = 0;  // byte of the stored sentence
    std::size_t length = 0;
    std::string page;       // the 15-character page linked to
    std::string anchor;     // ID_BN of the provision's first sentence; empty for the whole page
};

// The address of a citation link: the provision's sentence when it names
// one, else the 12-character article, table or supplement it opens.
std::string citation_link_target(const CitationSpan& span);

// The provision a sentence begins (its paragraph, item, sub-item or
// sub-sub-item): the identifier prefix its sentences share. Empty for a text
// of another length than a sentence identifier.
std::string provision_scope(std::string_view sentence);

// `stored` with each span wrapped in a link; spans in order of start.
std::string mark_citation_spans(std::string_view owner, std::string_view stored,
                                const std::vector<CitationSpan>& spans);

// The linked citations of the sentences of one page, read once per page.
class CitationSpanCache {
public:
    // The spans of sentence `id_bn`; reads the rows of its page when another
    // page was read last. Throws ComponentError.
    const std::vector<CitationSpan>& spans_of(Database& db, std::string_view id_bn);
    // The next call reads the rows again (a new page build). Whether the
    // database has the table is asked once per cache: another database takes a new cache.
    void clear();

private:
    std::string page_;
    bool loaded_ = false;
    int has_table_ = -1; // unknown
    std::vector<std::pair<std::string, std::vector<CitationSpan>>> rows_; // by sentence, in order
    std::vector<CitationSpan> none_;
};

} // namespace velto
