#include "tools/import/importer.h"

#include "catalog/law_family.h"
#include "core/database.h"
#include "core/identifiers.h"
#include "core/sjis.h"
#include "tools/dbbuild/db_builder.h"
#include "tools/import/law_text.h"
#include "tools/import/law_tree.h"
#include "tools/import/law_writer.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace velto::import {

namespace {

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
// "325AC0000000201_20251201_507AC0000000035.xml". False, with `error`, when
// the date it gives is none the calendar has.
bool facts_from_file_name(const std::string& path, DocumentFacts& facts, std::string& error)
{
    // A law id has three digits, a letter of its kind and eleven letters or
    // digits ("325AC0000000201", "428M60000c00001"); an edition without a
    // known amendment ends in fifteen zeros.
    static const QRegularExpression form(QStringLiteral(
        "^([0-9]{3}[A-Z][0-9A-Za-z]{11})_([0-9]{4})([0-9]{2})([0-9]{2})_(?:[0-9]{3}[A-Z][0-9A-Za-z]{11}|0{15})(?![0-9A-Za-z])"));
    const QString name = QFileInfo(QString::fromStdString(path)).fileName();
    const QRegularExpressionMatch match = form.match(name);
    if (!match.hasMatch())
        return true;
    if (facts.law_id.empty())
        facts.law_id = match.captured(1).toStdString();
    if (facts.revision_id.empty())
        facts.revision_id = match.captured(0).toStdString();
    const std::string date = (match.captured(2) + "-" + match.captured(3) + "-" + match.captured(4)).toStdString();
    if (!is_real_date(date)) {
        error = "the file name " + name.toStdString() + ": " + match.captured(2).toStdString() +
                match.captured(3).toStdString() + match.captured(4).toStdString() + " is no date";
        return false;
    }
    if (facts.enforced.empty())
        facts.enforced = date;
    return true;
}

// The title of a parsed law; empty when it has none (mapping then fails and says so).
std::string title_of(const Node& root)
{
    const Node* body = root.child("LawBody");
    return body ? plain_of(body->child("LawTitle")) : std::string();
}

} // namespace

bool is_law_id(std::string_view id)
{
    if (id.size() != 3)
        return false;
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    return true;
}

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

bool read_document(std::string_view bytes, const std::string& source, LawDocument& document, std::string& error)
{
    document = LawDocument{};
    document.source = source;
    if (!parse_law_document(bytes, document.root, error, &document.facts) ||
        !facts_from_file_name(source, document.facts, error)) {
        error = source + ": " + error;
        return false;
    }
    document.title = title_of(document.root);
    return true;
}

bool map_document(const LawDocument& document, const MapOptions& options, LawRows& rows, std::string& error)
{
    if (!map_law(document.root, options, rows, error)) {
        error = document.source + ": " + error;
        return false;
    }
    const DocumentFacts& facts = document.facts;
    if (facts.dropped_controls > 0)
        rows.notes.push_back(std::to_string(facts.dropped_controls) +
                             " control characters (other than tab and line feed) left out of the text");
    rows.revision.law_id = facts.law_id;
    rows.revision.revision_id = facts.revision_id;
    rows.revision.enforced = facts.enforced;
    rows.revision.amendment = facts.amendment;
    rows.revision.source = QFileInfo(QString::fromStdString(document.source)).fileName().toStdString();
    return true;
}

bool read_law(std::string_view bytes, const std::string& source, const MapOptions& options, LawRows& rows,
              std::string& error)
{
    LawDocument document;
    return read_document(bytes, source, document, error) && map_document(document, options, rows, error);
}

std::vector<std::pair<std::string, std::string>> family_aliases(const std::string& database, const std::string& law,
                                                                const std::string& title)
{
    LawFamilies families;
    if (QFileInfo(QString::fromStdString(database)).isFile()) {
        try {
            Database db;
            db.open("Data Source=" + database + ";", "admin", "");
            families = read_law_families(db);
        } catch (const ComponentError&) {
            // Not a law database: the write says so.
        }
    }
    families.add_title(law, title, true);
    return families.aliases(law);
}

std::set<std::tuple<int, int, int>> article_keys(const LawRows& rows)
{
    std::set<std::tuple<int, int, int>> keys;
    for (const PageRow& page : rows.pages) {
        IdKind kind;
        int number = 0, branch1 = 0, branch2 = 0;
        if (page.shown && IdentifierRules::_id_kind(page.id_fn, kind) && kind == IdKind::Article &&
            page_suffix_value(page.id_fn) == 0 && IdentifierRules::_parse_article_id(page.id_fn, number, branch1, branch2))
            keys.emplace(number, branch1, branch2);
    }
    return keys;
}

std::map<std::string, std::set<std::tuple<int, int, int>>> database_articles(const std::string& database,
                                                                              const std::vector<std::string>& laws)
{
    std::map<std::string, std::set<std::tuple<int, int, int>>> out;
    if (laws.empty() || !QFileInfo(QString::fromStdString(database)).isFile())
        return out;
    try {
        Database db;
        db.open("Data Source=" + database + ";", "admin", "");
        for (const std::string& law : laws) {
            if (!is_law_id(law))
                continue;
            auto rs = db.execute("SELECT [ID_FN] FROM T_条 WHERE LEFT([ID_FN], 3) = '" + law + "' AND [表示] = YES");
            auto& keys = out[law];
            for (; !rs->eof(); rs->move_next()) {
                const std::string id = rs->text("ID_FN");
                IdKind kind;
                int number = 0, branch1 = 0, branch2 = 0;
                if (IdentifierRules::_id_kind(id, kind) && kind == IdKind::Article && page_suffix_value(id) == 0 &&
                    IdentifierRules::_parse_article_id(id, number, branch1, branch2))
                    keys.emplace(number, branch1, branch2);
            }
            if (keys.empty())
                out.erase(law); // not in the database: nothing known of it
        }
    } catch (const ComponentError&) {
        out.clear();
    }
    return out;
}

bool prepare_law(const ImportOptions& options, LawRows& rows, std::string& error)
{
    std::string bytes;
    if (!read_input_file(options.input, bytes, error))
        return false;
    LawDocument document;
    if (!read_document(bytes, options.input, document, error))
        return false;
    bytes.clear();
    MapOptions map;
    map.law_id = options.law_id;
    map.name_short = options.name_short;
    map.large = options.large;
    map.aliases = options.aliases; // named on the command line: before the derived ones, so they win
    for (auto& alias : family_aliases(options.database, options.law_id, document.title))
        map.aliases.push_back(std::move(alias));
    std::vector<std::string> targets;
    for (const auto& alias : map.aliases)
        targets.push_back(alias.second);
    map.alias_articles = database_articles(options.database, targets);
    return map_document(document, map, rows, error);
}

bool import_law(const ImportOptions& options, ImportSummary& summary, std::string& error)
{
    summary = ImportSummary{};
    if (!check_options(options, error))
        return false;
    LawRows rows;
    if (!prepare_law(options, rows, error))
        return false;
    LawWrite write;
    (options.earlier ? write.earlier : write.current).push_back(&rows);
    write.keep_replaced = options.keep_replaced;
    if (!write_laws(options.database, write, error))
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
