#include "core/database.h"

#include "core/sql_dialect.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <limits>

namespace velto {

namespace {

// Every table and field the reader relies on. Opening checks them all, so a
// foreign or damaged file fails at once instead of on some later page.
constexpr std::string_view kSchemaProbes[] = {
    "SELECT [ID_HN], [法名一般], [法名略式], [法名正式], [表示] FROM T_法 LIMIT 0",
    "SELECT [ID_SN], [章名], [節名], [款名], [目名], [告示] FROM T_章 LIMIT 0",
    "SELECT [ID_FN], [ID_SN], [条名], [補足], [分割], [大型], [表示] FROM T_条 LIMIT 0",
    "SELECT [ID_BN], [法文], [書式コード], [表式], [札抜], [参照], [図入], [検索用データ] FROM T_文 LIMIT 0",
    "SELECT [ID_BN], [順序], [表式データ], [検索用データ] FROM T_表 LIMIT 0",
    "SELECT [ID_FN], [順序], [HTMLデータ] FROM T_他 LIMIT 0",
    "SELECT [ID_BN], [ID_FN], [順序], [表示], [場所], [キーワード], [表中], [選定], [自動], [強調], [有効], "
    "[備考], [補助] FROM T_参 LIMIT 0",
    "SELECT [ID_FN], [公布年月日], [公布省名], [改正年月日], [改正省名], [改正告示番号] FROM T_告 LIMIT 0",
};

const char* kSource = "SQLite";

ComponentError misuse(const char* what)
{
    return ComponentError(SQLITE_MISUSE, sqlite3_errstr(SQLITE_MISUSE), std::string(kSource), std::string(what));
}

} // namespace

ComponentError sqlite_error(sqlite3* db, int code)
{
    std::optional<std::string> description;
    if (db) {
        if (const char* msg = sqlite3_errmsg(db))
            description = msg;
    }
    const char* meaning = sqlite3_errstr(code);
    return ComponentError(code, meaning ? meaning : "", std::string(kSource), description);
}

std::string sql_escape(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out;
}

Database::~Database() { close(); }

std::string Database::data_source(std::string_view cs)
{
    constexpr std::string_view key = "Data Source=";
    const std::size_t at = cs.find(key);
    if (at == std::string_view::npos)
        return {};
    const std::string_view rest = cs.substr(at + key.size());
    // The path runs to the next property; a path holding ';' is still read whole
    // when the password property follows it.
    std::size_t end = rest.find(";Jet OLEDB:");
    if (end == std::string_view::npos)
        end = rest.find(';');
    return std::string(rest.substr(0, end));
}

void Database::open(std::string_view connection_string, std::string_view, std::string_view)
{
    close();
    const std::string path = data_source(connection_string);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_extended_result_codes(db, 1);
    if (rc == SQLITE_OK)
        rc = register_sql_functions(db);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
    for (std::string_view probe : kSchemaProbes) {
        if (rc != SQLITE_OK)
            break;
        sqlite3_stmt* stmt = nullptr;
        rc = sqlite3_prepare_v2(db, probe.data(), static_cast<int>(probe.size()), &stmt, nullptr);
        sqlite3_finalize(stmt);
    }
    if (rc != SQLITE_OK) {
        ComponentError error = sqlite_error(db, rc);
        sqlite3_close_v2(db);
        throw error;
    }
    db_ = db;
}

void Database::close()
{
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

std::unique_ptr<Recordset> Database::execute(std::string_view statement)
{
    if (!db_)
        throw misuse("the database is not open");
    const std::string sql = sql_for_sqlite(statement);
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw sqlite_error(db_, rc);
    }
    if (!stmt) // an empty statement
        throw misuse("empty statement");
    std::unique_ptr<Recordset> rs(new Recordset(db_, stmt));
    rs->step();
    return rs;
}

Recordset::Recordset(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt)
{
    const int n = sqlite3_column_count(stmt);
    columns_.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const char* name = sqlite3_column_name(stmt, i);
        const char* table = sqlite3_column_table_name(stmt, i);
        columns_.push_back({name ? name : "", table ? table : ""});
    }
    eof_ = false;
}

Recordset::~Recordset() { close(); }

void Recordset::close()
{
    if (stmt_) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
    eof_ = true;
}

void Recordset::step()
{
    if (!stmt_) {
        eof_ = true;
        return;
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        eof_ = false;
    } else if (rc == SQLITE_DONE) {
        eof_ = true;
    } else {
        eof_ = true;
        ComponentError error = sqlite_error(db_, rc);
        close();
        throw error;
    }
}

void Recordset::move_next()
{
    if (!eof_)
        step();
}

namespace {

bool same_name(std::string_view a, std::string_view b)
{
    // Field names compare without regard to ASCII case, as the original engine did.
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

int Recordset::column(std::string_view field) const
{
    std::string_view table;
    std::string_view name = field;
    if (const std::size_t dot = field.find('.'); dot != std::string_view::npos) {
        table = field.substr(0, dot);
        name = field.substr(dot + 1);
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (same_name(columns_[i].name, name) && (table.empty() || same_name(columns_[i].table, table)))
            return static_cast<int>(i);
    }
    throw ComponentError(SQLITE_ERROR, sqlite3_errstr(SQLITE_ERROR), std::string(kSource),
                         "no such field in the recordset: " + std::string(field));
}

void Recordset::require_row() const
{
    if (eof_ || !stmt_)
        throw misuse("no current record");
}

std::string Recordset::text(std::string_view field) const
{
    const int i = column(field);
    require_row();
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    if (!p)
        return {};
    return std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)));
}

std::int32_t Recordset::number(std::string_view field) const
{
    const int i = column(field);
    require_row();
    const sqlite3_int64 v = sqlite3_column_int64(stmt_, i);
    return static_cast<std::int32_t>(std::clamp<sqlite3_int64>(v, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

bool Recordset::is_null(std::string_view field) const
{
    const int i = column(field);
    return eof_ || !stmt_ || sqlite3_column_type(stmt_, i) == SQLITE_NULL;
}

} // namespace velto
