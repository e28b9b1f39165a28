#include "core/statement_cache.h"

#include "core/database.h"
#include "core/sql_dialect.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <functional>

namespace velto::detail {

namespace {

// Far more than the reader's statements; bounds what ad-hoc statements can hold.
constexpr std::size_t kCapacity = 64;
// Rewritten statement texts kept: the statements of a few thousand pages.
constexpr std::size_t kRewrites = 16384;

bool same_name(std::string_view a, std::string_view b)
{
    // Field names compare without regard to ASCII case, as the original engine did.
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

CachedStatement::CachedStatement(sqlite3_stmt* stmt, std::string key, std::size_t hash)
    : stmt_(stmt), key_(std::move(key)), hash_(hash)
{
    describe_columns();
}

CachedStatement::~CachedStatement() { sqlite3_finalize(stmt_); }

void CachedStatement::describe_columns()
{
    const int n = sqlite3_column_count(stmt_);
    columns_.clear();
    positions_.clear();
    columns_.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const char* name = sqlite3_column_name(stmt_, i);
        const char* table = sqlite3_column_table_name(stmt_, i);
        columns_.push_back({name ? name : "", table ? table : ""});
    }
}

int CachedStatement::field(std::string_view name)
{
    // SQLite compiles a statement again when the schema changed; its columns may then differ.
    if (columns_.size() != static_cast<std::size_t>(sqlite3_column_count(stmt_)))
        describe_columns();
    for (const auto& [asked, index] : positions_)
        if (asked == name)
            return index;

    std::string_view table;
    std::string_view column = name;
    if (const std::size_t dot = name.find('.'); dot != std::string_view::npos) {
        table = name.substr(0, dot);
        column = name.substr(dot + 1);
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (same_name(columns_[i].name, column) && (table.empty() || same_name(columns_[i].table, table))) {
            positions_.emplace_back(std::string(name), static_cast<int>(i));
            return static_cast<int>(i);
        }
    }
    return -1;
}

Connection::~Connection()
{
    statements_.clear();
    sqlite3_close_v2(db_);
}

const Connection::Rewrite& Connection::rewrite(std::string_view statement)
{
    const std::string key(statement);
    if (const auto known = rewrites_.find(key); known != rewrites_.end())
        return known->second;
    if (rewrites_.size() >= kRewrites)
        rewrites_.clear(); // a bound on memory; the reader's pages soon fill it again
    Rewrite made;
    made.sql = sql_for_sqlite(statement, &made.literals);
    return rewrites_.emplace(key, std::move(made)).first->second;
}

CachedStatement* Connection::acquire(std::string_view statement, std::vector<std::string>& literals)
{
    const Rewrite& rewritten = rewrite(statement);
    literals = rewritten.literals;
    int rc = SQLITE_OK;
    CachedStatement* cached = find_or_prepare(rewritten.sql, rc);
    if (cached && static_cast<std::size_t>(sqlite3_bind_parameter_count(cached->stmt())) == literals.size())
        return cached;
    if (!cached && (rc == SQLITE_OK || literals.empty())) {
        if (rc != SQLITE_OK)
            throw sqlite_error(db_, rc);
        return nullptr; // an empty statement
    }
    if (cached)
        release(cached); // the caller's own parameters besides the literals
    // A literal may stand where SQLite takes no parameter: run the statement
    // with its literals as written. Its error is the one to report.
    literals.clear();
    cached = find_or_prepare(sql_for_sqlite(statement), rc);
    if (!cached && rc != SQLITE_OK)
        throw sqlite_error(db_, rc);
    return cached;
}

CachedStatement* Connection::find_or_prepare(const std::string& sql, int& rc)
{
    const std::size_t hash = std::hash<std::string_view>{}(sql);
    for (const auto& s : statements_) {
        if (!s->in_use_ && s->hash_ == hash && s->key_ == sql) {
            s->in_use_ = true;
            s->last_used_ = ++clock_;
            return s.get();
        }
    }
    sqlite3_stmt* stmt = nullptr;
    rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK || !stmt) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    make_room();
    statements_.push_back(std::make_unique<CachedStatement>(stmt, sql, hash));
    CachedStatement* added = statements_.back().get();
    added->in_use_ = true;
    added->last_used_ = ++clock_;
    return added;
}

void Connection::make_room()
{
    if (statements_.size() < kCapacity)
        return;
    auto oldest = statements_.end();
    for (auto it = statements_.begin(); it != statements_.end(); ++it)
        if (!(*it)->in_use_ && (oldest == statements_.end() || (*it)->last_used_ < (*oldest)->last_used_))
            oldest = it;
    if (oldest != statements_.end())
        statements_.erase(oldest);
}

void Connection::release(CachedStatement* statement)
{
    sqlite3_reset(statement->stmt_);
    sqlite3_clear_bindings(statement->stmt_);
    statement->in_use_ = false;
}

} // namespace velto::detail
