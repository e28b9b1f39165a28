#include "core/sjis.h"

namespace velto {

namespace {
bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// An invalid byte stands for itself: one single-byte character.
int width_of(const Utf8Char& c) { return c.bytes == 1 && c.code == 0xFFFD ? 1 : sjis_char_width(c.code); }
} // namespace

Utf8Char utf8_decode_at(std::string_view text, std::size_t pos)
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
        if (!is_continuation(c))
            return {0xFFFD, 1};
        code = (code << 6) | (c & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {0xFFFD, 1};
    return {code, need + 1};
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

int sjis_char_width(char32_t code)
{
    if (code < 0x80)
        return 1;
    if (code >= 0xFF61 && code <= 0xFF9F)
        return 1;
    return 2;
}

std::size_t sjis_width(std::string_view text)
{
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode_at(text, pos);
        width += static_cast<std::size_t>(width_of(c));
        pos += c.bytes;
    }
    return width;
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
        const Utf8Char c = utf8_decode_at(text, pos);
        const int w = width_of(c);
        if (width + static_cast<std::size_t>(w) > max_width)
            break;
        width += static_cast<std::size_t>(w);
        pos += c.bytes;
    }
    return text.substr(0, pos);
}

std::string sjis_shortened(std::string_view text, std::size_t max_width)
{
    if (sjis_width(text) <= max_width)
        return std::string(text);
    return std::string(sjis_prefix(text, max_width)) + " ... ";
}

} // namespace velto
