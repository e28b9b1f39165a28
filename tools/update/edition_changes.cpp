#include "tools/update/edition_changes.h"

#include "core/identifiers.h"
#include "tools/import/sql_writer.h"

#include <sqlite3.h>

#include <map>

namespace velto::update {

namespace {

using import::Statement;
using import::WriteError;

// The text without its white space: a space, tab or line break, and the
// full-width space that joins columns.
std::string without_blanks(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        if (text.compare(i, 3, "\xE3\x80\x80") == 0) {
            i += 2;
            continue;
        }
        out += c;
    }
    return out;
}

// The article ("01A-00060200") of a page of the main provision; empty for other pages.
std::string article_of(const std::string& id_fn)
{
    IdKind kind;
    if (id_fn.size() < 12 || !IdentifierRules::_id_kind(id_fn, kind) || kind != IdKind::Article)
        return {};
    return id_fn.substr(0, 12);
}

// Each article of one edition with what decides whether it changed: its
// caption, then its sentences in order.
using Articles = std::map<std::string, std::string>;

void read_edition(sqlite3* db, const char* pages_sql, const char* sentences_sql, const std::string& law,
                  const std::string& revision, Articles& articles)
{
    const std::string from = law + "-", to = law + ".";
    Statement pages(db, pages_sql);
    pages.text(1, from).text(2, to).text(3, revision);
    while (pages.row())
        if (const std::string article = article_of(pages.column_text(0)); !article.empty())
            articles[article] += without_blanks(pages.column_text(1)) + "\n";
    Statement sentences(db, sentences_sql);
    sentences.text(1, from).text(2, to).text(3, revision);
    while (sentences.row()) {
        const std::string id = sentences.column_text(0);
        if (const auto it = articles.find(id.substr(0, 12)); it != articles.end())
            it->second += id.substr(12) + "\t" + without_blanks(sentences.column_text(1)) + "\n";
    }
}

} // namespace

bool count_article_changes(const std::string& database, const std::string& law, const std::string& earlier_revision,
                           EditionChanges& changes, std::string& error)
{
    changes = EditionChanges{};
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = database + ": " + (db ? sqlite3_errmsg(db) : "cannot open the file");
        sqlite3_close_v2(db);
        return false;
    }
    Articles earlier, current;
    try {
        read_edition(db, "SELECT ID_FN, 条名 FROM T_旧条 WHERE ID_FN >= ?1 AND ID_FN < ?2 AND 版ID = ?3",
                     "SELECT ID_BN, 法文 FROM T_旧文 WHERE ID_BN >= ?1 AND ID_BN < ?2 AND 版ID = ?3 ORDER BY ID_BN",
                     law, earlier_revision, earlier);
        // ?3 is bound but unused for the current text: the statements keep one form.
        read_edition(db, "SELECT ID_FN, 条名 FROM T_条 WHERE ID_FN >= ?1 AND ID_FN < ?2 AND ?3 IS NOT NULL",
                     "SELECT ID_BN, 法文 FROM T_文 WHERE ID_BN >= ?1 AND ID_BN < ?2 AND ?3 IS NOT NULL ORDER BY ID_BN",
                     law, earlier_revision, current);
    } catch (const WriteError& e) {
        error = database + ": " + e.message;
        sqlite3_close_v2(db);
        return false;
    }
    sqlite3_close_v2(db);
    if (earlier.empty()) {
        error = database + ": law " + law + " keeps no articles of the edition " + earlier_revision;
        return false;
    }
    for (const auto& [article, text] : current) {
        const auto it = earlier.find(article);
        if (it == earlier.end())
            ++changes.added;
        else if (it->second != text)
            ++changes.changed;
    }
    for (const auto& entry : earlier)
        if (!current.count(entry.first))
            ++changes.deleted;
    return true;
}

} // namespace velto::update
