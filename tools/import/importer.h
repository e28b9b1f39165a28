// velto-import: builds the rows of one law in the law database from the
// official law data (the law XML, or the JSON of the law API).
#pragma once

#include "tools/import/law_mapper.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velto::import {

struct ImportOptions {
    std::string database;                  // --db
    std::string input;                     // the law file
    std::string law_id;                    // --law-id, the law's ID_HN
    std::optional<std::string> name_short; // --name-short
    int large = 60;                        // --large
    std::vector<std::pair<std::string, std::string>> aliases; // --refer ALIAS=HHH
};

struct ImportSummary {
    std::string law_name;
    int headings = 0;
    int articles = 0;
    int supplement_pages = 0;
    int table_pages = 0;
    int sentences = 0;
    int tables = 0;
    std::vector<std::string> notes; // parts of the input left out
};

// Checks the options that do not depend on the input; false with a message.
bool check_options(const ImportOptions& options, std::string& error);

// Parses and maps the input bytes; `source` names the input in messages.
bool read_law(std::string_view bytes, const std::string& source, const MapOptions& options, LawRows& rows,
              std::string& error);

// The whole import: read, map, write. On failure the database is unchanged
// and `error` names the place of the fault (the input file and the element,
// or the database file).
bool import_law(const ImportOptions& options, ImportSummary& summary, std::string& error);

} // namespace velto::import
