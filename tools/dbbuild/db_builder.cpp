#include "tools/dbbuild/db_builder.h"

#include "citations/citation_links.h"
#include "citations/link_index.h"
#include "search/search_index_writer.h"
#include "terms/term_writer.h"
#include "core/report.h"
#include "core/sql_dialect.h"
#include "tools/dbbuild/file_replacement.h"
#include "schema_sql.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool is_schema_name(const std::string& name)
{
    if (name.empty() || name.size() > 30 || (name[0] >= '0' && name[0] <= '9'))
        return false;
    for (char ch : name)
        if (!((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_'))
            return false;
    return name != "main" && name != "temp";
}

// A read-only URI for ATTACH: the path with the characters URIs give a meaning escaped.
std::string read_only_uri(const std::string& path)
{
    std::string uri = "file:";
    for (char ch : path) {
        if (ch == '%' || ch == '?' || ch == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(ch));
            uri += escaped;
        } else {
            uri += ch;
        }
    }
    return uri + "?mode=ro";
}

bool attach(sqlite3* db, const std::string& name, const std::string& file, std::string& error)
{
    if (!is_schema_name(name)) {
        error = "attach " + name + ": a schema name is a word of letters, digits and _";
        return false;
    }
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) {
        error = file + ": " + (errno == ENOENT ? "no such file" : std::strerror(errno));
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = file + ": not a regular file";
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = "ATTACH DATABASE ?1 AS " + name;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        const std::string uri = read_only_uri(file);
        sqlite3_bind_text(stmt, 1, uri.c_str(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(stmt) == SQLITE_DONE ? SQLITE_OK : SQLITE_ERROR;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK) {
        error = file + ": cannot attach the database: " + sqlite3_errmsg(db);
        return false;
    }
    return true;
}

// A whole-database pass (the reverse index of the links, the full-text
// search index) over the content as the scripts left it.
bool run_pass(sqlite3* db, void (*pass)(sqlite3*), const char* name, std::string& error)
{
    try {
        pass(db);
        return true;
    } catch (const ComponentError& e) {
        error = std::string(name) + ": " + e.description.value_or(e.meaning);
        return false;
    }
}

bool fill(const std::string& path, const std::vector<ContentScript>& scripts, const BuildSource& source,
          std::string& error)
{
    Connection c;
    if (sqlite3_open_v2(path.c_str(), &c.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK) {
        error = path + ": " + (c.db ? sqlite3_errmsg(c.db) : "cannot create the file");
        return false;
    }
    if (register_sql_functions(c.db) != SQLITE_OK) {
        error = "cannot register the SQL functions";
        return false;
    }
    // The file is moved into place only after it is complete and on disk.
    if (!exec(c.db, "PRAGMA synchronous = OFF", "start", error))
        return false;
    if (!source.base.empty() && !copy_database(source.base, c.db, error))
        return false;
    if (!exec(c.db, "PRAGMA journal_mode = DELETE", "start", error))
        return false;
    for (const auto& [name, file] : source.attached)
        if (!attach(c.db, name, file, error))
            return false;
    if (!exec(c.db, "BEGIN", "start", error) || !exec(c.db, kSchemaSql, "schema", error))
        return false;
    for (const ContentScript& script : scripts)
        if (!exec(c.db, script.sql, script.name, error))
            return false;
    const auto citations = [](sqlite3* db) { write_citation_links(db); };
    if (!run_pass(c.db, citations, "citation links", error) || !run_pass(c.db, write_link_index, "link index", error) ||
        !run_pass(c.db, write_search_index, "search index", error) ||
        !run_pass(c.db, write_defined_terms, "defined terms", error) || !exec(c.db, "COMMIT", "finish", error))
        return false;
    if (sqlite3_close(c.db) != SQLITE_OK) {
        error = path + ": " + sqlite3_errmsg(c.db);
        return false;
    }
    c.db = nullptr;
    return true;
}

} // namespace

bool read_input_file(const std::string& path, std::string& bytes, std::string& error, std::size_t limit)
{
    bytes.clear();
    // Opened without waiting, so that a FIFO does not block here before it is refused.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + (errno == ENOENT ? "no such file" : std::strerror(errno));
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        const char* what = S_ISDIR(status.st_mode)    ? "a directory"
                           : S_ISFIFO(status.st_mode) ? "a named pipe (FIFO)"
                           : S_ISSOCK(status.st_mode) ? "a socket"
                           : S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode) ? "a device"
                                                                                 : "a special file";
        error = path + ": " + what + ", not a regular file";
        return false;
    }
    if (static_cast<unsigned long long>(status.st_size) > limit) {
        error = path + ": " + std::to_string(status.st_size) + " bytes, more than the " + std::to_string(limit) +
                " this tool reads";
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[1 << 16];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = path + ": " + std::strerror(errno);
            return false;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > limit) {
            error = path + ": the file grows beyond " + std::to_string(limit) + " bytes while it is read";
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

std::string_view law_schema_sql() { return kSchemaSql; }

bool build_database(const std::string& output, const std::vector<ContentScript>& scripts, std::string& error,
                    const BuildSource& source)
{
    FileReplacement replacement;
    if (!replacement.begin(output, ".building", error))
        return false;
    if (!fill(replacement.side_path(), scripts, source, error))
        return false;
    return replacement.commit(error);
}

} // namespace velto
