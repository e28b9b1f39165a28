// Text measurement in Shift-JIS terms over UTF-8 text.
//
// Stored law text is UTF-8, but length limits, cuts and column counts of the
// reader are defined in Shift-JIS bytes: a character is 1 byte when it is
// ASCII or half-width katakana, 2 bytes otherwise. Everything here walks whole
// characters and never splits one. Invalid UTF-8 bytes are taken one at a time
// as single-byte characters, so malformed input is measured, never overrun.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velto {

struct Utf8Char {
    char32_t code = 0;     // U+FFFD for an invalid byte
    std::size_t bytes = 0; // UTF-8 length of the character (1 for an invalid byte)
};

// Decodes the character that starts at byte `pos` of `text` (pos < size).
Utf8Char utf8_decode_at(std::string_view text, std::size_t pos);

// Appends the UTF-8 form of `code` to `out`.
void utf8_append(std::string& out, char32_t code);

// Number of characters in `text`.
std::size_t utf8_length(std::string_view text);

// Byte offset of character number `index` (clamped to the end of the text).
std::size_t utf8_offset(std::string_view text, std::size_t index);

// Substring by character positions (0-based start, count characters).
std::string_view utf8_substr(std::string_view text, std::size_t start, std::size_t count);

// Shift-JIS width of one character: 1 for ASCII and half-width katakana, 2 otherwise.
int sjis_char_width(char32_t code);

// Shift-JIS width of the whole text.
std::size_t sjis_width(std::string_view text);

// Number of single-byte (half-width) characters in the text.
std::size_t sjis_halfwidth_count(std::string_view text);

// The longest leading part of `text` whose Shift-JIS width is at most `max_width`.
std::string_view sjis_prefix(std::string_view text, std::size_t max_width);

// `text` as it is when it fits in `max_width`; otherwise its longest fitting
// leading part followed by " ... ".
std::string sjis_shortened(std::string_view text, std::size_t max_width);

} // namespace velto
