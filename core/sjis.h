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
// Inline: the markup walks every sentence character by character.
inline Utf8Char utf8_decode_at(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t need = 0;
    char32_t code = 0;
    char32_t min = 0;
    if ((lead & 0xE0) == 0xC0) {
        need = 1; code = lead & 0x1F; min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        need = 2; code = lead & 0x0F; min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        need = 3; code = lead & 0x07; min = 0x10000;
    } else {
        return {0xFFFD, 1};
    }
    if (pos + need >= text.size())
        return {0xFFFD, 1};
    for (std::size_t i = 1; i <= need; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if ((c & 0xC0) != 0x80)
            return {0xFFFD, 1};
        code = (code << 6) | (c & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {0xFFFD, 1};
    return {code, need + 1};
}

// The character that ends just before byte `pos` of `text`: 0 at the start
// (or past the end), U+FFFD when the bytes before `pos` are no whole character.
char32_t utf8_char_before(std::string_view text, std::size_t pos);

// True when every byte of `text` belongs to a well-formed UTF-8 character.
bool is_valid_utf8(std::string_view text);

// True when `text` is well-formed Shift_JIS: single bytes (ASCII, half-width
// katakana) and pairs of a lead byte 0x81-0x9F or 0xE0-0xFC and a trail byte
// 0x40-0x7E or 0x80-0xFC.
bool is_valid_shift_jis(std::string_view text);

// Appends the UTF-8 form of `code` to `out`.
void utf8_append(std::string& out, char32_t code);

// Number of characters in `text`.
std::size_t utf8_length(std::string_view text);

// Byte offset of character number `index` (clamped to the end of the text).
std::size_t utf8_offset(std::string_view text, std::size_t index);

// Substring by character positions (0-based start, count characters).
std::string_view utf8_substr(std::string_view text, std::size_t start, std::size_t count);

// Shift-JIS width of one character: 1 for ASCII and half-width katakana, 2 otherwise.
inline int sjis_char_width(char32_t code) { return code < 0x80 || (code >= 0xFF61 && code <= 0xFF9F) ? 1 : 2; }

// Shift-JIS width of the whole text.
std::size_t sjis_width(std::string_view text);

// Whether the Shift-JIS width of the text is below `limit`; reads no more of
// the text than the first `limit` characters.
bool sjis_width_below(std::string_view text, std::size_t limit);

// Number of single-byte (half-width) characters in the text.
std::size_t sjis_halfwidth_count(std::string_view text);

// The longest leading part of `text` whose Shift-JIS width is at most `max_width`.
std::string_view sjis_prefix(std::string_view text, std::size_t max_width);

// `text` as it is when it fits in `max_width`; otherwise its longest fitting
// leading part followed by " ... ".
std::string sjis_shortened(std::string_view text, std::size_t max_width);

} // namespace velto
