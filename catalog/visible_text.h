// The words of a stored sentence as a reader sees them on its page: the marks
// the database keeps in the text for links and keywords are taken out and the
// character references are decoded. Editions of a law are compared on these
// words, so that a mark one edition has and the other lacks is no change.
//
// Any text may be passed; a mark that is not closed stays as it stands.
#pragma once

#include <string>
#include <string_view>

namespace velto {

// `stored` with "[第20条]" and "[第6条/01B]" shown as 第20条 and 第6条 (as the
// page shows them: "[第十条]" stays),
// "[L words/target L]" as words, "[K words K]" as words, and "&amp;", "&lt;",
// "&gt;", "&quot;", "&apos;", "&#39;", "&nbsp;", "&#NNN;" and "&#xHH;" as
// their characters.
std::string visible_text(std::string_view stored);

// True for a character that only spaces text: ASCII blanks and line ends and
// the full-width blank.
bool is_blank(char32_t c);

} // namespace velto
