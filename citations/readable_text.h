// Stored text as the reader reads it: its link markers as the links of the
// page. The words of such HTML (tags dropped, references decoded) are
// core/html_text.h.
#pragma once

#include "core/html_text.h"

#include <string>
#include <string_view>

namespace velto {

class Database;

// The stored text of the sentence `id_bn` (or, with `table`, of its table)
// with its link markers turned into links as its page has them: the same
// anchor ids, the same targets.
std::string marked_links_html(std::string_view id_bn, std::string_view stored, bool table);

// The same for the sentence `id_bn` as stored in `db`, its citation links
// (compose/citation_spans.h) included. Throws ComponentError.
std::string marked_links_html(Database& db, std::string_view id_bn, bool table);

} // namespace velto
