// The content policy of every page the reader shows or writes out for a
// browser: no script, no frames, no plugins, no forms, no base address;
// nothing loaded but pictures, styles and fonts of the page's own origin, or
// inline.
//
// The policy travels inside the page as a <meta> element placed before
// anything the page holds: no comment, doctype or tag of the page can be read
// before it, so none of its content can come into force first. (Only a UTF-8
// byte-order mark stays in front, where it is no content.)
//
// A frame with a srcdoc attribute would be a page of its own that no
// navigation check sees; the attribute is renamed wherever it stands, so no
// such frame is ever made.
#pragma once

#include <string>
#include <string_view>

namespace velto {

inline constexpr char kPageContentPolicy[] = "default-src 'none'; img-src 'self' data:; style-src 'self' "
                                             "'unsafe-inline'; font-src 'self' data:; base-uri 'none'; "
                                             "form-action 'none'";

// The <meta> element that carries kPageContentPolicy, with its line feed.
std::string content_policy_meta();

// `html` with content_policy_meta() at its very start, and every "srcdoc" (in
// any case) written "data-refused-srcdoc".
std::string with_content_policy(std::string_view html);

} // namespace velto
