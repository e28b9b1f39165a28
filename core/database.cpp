#include "core/database.h"

#include "core/database_file.h"
#include "core/sql_dialect.h"
#include "core/statement_cache.h"

#include <sqlite3.h>

#include <algorithm>
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
    const DatabaseFile file = database_file_for_reading(path);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.name.c_str(), &db, file.flags, nullptr);
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
        if (rc == SQLITE_READONLY_ROLLBACK)
            error.description = interrupted_write_description(path);
        sqlite3_close_v2(db);
        throw error;
    }
    connection_ = std::make_shared<detail::Connection>(db);
}

void Database::close() { connection_.reset(); }

bool Database::has_table(std::string_view name)
{
    std::string quoted;
    for (const char c : name)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return !execute("SELECT name FROM sqlite_master WHERE type = 'table' AND name = '" + quoted + "'")->eof();
}

sqlite3* Database::handle() const { return connection_ ? connection_->db() : nullptr; }

std::unique_ptr<Recordset> Database::execute(std::string_view statement)
{
    if (!connection_)
        throw misuse("the database is not open");
    std::vector<std::string> literals;
    detail::CachedStatement* cached = connection_->acquire(statement, literals);
    if (!cached)
        throw misuse("empty statement");
    std::unique_ptr<Recordset> rs(new Recordset(connection_, cached, std::move(literals)));
    rs->step();
    return rs;
}

ReadTransaction::ReadTransaction(Database& db)
{
    sqlite3* handle = db.handle();
    if (handle && sqlite3_get_autocommit(handle) &&
        sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK)
        connection_ = db.connection_;
}

ReadTransaction::~ReadTransaction()
{
    if (connection_ && !sqlite3_get_autocommit(connection_->db()))
        sqlite3_exec(connection_->db(), "COMMIT", nullptr, nullptr, nullptr);
}

Recordset::Recordset(std::shared_ptr<detail::Connection> connection, detail::CachedStatement* statement,
                     std::vector<std::string> literals)
    : connection_(std::move(connection)), statement_(statement), literals_(std::move(literals))
{
    // The texts stay in literals_ until the statement is released, so SQLite need not copy them.
    for (std::size_t i = 0; i < literals_.size(); ++i)
        sqlite3_bind_text(statement_->stmt(), static_cast<int>(i + 1), literals_[i].data(),
                          static_cast<int>(literals_[i].size()), SQLITE_STATIC);
    eof_ = false;
}

Recordset::~Recordset() { close(); }

void Recordset::close()
{
    if (statement_) {
        connection_->release(statement_);
        statement_ = nullptr;
        connection_.reset();
    }
    eof_ = true;
}

void Recordset::step()
{
    if (!statement_) {
        eof_ = true;
        return;
    }
    const int rc = sqlite3_step(statement_->stmt());
    if (rc == SQLITE_ROW) {
        eof_ = false;
    } else if (rc == SQLITE_DONE) {
        eof_ = true;
    } else {
        eof_ = true;
        ComponentError error = sqlite_error(connection_->db(), rc);
        close();
        throw error;
    }
}

void Recordset::move_next()
{
    if (!eof_)
        step();
}

int Recordset::column(std::string_view field) const
{
    const int i = statement_ ? statement_->field(field) : -1;
    if (i < 0)
        throw ComponentError(SQLITE_ERROR, sqlite3_errstr(SQLITE_ERROR), std::string(kSource),
                             "no such field in the recordset: " + std::string(field));
    return i;
}

void Recordset::require_row() const
{
    if (eof_ || !statement_)
        throw misuse("no current record");
}

std::string Recordset::text(std::string_view field) const
{
    require_row();
    const int i = column(field);
    sqlite3_stmt* stmt = statement_->stmt();
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    if (!p)
        return {};
    return std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)));
}

std::int32_t Recordset::number(std::string_view field) const
{
    require_row();
    const sqlite3_int64 v = sqlite3_column_int64(statement_->stmt(), column(field));
    return static_cast<std::int32_t>(std::clamp<sqlite3_int64>(v, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

bool Recordset::is_null(std::string_view field) const
{
    if (eof_ || !statement_)
        return true;
    return sqlite3_column_type(statement_->stmt(), column(field)) == SQLITE_NULL;
}

} // namespace velto
