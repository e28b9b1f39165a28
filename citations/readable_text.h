// Stored text as the reader reads it: its link markers as the links of the
// page, and the words without tags, for lists and excerpts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

// The stored text of the sentence `id_bn` (or, with `table`, of its table)
// with its link markers turned into links as its page has them: the same
// anchor ids, the same targets.
std::string marked_links_html(std::string_view id_bn, std::string_view stored, bool table);

// A link of marked-up text.
struct MarkedLink {
    std::string anchor; // its id; empty when it has none
    std::string target; // the identifier of its address ("http://" target "_VELTO")
};

// The internal links of HTML text, in the order they stand.
std::vector<MarkedLink> marked_links(std::string_view html);

// HTML text as words: tags dropped (with the content of comments, styles,
// scripts and titles), the common character references decoded, runs of
// blanks as one blank, trimmed. `reference` is where the visible text of the
// link whose id is `anchor` stands in `text`; npos when there is no such link.
struct ReadableText {
    std::string text;
    std::size_t reference_begin = std::string::npos;
    std::size_t reference_end = std::string::npos;
};
ReadableText readable_text(std::string_view html, std::string_view anchor = {});

} // namespace velto
