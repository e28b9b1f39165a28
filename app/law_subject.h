// The law a command-line subject names: its code ("01A") or one of the names
// the catalogue keeps for it (title, short name, official name). A title can
// be as long as a page identifier ("建築基準法" is fifteen bytes), so callers
// that take pages too ask `is_page_id` first. Empty when no law is named.
#pragma once

#include <string>

namespace velto {

class CVeltoDoc;

std::string law_named(const CVeltoDoc& doc, const std::string& subject);

// An identifier of a page ("01B-01120000-00"), by its shape.
bool is_page_id(const std::string& subject);

} // namespace velto
