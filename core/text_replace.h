// Whole-text search and replacement on UTF-8 text.
//
// Matches start only on character boundaries: a needle is never found inside
// a character, also when the text holds invalid bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velto {

// True when a character starts at byte `pos`; the end of the text counts as one.
bool is_char_boundary(std::string_view text, std::size_t pos);

// Position of the first match of `needle` at or after byte `from` that starts on
// a character boundary; npos when there is none (or the needle is empty).
std::size_t find_text(std::string_view text, std::string_view needle, std::size_t from = 0);

// Replaces every match; returns the number of replacements.
std::size_t replace_all(std::string& text, std::string_view needle, std::string_view replacement);

// Inserts `insertion` before (or after) the first match; false when there is none.
bool insert_before_first(std::string& text, std::string_view needle, std::string_view insertion);
bool insert_after_first(std::string& text, std::string_view needle, std::string_view insertion);

// Deletes every run from `start` through the next `end` after it, repeatedly;
// stops when either is missing.
void remove_spans(std::string& text, std::string_view start, std::string_view end);

} // namespace velto
