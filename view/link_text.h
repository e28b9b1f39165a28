// Internal links of composed pages, and the status-bar text of a link under
// the mouse pointer.
//
// Page builders write internal links as "http://" + an identifier (the 12
// characters that name an article, or a whole 15-character page identifier)
// + the marker "_VELTO". The browser may hand them back in another letter
// case and with a trailing "/"; decoding accepts that.
#pragma once

#include <string>
#include <string_view>

namespace velto {

class CVeltoDoc;

// The address the page's script reports for a marked use of a defined term:
// this, then the defining sentence (page_script.js writes it).
inline constexpr char kTermHref[] = "velto-term:";

struct InternalLink {
    bool internal = false; // the address carries the marker
    std::string id;        // the page it leads to; empty when the address names none
};

// Decodes an address: upper case; trailing "/" and then trailing marker
// characters stripped; a last segment of 12 characters names page "-00" of
// that article, one of 15 characters the page itself, and one of 35
// characters the sentence a provision begins with (the page is its first 15).
InternalLink decode_internal_url(std::string_view url);

// What the status bar shows for an internal link to `id`: the law and the
// article, table or notification, the page of a split article and the article
// name (cut to 180 Shift-JIS bytes). Empty when the page cannot be described.
std::string link_description(const CVeltoDoc& doc, std::string_view id);

// The status-bar text for the text the browser reports (the address under the
// pointer): fixed texts for the support site and the design pages, the link
// description for internal links, and nothing for anything else.
std::string status_text_for_url(const CVeltoDoc& doc, std::string_view text);

} // namespace velto
