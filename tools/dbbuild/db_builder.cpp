#include "tools/dbbuild/db_builder.h"

#include "core/sql_dialect.h"
#include "schema_sql.h"

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace velto {

namespace {

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

bool exec(sqlite3* db, const std::string& sql, const std::string& what, std::string& error)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    error = what + ": " + (message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

bool fill(const std::string& path, const std::vector<ContentScript>& scripts, std::string& error)
{
    Connection c;
    if (sqlite3_open_v2(path.c_str(), &c.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        error = path + ": " + (c.db ? sqlite3_errmsg(c.db) : "cannot create the file");
        return false;
    }
    if (register_sql_functions(c.db) != SQLITE_OK) {
        error = "cannot register the SQL functions";
        return false;
    }
    if (!exec(c.db, "PRAGMA journal_mode = DELETE; BEGIN", "start", error) ||
        !exec(c.db, kSchemaSql, "schema", error))
        return false;
    for (const ContentScript& script : scripts)
        if (!exec(c.db, script.sql, script.name, error))
            return false;
    return exec(c.db, "COMMIT", "finish", error);
}

} // namespace

bool read_text_file(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

bool build_database(const std::string& output, const std::vector<ContentScript>& scripts, std::string& error)
{
    const std::string temporary = output + ".building";
    std::remove(temporary.c_str());
    if (!fill(temporary, scripts, error)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
        error = output + ": cannot move the new database into place";
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace velto
