// Tables of the law XML (TableStruct, Table) as HTML for T_表.
#pragma once

#include "tools/import/law_text.h"

#include <string>

namespace velto::import {

// A TableStruct (its title, table and remarks) or a bare Table as an HTML
// fragment, with its plain text for the search.
Rich table_fragment(const Node& table, const Trail* trail);

// A complete HTML document around a fragment, as the reader inserts it into a
// page (it adds its own style block before </head>). Cells are written in
// 9.0pt, the size the reader's table font setting rewrites.
std::string table_document(const Rich& body);

} // namespace velto::import
