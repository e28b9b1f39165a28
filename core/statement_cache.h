// The prepared statements of one connection, kept for reuse.
//
// The reader runs a small fixed set of statements that differ only in the
// identifiers and search words inside their literals. Those literals are bound
// as parameters, so each statement is compiled once per connection; the
// position of every field a caller asks for by name is resolved once per
// statement. A statement in use by an open recordset is never handed out
// twice: a second user gets a statement of its own. The rewrite of a
// statement's text is kept too, so a page shown again is read without
// rewriting its statements.
//
// Internal to the database layer (core/database.h); nothing here reports.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace velto::detail {

class CachedStatement {
public:
    CachedStatement(sqlite3_stmt* stmt, std::string key, std::size_t hash);
    ~CachedStatement();
    CachedStatement(const CachedStatement&) = delete;
    CachedStatement& operator=(const CachedStatement&) = delete;

    sqlite3_stmt* stmt() const { return stmt_; }
    // The column of a field: its name, or "table.name" for a field of that
    // table in a join; names compare without regard to ASCII case. -1 when the
    // statement has no such field.
    int field(std::string_view name);

private:
    friend class Connection;
    void describe_columns();

    struct Column {
        std::string name;
        std::string table;
    };

    sqlite3_stmt* stmt_;
    std::string key_;
    std::size_t hash_;
    std::vector<Column> columns_;
    std::vector<std::pair<std::string, int>> positions_; // field as asked -> column
    bool in_use_ = false;
    std::uint64_t last_used_ = 0;
};

// Owns the SQLite handle; closed when the database and every recordset that
// still reads through it are gone.
class Connection {
public:
    explicit Connection(sqlite3* db) : db_(db) {}
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* db() const { return db_; }

    // A statement ready to run `statement` (in the reader's dialect) once the
    // texts put into `literals` are bound to its parameters, in order; null for
    // a statement with nothing to run. Throws ComponentError when SQLite cannot
    // prepare the statement.
    CachedStatement* acquire(std::string_view statement, std::vector<std::string>& literals);
    // Resets the statement and lets the next caller have it.
    void release(CachedStatement* statement);

    std::size_t cached() const { return statements_.size(); }

private:
    // A statement of the reader's dialect rewritten for SQLite.
    struct Rewrite {
        std::string sql;
        std::vector<std::string> literals;
    };

    // The rewrite of `statement`, made once per statement text.
    const Rewrite& rewrite(std::string_view statement);
    CachedStatement* find_or_prepare(const std::string& sql, int& rc);
    void make_room();

    sqlite3* db_;
    std::unordered_map<std::string, Rewrite> rewrites_;
    std::vector<std::unique_ptr<CachedStatement>> statements_;
    std::uint64_t clock_ = 0;
};

} // namespace velto::detail
