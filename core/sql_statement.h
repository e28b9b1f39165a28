// A prepared SQLite statement that finalises itself.
//
// For the passes that read and write a database file directly (the search
// index, the citation links): preparing or stepping a statement that fails
// throws the ComponentError of core/database.h, so a pass ends at the first
// fault and its caller rolls back. Values read stay valid until the next step.
#pragma once

#include "core/database.h"

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace velto {

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) : db_(db)
    {
        if (const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr); rc != SQLITE_OK)
            throw sqlite_error(db, rc);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // False after the last row.
    bool step()
    {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw sqlite_error(db_, rc);
        return false;
    }
    void reset() { sqlite3_reset(stmt_); }
    // A value as LIKE reads it: its text, whatever its type.
    std::string_view text(int column) const
    {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                 : std::string_view();
    }
    sqlite3_int64 integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    void bind(int index, sqlite3_int64 value) { sqlite3_bind_int64(stmt_, index, value); }
    void bind(int index, std::string_view value)
    {
        sqlite3_bind_blob(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    void bind_text(int index, std::string_view value)
    {
        sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    void run()
    {
        step();
        reset();
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace velto
