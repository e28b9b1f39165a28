// velto-import: builds the rows of one law in the law database from the
// official law data (the law XML, or the JSON of the law API); a whole
// collection of laws at once is in collection.h.
#pragma once

#include "tools/import/law_mapper.h"
#include "tools/import/law_tree.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
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
    // --earlier: the input is an earlier edition of the law, stored beside its
    // current text (edition_store.h); the current text stays as it is.
    bool earlier = false;
    // --keep-replaced: the law's current edition is kept as an earlier edition
    // before the input replaces it.
    bool keep_replaced = false;
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

// A law file parsed, before it is mapped: its tree, the facts of its edition
// (from the law API answer or the e-Gov file name) and its title.
struct LawDocument {
    Node root;
    DocumentFacts facts;
    std::string source; // the file, as messages name it
    std::string title;  // LawTitle
};

// Checks the options that do not depend on the input; false with a message.
bool check_options(const ImportOptions& options, std::string& error);
// True for a three-character ID_HN of letters and digits.
bool is_law_id(std::string_view id);

// Parses the input bytes; `source` names the input in messages and may tell
// the edition by its e-Gov name.
bool read_document(std::string_view bytes, const std::string& source, LawDocument& document, std::string& error);
// Maps a parsed law, with the facts of its edition in rows.revision.
bool map_document(const LawDocument& document, const MapOptions& options, LawRows& rows, std::string& error);
// read_document and map_document.
bool read_law(std::string_view bytes, const std::string& source, const MapOptions& options, LawRows& rows,
              std::string& error);

// The words an order or rule names its act and order by ("法", "令"), with the
// laws of the database at `database` they mean (catalog/law_family.h), for a
// law `law` titled `title`; none when the database cannot be read.
std::vector<std::pair<std::string, std::string>> family_aliases(const std::string& database, const std::string& law,
                                                                const std::string& title);

// The articles a law's rows give pages to (shown article pages).
std::set<std::tuple<int, int, int>> article_keys(const LawRows& rows);
// The articles of `laws` in the database at `database` (none for a law it
// lacks, or when it cannot be read).
std::map<std::string, std::set<std::tuple<int, int, int>>> database_articles(const std::string& database,
                                                                              const std::vector<std::string>& laws);

// Reads and maps the input of `options` as import_law does, without writing:
// for a caller that writes several laws at once (law_writer.h).
bool prepare_law(const ImportOptions& options, LawRows& rows, std::string& error);

// The whole import: read, map, write. 法 and 令 in the text of an order or
// rule refer to its act and order where the database holds them; --refer
// names more, or other, laws. On failure the database is unchanged and `error`
// names the place of the fault (the input file and the element, or the
// database file).
bool import_law(const ImportOptions& options, ImportSummary& summary, std::string& error);

} // namespace velto::import
