#include "tools/import/importer.h"

#include "tools/dbbuild/db_builder.h"
#include "tools/import/law_tree.h"
#include "tools/import/law_writer.h"

namespace velto::import {

namespace {

bool is_law_id(std::string_view id)
{
    if (id.size() != 3)
        return false;
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    return true;
}

} // namespace

bool check_options(const ImportOptions& options, std::string& error)
{
    if (options.database.empty()) {
        error = "no database file (--db FILE)";
        return false;
    }
    if (options.input.empty()) {
        error = "no input file";
        return false;
    }
    if (!is_law_id(options.law_id)) {
        error = "--law-id \"" + options.law_id + "\": a law identifier is three letters or digits, such as 01A";
        return false;
    }
    if (options.law_id == "00A") {
        error = "--law-id 00A holds the reader's own pages";
        return false;
    }
    if (options.large < 0) {
        error = "--large must not be negative";
        return false;
    }
    for (const auto& [alias, law] : options.aliases) {
        if (alias.empty() || !is_law_id(law)) {
            error = "--refer \"" + alias + "=" + law + "\": write ALIAS=HHH, with a three-character law identifier";
            return false;
        }
    }
    return true;
}

bool read_law(std::string_view bytes, const std::string& source, const MapOptions& options, LawRows& rows,
              std::string& error)
{
    Node root;
    if (!parse_law_document(bytes, root, error) || !map_law(root, options, rows, error)) {
        error = source + ": " + error;
        return false;
    }
    return true;
}

bool import_law(const ImportOptions& options, ImportSummary& summary, std::string& error)
{
    summary = ImportSummary{};
    if (!check_options(options, error))
        return false;
    std::string bytes;
    if (!read_text_file(options.input, bytes)) {
        error = options.input + ": cannot read the file";
        return false;
    }
    MapOptions map;
    map.law_id = options.law_id;
    map.name_short = options.name_short;
    map.large = options.large;
    map.aliases = options.aliases;
    LawRows rows;
    if (!read_law(bytes, options.input, map, rows, error))
        return false;
    if (!write_law(options.database, rows, error))
        return false;
    summary.law_name = rows.law.name;
    summary.headings = static_cast<int>(rows.headings.size());
    summary.articles = rows.articles;
    summary.supplement_pages = rows.supplement_pages;
    summary.table_pages = rows.table_pages;
    summary.sentences = static_cast<int>(rows.sentences.size());
    summary.tables = static_cast<int>(rows.tables.size());
    summary.notes = rows.notes;
    return true;
}

} // namespace velto::import
