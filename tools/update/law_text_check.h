// Whether a fetched law text is the law that was asked for: its LawNum must
// be the law number the service gave for the law id, and the era, year,
// number and kind the Law element carries must agree with the law id
// ("325AC0000000201": 昭和 25, an act, number 201). An attribute the text
// lacks is not held against it; one that disagrees is.
#pragma once

#include "tools/import/importer.h"

#include <string>

namespace velto::update {

bool is_text_of_law(const import::LawDocument& document, const std::string& law_id, const std::string& law_num,
                    std::string& error);

} // namespace velto::update
