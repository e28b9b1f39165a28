#include "tools/import/edition_store.h"

#include "tools/import/sql_writer.h"

namespace velto::import {

namespace {

// The current edition's facts of `law` in T_版; false when it has none.
bool current_facts(sqlite3* db, const std::string& law, std::string& revision, std::string& law_id)
{
    Statement query(db, "SELECT 版ID, 法令ID FROM T_版 WHERE ID_HN = ?1");
    query.text(1, law);
    if (!query.row())
        return false;
    revision = query.column_text(0);
    law_id = query.column_text(1);
    return true;
}

void delete_edition(sqlite3* db, const std::string& revision)
{
    for (const char* sql : {"DELETE FROM T_旧版 WHERE 版ID = ?1", "DELETE FROM T_旧条 WHERE 版ID = ?1",
                            "DELETE FROM T_旧文 WHERE 版ID = ?1", "DELETE FROM T_旧表 WHERE 版ID = ?1"})
        Statement(db, sql).text(1, revision).run("earlier edition " + revision);
}

} // namespace

void insert_revision_row(sqlite3* db, const char* table, const std::string& law, const RevisionRow& r)
{
    const std::string sql = std::string("INSERT INTO ") + table +
                            " (ID_HN, 題名, 法令番号, 法令ID, 版ID, 施行日, 改正法令番号, 出典) "
                            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
    Statement(db, sql.c_str())
        .text(1, law)
        .text(2, r.title)
        .text(3, r.law_number)
        .text(4, r.law_id)
        .text(5, r.revision_id)
        .text(6, r.enforced)
        .text(7, r.amendment)
        .text(8, r.source)
        .run(std::string(table) + " " + law);
}

void store_earlier_edition(sqlite3* db, const LawRows& rows)
{
    const std::string& law = rows.law.id;
    const RevisionRow& r = rows.revision;
    if (r.revision_id.empty())
        throw WriteError{"law " + law + " (" + r.source + "): an earlier edition needs its revision id (版ID), "
                         "which neither the file nor its name tells"};
    std::string current, law_id;
    if (current_facts(db, law, current, law_id)) {
        if (current == r.revision_id)
            throw WriteError{"law " + law + ": " + r.revision_id + " is its current edition, not an earlier one"};
        if (!law_id.empty() && !r.law_id.empty() && law_id != r.law_id)
            throw WriteError{"law " + law + " is " + law_id + "; " + r.source + " is an edition of " + r.law_id};
    }
    delete_edition(db, r.revision_id);
    insert_revision_row(db, "T_旧版", law, r);
    Statement page(db, "INSERT INTO T_旧条 (版ID, ID_FN, ID_SN, 条名, 補足) VALUES (?1, ?2, ?3, ?4, ?5)");
    for (const PageRow& row : rows.pages)
        page.text(1, r.revision_id).text(2, row.id_fn).text(3, row.id_sn).text(4, row.caption).text(5, row.supplement)
            .run("T_旧条 " + row.id_fn);
    Statement sentence(db, "INSERT INTO T_旧文 (版ID, ID_BN, 法文, 書式コード, 表式) VALUES (?1, ?2, ?3, ?4, ?5)");
    for (const SentenceRow& row : rows.sentences)
        sentence.text(1, r.revision_id).text(2, row.id_bn).text(3, row.text).text(4, row.style).number(5, row.table ? 1 : 0)
            .run("T_旧文 " + row.id_bn);
    Statement table(db, "INSERT INTO T_旧表 (版ID, ID_BN, 順序, 表式データ) VALUES (?1, ?2, ?3, ?4)");
    for (const TableRow& row : rows.tables)
        table.text(1, r.revision_id).text(2, row.id_bn).number(3, row.order).text(4, row.html).run("T_旧表 " + row.id_bn);
}

bool keep_current_edition(sqlite3* db, const std::string& law, const std::string& replacing_revision)
{
    std::string revision, law_id;
    if (!current_facts(db, law, revision, law_id) || (!revision.empty() && revision == replacing_revision))
        return false;
    if (revision.empty())
        throw WriteError{"law " + law + ": its current text has no revision id (版ID), so it cannot be kept "
                         "as an earlier edition"};
    delete_edition(db, revision);
    const std::string from = law + "-", to = law + ".";
    Statement(db, "INSERT INTO T_旧版 (版ID, ID_HN, 題名, 法令番号, 法令ID, 施行日, 改正法令番号, 出典) "
                  "SELECT 版ID, ID_HN, 題名, 法令番号, 法令ID, 施行日, 改正法令番号, 出典 FROM T_版 WHERE ID_HN = ?1")
        .text(1, law)
        .run("T_旧版 " + revision);
    Statement(db, "INSERT INTO T_旧条 (版ID, ID_FN, ID_SN, 条名, 補足) "
                  "SELECT ?1, ID_FN, ID_SN, 条名, 補足 FROM T_条 WHERE ID_FN >= ?2 AND ID_FN < ?3")
        .text(1, revision).text(2, from).text(3, to)
        .run("T_旧条 " + revision);
    Statement(db, "INSERT INTO T_旧文 (版ID, ID_BN, 法文, 書式コード, 表式) "
                  "SELECT ?1, ID_BN, 法文, 書式コード, 表式 FROM T_文 WHERE ID_BN >= ?2 AND ID_BN < ?3")
        .text(1, revision).text(2, from).text(3, to)
        .run("T_旧文 " + revision);
    Statement(db, "INSERT INTO T_旧表 (版ID, ID_BN, 順序, 表式データ) "
                  "SELECT ?1, ID_BN, 順序, 表式データ FROM T_表 WHERE ID_BN >= ?2 AND ID_BN < ?3")
        .text(1, revision).text(2, from).text(3, to)
        .run("T_旧表 " + revision);
    return true;
}

} // namespace velto::import
