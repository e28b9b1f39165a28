// Kanji numerals as law text writes them, both ways: "百八" is 108, and 108
// is written "百八". Numbers in citations and references come in this form.
#pragma once

#include <string>
#include <string_view>

namespace velto {

// A character of a kanji numeral: 〇 一 ... 九, 十 百 千.
bool is_kanji_numeral(char32_t c);

// Where the run of kanji numeral characters that starts at byte `pos` of a
// UTF-8 text ends (`pos` itself when there is none).
std::size_t kanji_numeral_end(std::string_view text, std::size_t pos);

// Value of a kanji numeral: "二十" 20, "百八" 108, "千二十" 1020, also the
// positional form "二〇". -1 for an empty or malformed numeral (any other
// character, a unit twice or out of order: "十十", "二二十").
int kanji_number(std::string_view numeral);

// The kanji numeral of 1 to 9999 as law text writes it ("百五十一", "千二十");
// any other value in decimal digits.
std::string kanji_numeral_text(int n);

} // namespace velto
