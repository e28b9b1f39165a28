// Text for a terminal: what the command-line tools print (titles, sentences,
// messages that quote their input) never reaches the terminal as a control.
// An escape sequence in a law's text could otherwise retitle the terminal,
// move its cursor or rewrite what was printed before.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace velto {

// `text` without control characters: C0 controls other than tab and line
// feed, DEL and C1 controls are left out; a byte that is not UTF-8 becomes
// U+FFFD. Everything else stays as it is.
std::string terminal_text(std::string_view text);

// Writes terminal_text(text) to `out`; false when the write failed.
bool print_text(std::FILE* out, std::string_view text);

} // namespace velto
