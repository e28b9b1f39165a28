// Small formatting helpers shared by the page composers.
#pragma once

#include "core/text_format.h"
#include "settings/settings.h"

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

// "RRGGBB" of a colour reference (red in the low byte).
inline std::string colour_hex(std::int32_t colour)
{
    return format("%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// The style block of links that opens pages and inserted tables.
inline std::string link_style_block(std::int32_t link, std::int32_t active)
{
    std::string s = "<style type=\"text/css\">\n<!--\n";
    s += format("A { text-decoration: %s; }\n", "none");
    s += format("A:link { color: #%s}\n", colour_hex(link).c_str());
    s += format("A:active { color: #%s}\n", colour_hex(active).c_str());
    s += format("A:hover { color: #%s}\n", colour_hex(active).c_str());
    s += "-->\n</style>\n";
    return s;
}

// The anchor where the page view inserts pictures.
inline std::string insert_point_anchor()
{
    return format("\n\n<!--↓イメージ等の動的挿入用アンカー-------->\n<a name=\"%s\"></a>\n\n", "insert_point");
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
    head += format("<body id=\"oBody\" style=\"font-family: 'ＭＳ Ｐゴシック'; font-size: %dpt\" bgcolor=\"#%s\" text=\"#%s\" >\n",
                   d[DisplaySettings::FontSizeBasic], colour_hex(d[DisplaySettings::BackColor]).c_str(),
                   colour_hex(d[DisplaySettings::FontColorBasic]).c_str());
    head += insert_point_anchor();
    return head;
}

} // namespace velto
