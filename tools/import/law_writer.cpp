#include "tools/import/law_writer.h"

#include "citations/citation_links.h"
#include "citations/link_index.h"
#include "search/search_index_writer.h"
#include "terms/term_writer.h"
#include "core/report.h"
#include "core/sql_dialect.h"
#include "tools/dbbuild/db_builder.h"
#include "tools/dbbuild/file_replacement.h"
#include "tools/import/edition_store.h"
#include "tools/import/sql_writer.h"

#include <sqlite3.h>

#include <sys/stat.h>

namespace velto::import {

namespace {

void require_schema(sqlite3* db)
{
    for (const char* table : {"T_法", "T_章", "T_条", "T_文", "T_表", "T_参", "T_他", "T_告"}) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?1", -1, &raw,
                               nullptr) != SQLITE_OK)
            throw WriteError{sqlite3_errmsg(db)};
        sqlite3_bind_text(raw, 1, table, -1, SQLITE_STATIC);
        const bool found = sqlite3_step(raw) == SQLITE_ROW && sqlite3_column_int(raw, 0) > 0;
        sqlite3_finalize(raw);
        if (!found)
            throw WriteError{std::string("not a law database (there is no table ") + table + ")"};
    }
}

void replace_rows(sqlite3* db, const LawRows& rows)
{
    const std::string& law = rows.law.id;
    const std::string from = law + "-", to = law + ".";
    Statement(db, "DELETE FROM T_法 WHERE ID_HN = ?1").text(1, law).run("T_法");
    static const char* const kDeletes[][2] = {
        {"T_章", "DELETE FROM T_章 WHERE ID_SN >= ?1 AND ID_SN < ?2"},
        {"T_条", "DELETE FROM T_条 WHERE ID_FN >= ?1 AND ID_FN < ?2"},
        {"T_文", "DELETE FROM T_文 WHERE ID_BN >= ?1 AND ID_BN < ?2"},
        {"T_表", "DELETE FROM T_表 WHERE ID_BN >= ?1 AND ID_BN < ?2"},
        {"T_参", "DELETE FROM T_参 WHERE ID_BN >= ?1 AND ID_BN < ?2"},
        {"T_他", "DELETE FROM T_他 WHERE ID_FN >= ?1 AND ID_FN < ?2"},
        {"T_告", "DELETE FROM T_告 WHERE ID_FN >= ?1 AND ID_FN < ?2"},
    };
    for (const auto& [table, sql] : kDeletes)
        Statement(db, sql).text(1, from).text(2, to).run(table);

    Statement(db, "INSERT INTO T_法 (ID_HN, 法名一般, 法名略式, 法名正式, 表示) VALUES (?1, ?2, ?3, ?4, -1)")
        .text(1, law)
        .text(2, rows.law.name)
        .text(3, rows.law.name_short)
        .text(4, rows.law.name_full)
        .run("T_法 " + law);

    Statement(db, "DELETE FROM T_版 WHERE ID_HN = ?1").text(1, law).run("T_版");
    insert_revision_row(db, "T_版", law, rows.revision);

    Statement heading(db, "INSERT INTO T_章 (ID_SN, 章名, 節名, 款名, 目名, 告示) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    for (const HeadingRow& row : rows.headings) {
        heading.text(1, row.id_sn);
        for (int level = 0; level < 4; ++level) {
            if (row.names[level].empty())
                heading.null(2 + level);
            else
                heading.text(2 + level, row.names[level]);
        }
        heading.number(6, row.labelled ? 1 : 0).run("T_章 " + row.id_sn);
    }

    Statement page(db, "INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (const PageRow& row : rows.pages)
        page.text(1, row.id_fn)
            .text(2, row.id_sn)
            .text(3, row.caption)
            .text(4, row.supplement)
            .number(5, row.split)
            .number(6, row.large ? 1 : 0)
            .number(7, row.shown ? -1 : 0)
            .run("T_条 " + row.id_fn);

    Statement sentence(db, "INSERT INTO T_文 (ID_BN, 法文, 書式コード, 表式, 札抜, 参照, 図入, 検索用データ) "
                           "VALUES (?1, ?2, ?3, ?4, 0, 0, 0, ?5)");
    for (const SentenceRow& row : rows.sentences)
        sentence.text(1, row.id_bn)
            .text(2, row.text)
            .text(3, row.style)
            .number(4, row.table ? 1 : 0)
            .text(5, row.search)
            .run("T_文 " + row.id_bn);

    Statement table(db, "INSERT INTO T_表 (ID_BN, 順序, 表式データ, 検索用データ) VALUES (?1, ?2, ?3, ?4)");
    for (const TableRow& row : rows.tables)
        table.text(1, row.id_bn).number(2, row.order).text(3, row.html).text(4, row.search).run("T_表 " + row.id_bn);
}

// The full-text search index, for the text as it now stands.
void index_search(sqlite3* db)
{
    try {
        write_search_index(db);
    } catch (const ComponentError& e) {
        throw WriteError{"search index: " + e.description.value_or(e.meaning)};
    }
}

// The laws' definitions, as their text now stands.
void index_terms(sqlite3* db)
{
    try {
        write_defined_terms(db);
    } catch (const ComponentError& e) {
        throw WriteError{"defined terms: " + e.description.value_or(e.meaning)};
    }
}

bool write_into(const std::string& file, const std::string& base, const LawWrite& write, std::string& error)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "cannot open the file";
        sqlite3_close_v2(db);
        return false;
    }
    try {
        if (register_sql_functions(db) != SQLITE_OK)
            throw WriteError{"cannot register the SQL functions"};
        // The file is moved into place only after it is complete and on disk.
        exec(db, "PRAGMA synchronous = OFF");
        if (!base.empty()) {
            std::string message;
            if (!copy_database(base, db, message))
                throw WriteError{message};
            require_schema(db);
        }
        exec(db, "BEGIN");
        exec(db, std::string(law_schema_sql()).c_str());
        for (const LawRows* rows : write.current) {
            if (write.keep_replaced)
                keep_current_edition(db, rows->law.id, rows->revision.revision_id);
            replace_rows(db, *rows);
        }
        for (const LawRows* rows : write.earlier) {
            Statement known(db, "SELECT 1 FROM T_法 WHERE ID_HN = ?1");
            known.text(1, rows->law.id);
            if (!known.row())
                throw WriteError{"law " + rows->law.id + " is not in the database: import its current text before "
                                 "an earlier edition"};
            store_earlier_edition(db, *rows);
        }
        // Links of other laws may lead into these, and their own links changed.
        write_citation_links(db);
        write_link_index(db);
        index_search(db);
        index_terms(db);
        exec(db, "COMMIT");
    } catch (const ComponentError& e) {
        error = "link index: " + e.description.value_or(e.meaning);
        sqlite3_close_v2(db);
        return false;
    } catch (const WriteError& e) {
        error = e.message;
        sqlite3_close_v2(db);
        return false;
    }
    if (sqlite3_close(db) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        sqlite3_close_v2(db);
        return false;
    }
    return true;
}

} // namespace

bool write_laws(const std::string& path, const LawWrite& write, std::string& error)
{
    FileReplacement replacement;
    if (!replacement.begin(path, ".importing", error)) {
        error = path + ": " + error;
        return false;
    }
    struct stat status {};
    const std::string base = ::stat(path.c_str(), &status) == 0 ? path : std::string();
    if (!write_into(replacement.side_path(), base, write, error)) {
        error = path + ": " + error;
        return false;
    }
    return replacement.commit(error);
}

bool write_law(const std::string& path, const LawRows& rows, std::string& error)
{
    return write_laws(path, LawWrite{{&rows}, {}, false}, error);
}

} // namespace velto::import
