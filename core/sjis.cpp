#include "core/sjis.h"

#include <cstdint>
#include <cstring>

namespace velto {

namespace {
bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// An invalid byte stands for itself: one single-byte character.
int width_of(const Utf8Char& c) { return c.bytes == 1 && c.code == 0xFFFD ? 1 : sjis_char_width(c.code); }
} // namespace

bool is_valid_utf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode_at(text, pos);
        if (c.code == 0xFFFD && c.bytes == 1) // an invalid byte; U+FFFD itself takes three
            return false;
        pos += c.bytes;
    }
    return true;
}

bool is_valid_shift_jis(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF))
            continue;
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || ++pos >= text.size())
            return false;
        const auto trail = static_cast<unsigned char>(text[pos]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
            return false;
    }
    return true;
}

void utf8_append(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::size_t utf8_length(std::string_view text)
{
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += utf8_decode_at(text, pos).bytes)
        ++n;
    return n;
}

std::size_t utf8_offset(std::string_view text, std::size_t index)
{
    std::size_t pos = 0;
    for (; index > 0 && pos < text.size(); --index)
        pos += utf8_decode_at(text, pos).bytes;
    return pos;
}

std::string_view utf8_substr(std::string_view text, std::size_t start, std::size_t count)
{
    const std::size_t from = utf8_offset(text, start);
    const std::string_view rest = text.substr(from);
    return rest.substr(0, utf8_offset(rest, count));
}

namespace {

// The width of the character at `pos` and its length in bytes. ASCII and
// well-formed three-byte characters (nearly all of Japanese text) are read
// here; everything else goes through the full decoder, with the same result.
inline std::size_t next_width(std::string_view text, std::size_t& pos)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char lead = p[pos];
    if (lead < 0x80) {
        ++pos;
        return 1;
    }
    if ((lead & 0xF0) == 0xE0 && pos + 2 < text.size() && is_continuation(p[pos + 1]) && is_continuation(p[pos + 2])) {
        const char32_t code = (char32_t(lead & 0x0F) << 12) | (char32_t(p[pos + 1] & 0x3F) << 6) | (p[pos + 2] & 0x3F);
        if (code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) {
            pos += 3;
            return static_cast<std::size_t>(sjis_char_width(code));
        }
    }
    const Utf8Char c = utf8_decode_at(text, pos);
    pos += c.bytes;
    return static_cast<std::size_t>(width_of(c));
}

} // namespace

std::size_t sjis_width(std::string_view text)
{
    // Runs of ASCII (the tags of tables, most of an identifier) are counted
    // eight bytes at a time.
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (pos + 8 <= text.size()) {
            std::uint64_t block;
            std::memcpy(&block, text.data() + pos, sizeof block);
            if ((block & kHighBits) == 0) {
                width += 8;
                pos += 8;
                continue;
            }
        }
        width += next_width(text, pos);
    }
    return width;
}

bool sjis_width_below(std::string_view text, std::size_t limit)
{
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        width += next_width(text, pos);
        if (width >= limit)
            return false;
    }
    return width < limit;
}

std::size_t sjis_halfwidth_count(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode_at(text, pos);
        if (width_of(c) == 1)
            ++count;
        pos += c.bytes;
    }
    return count;
}

std::string_view sjis_prefix(std::string_view text, std::size_t max_width)
{
    std::size_t width = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t next = pos;
        const std::size_t w = next_width(text, next);
        if (width + w > max_width)
            break;
        width += w;
        pos = next;
    }
    return text.substr(0, pos);
}

std::string sjis_shortened(std::string_view text, std::size_t max_width)
{
    if (sjis_width(text) <= max_width)
        return std::string(text);
    return std::string(sjis_prefix(text, max_width)) + " ... ";
}

char32_t utf8_char_before(std::string_view text, std::size_t pos)
{
    if (pos == 0 || pos > text.size())
        return 0;
    std::size_t start = pos - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80 && pos - start < 4)
        --start;
    const Utf8Char c = utf8_decode_at(text, start);
    return start + c.bytes == pos ? c.code : 0xFFFD;
}

} // namespace velto
