#include "core/sql_dialect.h"

#include "core/sjis.h"

#include <sqlite3.h>

#include <cctype>

namespace velto {

namespace {

bool is_word_byte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
}

bool equals_ascii_nocase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::size_t skip_blanks(std::string_view s, std::size_t pos)
{
    while (pos < s.size() && std::isspace(static_cast<unsigned char>(s[pos])))
        ++pos;
    return pos;
}

// Removes the blanks at the end of `out` and reports whether it then ends with '='
// (and not with '<=', '>=' or '!=').
bool ends_with_equals(std::string& out)
{
    std::size_t end = out.size();
    while (end > 0 && std::isspace(static_cast<unsigned char>(out[end - 1])))
        --end;
    if (end == 0 || out[end - 1] != '=')
        return false;
    if (end >= 2 && (out[end - 2] == '<' || out[end - 2] == '>' || out[end - 2] == '!'))
        return false;
    out.resize(end - 1);
    return true;
}

// The text of a literal's inside: every doubled quote stands for one.
std::string unquoted(std::string_view inside)
{
    std::string text;
    text.reserve(inside.size());
    for (std::size_t i = 0; i < inside.size(); ++i) {
        text += inside[i];
        if (inside[i] == '\'' && i + 1 < inside.size() && inside[i + 1] == '\'')
            ++i;
    }
    return text;
}

} // namespace

std::string sql_for_sqlite(std::string_view s, std::vector<std::string>* literals)
{
    std::string out;
    out.reserve(s.size() + 16);
    std::size_t pos = 0;
    while (pos < s.size()) {
        const char c = s[pos];
        if (c == '\'' || c == '"' || c == '[' || c == '`') {
            // Literals and quoted names are copied as they stand.
            const char close = c == '[' ? ']' : c;
            std::size_t end = pos + 1;
            while (end < s.size()) {
                if (s[end] == close) {
                    if (close != ']' && end + 1 < s.size() && s[end + 1] == close) {
                        end += 2; // doubled quote inside a literal
                        continue;
                    }
                    break;
                }
                ++end;
            }
            const bool complete = end < s.size();
            end = complete ? end + 1 : end;
            // A literal glued to a word (a blob X'..') is not a value of its own.
            const bool value = c == '\'' && complete && (out.empty() || !is_word_byte(static_cast<unsigned char>(out.back())));
            if (literals && value) {
                literals->push_back(unquoted(s.substr(pos + 1, end - pos - 2)));
                out += '?';
            } else {
                out.append(s.substr(pos, end - pos));
            }
            pos = end;
            continue;
        }
        if (is_word_byte(static_cast<unsigned char>(c))) {
            std::size_t end = pos;
            while (end < s.size() && is_word_byte(static_cast<unsigned char>(s[end])))
                ++end;
            const std::string_view word = s.substr(pos, end - pos);
            const bool call = skip_blanks(s, end) < s.size() && s[skip_blanks(s, end)] == '(';
            if (call && (equals_ascii_nocase(word, "LEFT") || equals_ascii_nocase(word, "RIGHT"))) {
                out.append("[").append(word).append("]");
            } else if (equals_ascii_nocase(word, "YES") && ends_with_equals(out)) {
                out.append("<> 0");
            } else {
                out.append(word);
            }
            pos = end;
            continue;
        }
        out += c;
        ++pos;
    }
    return out;
}

namespace {

// Reads the text argument; NULL stays NULL.
bool text_arg(sqlite3_value* v, std::string_view& text)
{
    if (sqlite3_value_type(v) == SQLITE_NULL)
        return false;
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    text = p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
    return true;
}

void result_text(sqlite3_context* ctx, std::string_view text)
{
    sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void fn_left(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::string_view text;
    if (!text_arg(argv[0], text) || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    result_text(ctx, n <= 0 ? std::string_view() : utf8_substr(text, 0, static_cast<std::size_t>(n)));
}

void fn_right(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::string_view text;
    if (!text_arg(argv[0], text) || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    const std::size_t length = utf8_length(text);
    if (n <= 0)
        return result_text(ctx, std::string_view());
    const std::size_t count = static_cast<std::size_t>(n) < length ? static_cast<std::size_t>(n) : length;
    result_text(ctx, utf8_substr(text, length - count, count));
}

// MID(text, start[, length]) with a 1-based start.
void fn_mid(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    std::string_view text;
    if (!text_arg(argv[0], text) || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const sqlite3_int64 start = sqlite3_value_int64(argv[1]);
    if (start < 1)
        return result_text(ctx, std::string_view());
    std::size_t count = std::string_view::npos;
    if (argc > 2) {
        if (sqlite3_value_type(argv[2]) == SQLITE_NULL)
            return sqlite3_result_null(ctx);
        const sqlite3_int64 n = sqlite3_value_int64(argv[2]);
        count = n <= 0 ? 0 : static_cast<std::size_t>(n);
    }
    result_text(ctx, utf8_substr(text, static_cast<std::size_t>(start - 1), count));
}

} // namespace

int register_sql_functions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct Def { const char* name; int args; void (*fn)(sqlite3_context*, int, sqlite3_value**); };
    const Def defs[] = {{"LEFT", 2, fn_left}, {"RIGHT", 2, fn_right}, {"MID", 2, fn_mid}, {"MID", 3, fn_mid}};
    for (const Def& d : defs) {
        const int rc = sqlite3_create_function_v2(db, d.name, d.args, flags, nullptr, d.fn, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

} // namespace velto
