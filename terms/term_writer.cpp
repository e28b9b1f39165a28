#include "terms/term_writer.h"

#include "core/database.h"
#include "terms/definition_finder.h"
#include "terms/term_scope.h"

#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

namespace velto {

namespace {

constexpr std::size_t kLawWidth = 3;

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db)
    {
        if (const int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); rc != SQLITE_OK)
            throw sqlite_error(db, rc);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool step()
    {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw sqlite_error(db_, rc);
        sqlite3_reset(stmt_);
        return false;
    }
    std::string text(int column) const
    {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
    }
    void bind(int index, const std::string& value)
    {
        if (const int rc = sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
            rc != SQLITE_OK)
            throw sqlite_error(db_, rc);
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

struct LawText {
    LawOutline outline;
    std::vector<std::pair<std::string, std::string>> sentences; // ID_BN, 法文
};

} // namespace

void write_defined_terms(sqlite3* db)
{
    std::map<std::string, LawText> laws;
    Statement pages(db, "SELECT ID_FN, ID_SN FROM T_条 WHERE typeof(ID_FN) = 'text'");
    while (pages.step()) {
        const std::string id = pages.text(0);
        if (id.size() > kLawWidth)
            laws[id.substr(0, kLawWidth)].outline.add_page(id, pages.text(1));
    }
    Statement sentences(db, "SELECT ID_BN, 法文 FROM T_文 WHERE typeof(ID_BN) = 'text' ORDER BY ID_BN");
    while (sentences.step()) {
        std::string id = sentences.text(0);
        if (id.size() > kLawWidth)
            laws[id.substr(0, kLawWidth)].sentences.emplace_back(id, sentences.text(1));
    }

    Statement clear(db, "DELETE FROM T_用語");
    clear.step();
    Statement insert(db, "INSERT INTO T_用語 (ID_HN, 用語, ID_BN, 範囲, 始, 終) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    for (const auto& [law, text] : laws) {
        std::vector<LawSentence> view;
        view.reserve(text.sentences.size());
        for (const auto& [id, sentence] : text.sentences)
            view.push_back({id, sentence});
        for (DefinedTerm& t : find_definitions(view)) {
            text.outline.set_bounds(t);
            insert.bind(1, law);
            insert.bind(2, t.term);
            insert.bind(3, t.sentence);
            insert.bind(4, scope_words(t.unit, t.from_here));
            insert.bind(5, t.first);
            insert.bind(6, t.last);
            insert.step();
        }
    }
}

} // namespace velto
