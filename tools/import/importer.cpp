#include "tools/import/importer.h"

#include "core/sjis.h"
#include "tools/dbbuild/db_builder.h"
#include "tools/import/law_tree.h"
#include "tools/import/law_writer.h"

#include <QFileInfo>
#include <QRegularExpression>

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

// An alias is a word of law text ("法", "規則"): a few characters, none of them
// a blank, a control character, a bracket, a quote or "=".
bool is_sane_alias(std::string_view alias)
{
    static constexpr std::u32string_view kRefused = U"[](){}<>'\"=&/\\|`　（）［］｛｝〔〕【】「」『』〈〉《》＜＞＝＂＇";
    int characters = 0;
    for (std::size_t pos = 0; pos < alias.size(); ++characters) {
        const Utf8Char c = utf8_decode_at(alias, pos);
        if ((c.code == 0xFFFD && c.bytes == 1) || c.code <= 0x20 || c.code == 0x7F ||
            kRefused.find(c.code) != std::u32string_view::npos)
            return false;
        pos += c.bytes;
    }
    return characters >= 1 && characters <= 10;
}

// The e-Gov name of a law file tells the law and its revision:
// "325AC0000000201_20251201_507AC0000000035.xml".
void facts_from_file_name(const std::string& path, DocumentFacts& facts)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{3}[A-Z]{2}[0-9A-Z]{10})_([0-9]{4})([0-9]{2})([0-9]{2})_[0-9]{3}[A-Z]{2}[0-9A-Z]{10}"));
    const QString name = QFileInfo(QString::fromStdString(path)).fileName();
    const QRegularExpressionMatch match = form.match(name);
    if (!match.hasMatch())
        return;
    if (facts.law_id.empty())
        facts.law_id = match.captured(1).toStdString();
    if (facts.revision_id.empty())
        facts.revision_id = match.captured(0).toStdString();
    if (facts.enforced.empty())
        facts.enforced = (match.captured(2) + "-" + match.captured(3) + "-" + match.captured(4)).toStdString();
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
        if (!is_sane_alias(alias) || !is_law_id(law)) {
            error = "--refer \"" + alias + "=" + law +
                    "\": write ALIAS=HHH, a word of one to ten characters without blanks, brackets, quotes or \"=\" "
                    "and a three-character law identifier";
            return false;
        }
    }
    return true;
}

bool read_law(std::string_view bytes, const std::string& source, const MapOptions& options, LawRows& rows,
              std::string& error)
{
    Node root;
    DocumentFacts facts;
    if (!parse_law_document(bytes, root, error, &facts) || !map_law(root, options, rows, error)) {
        error = source + ": " + error;
        return false;
    }
    facts_from_file_name(source, facts);
    rows.revision.law_id = facts.law_id;
    rows.revision.revision_id = facts.revision_id;
    rows.revision.enforced = facts.enforced;
    rows.revision.amendment = facts.amendment;
    rows.revision.source = QFileInfo(QString::fromStdString(source)).fileName().toStdString();
    return true;
}

bool import_law(const ImportOptions& options, ImportSummary& summary, std::string& error)
{
    summary = ImportSummary{};
    if (!check_options(options, error))
        return false;
    std::string bytes;
    if (!read_input_file(options.input, bytes, error))
        return false;
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
