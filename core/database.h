// The law database: one read-only connection and forward-only recordsets whose
// fields are read by name.
//
// Failures of the database engine are raised as ComponentError (core/report.h)
// carrying SQLite's extended result code, its text for the code, the source
// "SQLite" and the engine's message; the reporting member catches and reports.
//
// Statements are compiled once per connection and reused (core/statement_cache.h);
// the file is opened so that nothing is ever written beside it
// (core/database_file.h).
#pragma once

#include "core/report.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace velto {

namespace detail {
class Connection;
class CachedStatement;
} // namespace detail

class Recordset;

class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file named by "Data Source=" in the connection string, read-only:
    // a missing file is never created, and neither the file nor anything beside
    // it is ever written. The user and password are accepted for the connection
    // string's sake; the engine needs none. Throws ComponentError when the file
    // cannot be opened or is not a law database of this schema (missing, empty,
    // corrupt or foreign files, folders, pipes and devices, a database with
    // changes left in its write-ahead log).
    void open(std::string_view connection_string, std::string_view user, std::string_view password);
    // Recordsets still open keep reading; the file is closed when the last is gone.
    void close();
    bool is_open() const { return connection_ != nullptr; }

    // Runs a statement of the reader's dialect and returns its rows, positioned on the
    // first one. Throws ComponentError.
    std::unique_ptr<Recordset> execute(std::string_view statement);
    // Whether the database has a table of that name (one made before a table
    // existed lacks it). Throws ComponentError.
    bool has_table(std::string_view name);

    // The raw handle, for tools and tests that look at query plans.
    sqlite3* handle() const;

    // The path in "Data Source=..." of a connection string.
    static std::string data_source(std::string_view connection_string);

private:
    friend class ReadTransaction;
    std::shared_ptr<detail::Connection> connection_;
};

// One read transaction over the statements of a task (a page): the file is
// locked and checked for changes once instead of once per statement, and every
// statement sees the same state of the file. Guards nest; only the outermost
// begins and ends the transaction. Never throws: when the transaction cannot
// begin, the statements run each on its own as without the guard.
class ReadTransaction {
public:
    explicit ReadTransaction(Database& db);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    std::shared_ptr<detail::Connection> connection_; // set while this guard holds the transaction
};

class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool eof() const { return eof_; }
    void move_next(); // throws ComponentError
    void close();

    // Fields by name; "table.field" picks the field of that table in a join.
    // A NULL text reads as the empty text, a NULL number as 0. An unknown name
    // throws ComponentError.
    std::string text(std::string_view field) const;
    std::int32_t number(std::string_view field) const;
    bool is_null(std::string_view field) const;

private:
    friend class Database;
    Recordset(std::shared_ptr<detail::Connection> connection, detail::CachedStatement* statement,
              std::vector<std::string> literals);
    int column(std::string_view field) const;
    void require_row() const;
    void step();

    std::shared_ptr<detail::Connection> connection_;
    detail::CachedStatement* statement_;
    std::vector<std::string> literals_; // bound to the statement until it is released
    bool eof_ = true;
};

// A value to put between the single quotes of a statement: every quote doubled,
// so no value can end the literal early.
std::string sql_escape(std::string_view value);

// The error SQLite reports for `code` on `db` (db may be null).
ComponentError sqlite_error(sqlite3* db, int code);

} // namespace velto
