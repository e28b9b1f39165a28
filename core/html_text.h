// The words a reader sees where a page shows a piece of HTML (stored names,
// titles, sentences): for lists, tree items, captions, tooltips and excerpts,
// which show text, never markup. Also the internal links such HTML holds.
//
// Reading is linear and never fails: tags of any depth are dropped, never
// nested, and any bytes give some text (invalid UTF-8 as U+FFFD). Turning
// stored link markers into links is the composition's (citations/readable_text.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velto {

// A link of marked-up text.
struct MarkedLink {
    std::string anchor; // its id; empty when it has none
    std::string target; // the identifier of its address ("http://" target "_VELTO")
};

// The internal links of HTML text, in the order they stand.
std::vector<MarkedLink> marked_links(std::string_view html);

// HTML text as words: tags dropped (with the content of comments, styles,
// scripts and titles), the common character references decoded, control
// characters dropped, runs of blanks as one blank, trimmed. A "<" that opens
// no tag (before a digit, a blank, another "<") is text, as in a page. `reference` is where the visible text of the
// link whose id is `anchor` stands in `text`; npos when there is no such link.
struct ReadableText {
    std::string text;
    std::size_t reference_begin = std::string::npos;
    std::size_t reference_end = std::string::npos;
};
ReadableText readable_text(std::string_view html, std::string_view anchor = {});

// The character the reference ("&amp;", "&#91;", "&#x5B;") at `at` of
// `html` stands for, and the reference's length; {0, 0} when none begins
// there. Looks at no more than the next 11 bytes.
std::pair<char32_t, std::size_t> character_reference(std::string_view html, std::size_t at);

// The words of stored text as a widget or the command line shows them: a
// name stored as "A &amp; B" reads "A & B", "<b>X</b>" reads "X".
std::string shown_text(std::string_view html);

} // namespace velto
