// Small formatting helpers shared by the page composers: escaping, colours,
// numbers and the fixed parts of every page's head. Numbers and colours are
// written without printf (a page writes thousands of them); each writer gives
// exactly the text its printf pattern, named beside it, would give, for any
// value.
#pragma once

#include "core/text_format.h"
#include "settings/settings.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace velto {

// Text as HTML that shows it as text.
inline std::string html_escape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// Appends "RRGGBB" of a colour reference (red in the low byte, the high byte ignored).
inline void append_colour_hex(std::string& out, std::int32_t colour)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    const auto bits = static_cast<std::uint32_t>(colour);
    const char text[6] = {kDigits[(bits >> 4) & 0xF],  kDigits[bits & 0xF],         kDigits[(bits >> 12) & 0xF],
                          kDigits[(bits >> 8) & 0xF],  kDigits[(bits >> 20) & 0xF], kDigits[(bits >> 16) & 0xF]};
    out.append(text, sizeof text);
}

// "RRGGBB" of a colour reference (red in the low byte).
inline std::string colour_hex(std::int32_t colour)
{
    std::string out;
    append_colour_hex(out, colour);
    return out;
}

// Appends a whole number as "%d" writes it.
inline void append_number(std::string& out, long long value)
{
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, static_cast<std::size_t>(end - text));
}

// Appends a number with one decimal, as "%0.1f" writes it (rounded the same way).
inline void append_decimal1(std::string& out, double value)
{
    char text[352]; // the longest double in fixed notation
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    out.append(text, static_cast<std::size_t>(result.ptr - text));
}

// The style block of links that opens pages and inserted tables.
inline std::string link_style_block(std::int32_t link, std::int32_t active)
{
    std::string s = "<style type=\"text/css\">\n<!--\nA { text-decoration: none; }\nA:link { color: #";
    append_colour_hex(s, link);
    s += "}\nA:active { color: #";
    append_colour_hex(s, active);
    s += "}\nA:hover { color: #";
    append_colour_hex(s, active);
    s += "}\n-->\n</style>\n";
    return s;
}

// The anchor where the page view inserts pictures.
inline std::string insert_point_anchor()
{
    return "\n\n<!--↓イメージ等の動的挿入用アンカー-------->\n<a name=\"insert_point\"></a>\n\n";
}

// The head of every composed page up to and including the body tag and the
// anchor for insertions: link colours, font, background and text colour.
inline std::string page_head(const DisplaySettings& d)
{
    std::string head = "<html>\n<head>\n";
    head += link_style_block(d[DisplaySettings::FontColorLink], d[DisplaySettings::FontColorLinkActive]);
    head += "<script language=\"VBScript\">\n<!--\nSub Dummy()\nEnd Sub\n//-->\n</script>\n";
    head += "<script language=\"JavaScript\">\n<!--\nfunction Dummy()\n{\n}\n//-->\n</script>\n";
    head += "</head>\n";
    head += "<body id=\"oBody\" style=\"font-family: 'ＭＳ Ｐゴシック'; font-size: ";
    append_number(head, d[DisplaySettings::FontSizeBasic]);
    head += "pt\" bgcolor=\"#";
    append_colour_hex(head, d[DisplaySettings::BackColor]);
    head += "\" text=\"#";
    append_colour_hex(head, d[DisplaySettings::FontColorBasic]);
    head += "\" >\n";
    head += insert_point_anchor();
    return head;
}

} // namespace velto
