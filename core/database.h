// The law database: one read-only connection and forward-only recordsets whose
// fields are read by name.
//
// Failures of the database engine are raised as ComponentError (core/report.h)
// carrying SQLite's extended result code, its text for the code, the source
// "SQLite" and the engine's message; the reporting member catches and reports.
#pragma once

#include "core/report.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace velto {

class Recordset;

class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the file named by "Data Source=" in the connection string, read-only:
    // a missing file is never created, and the file is never written. The user and
    // password are accepted for the connection string's sake; the engine needs none.
    // Throws ComponentError when the file cannot be opened or is not a law database
    // of this schema (missing, empty, corrupt or foreign files).
    void open(std::string_view connection_string, std::string_view user, std::string_view password);
    void close();
    bool is_open() const { return db_ != nullptr; }

    // Runs a statement of the reader's dialect and returns its rows, positioned on the
    // first one. Throws ComponentError.
    std::unique_ptr<Recordset> execute(std::string_view statement);

    // The raw handle, for tools and tests that look at query plans.
    sqlite3* handle() const { return db_; }

    // The path in "Data Source=..." of a connection string.
    static std::string data_source(std::string_view connection_string);

private:
    sqlite3* db_ = nullptr;
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
    Recordset(sqlite3* db, sqlite3_stmt* stmt);
    int column(std::string_view field) const;
    void require_row() const;
    void step();

    struct Column {
        std::string name;
        std::string table;
    };

    sqlite3* db_;
    sqlite3_stmt* stmt_;
    std::vector<Column> columns_;
    bool eof_ = true;
};

// A value to put between the single quotes of a statement: every quote doubled,
// so no value can end the literal early.
std::string sql_escape(std::string_view value);

// The error SQLite reports for `code` on `db` (db may be null).
ComponentError sqlite_error(sqlite3* db, int code);

} // namespace velto
