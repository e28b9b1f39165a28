// Writing rows into a law database with SQLite: prepared statements bound by
// position, and one exception for every failure, carrying what was written.
// Shared by the writers of this folder (law_writer.cpp, edition_store.cpp);
// whoever catches WriteError closes the connection and leaves the file as it was.
#pragma once

#include <sqlite3.h>

#include <string>

namespace velto::import {

struct WriteError {
    std::string message;
};

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw WriteError{sqlite3_errmsg(db)};
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& text(int index, const std::string& value)
    {
        sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& null(int index)
    {
        sqlite3_bind_null(stmt_, index);
        return *this;
    }
    Statement& number(int index, int value)
    {
        sqlite3_bind_int(stmt_, index, value);
        return *this;
    }
    // Runs a statement that returns no rows.
    void run(const std::string& what)
    {
        const int rc = sqlite3_step(stmt_);
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        if (rc != SQLITE_DONE)
            throw WriteError{what + ": " + sqlite3_errmsg(db_)};
    }
    // Steps a query: true with a row, false at its end.
    bool row()
    {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw WriteError{sqlite3_errmsg(db_)};
        return false;
    }
    std::string column_text(int index) const
    {
        const unsigned char* value = sqlite3_column_text(stmt_, index);
        return value ? reinterpret_cast<const char*>(value) : std::string();
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

inline void exec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        WriteError error{message ? message : sqlite3_errmsg(db)};
        sqlite3_free(message);
        throw error;
    }
}

} // namespace velto::import
