#include "terms/term_writer.h"

#include "core/sql_statement.h"
#include "terms/definition_finder.h"
#include "terms/term_scope.h"

#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

namespace velto {

namespace {

constexpr std::size_t kLawWidth = 3;

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
        const std::string id(pages.text(0));
        if (id.size() > kLawWidth)
            laws[id.substr(0, kLawWidth)].outline.add_page(id, pages.text(1));
    }
    Statement sentences(db, "SELECT ID_BN, 法文 FROM T_文 WHERE typeof(ID_BN) = 'text' ORDER BY ID_BN");
    while (sentences.step()) {
        std::string id(sentences.text(0));
        if (id.size() > kLawWidth)
            laws[id.substr(0, kLawWidth)].sentences.emplace_back(id, std::string(sentences.text(1)));
    }

    Statement(db, "DELETE FROM T_用語").run();
    Statement insert(db, "INSERT INTO T_用語 (ID_HN, 用語, ID_BN, 範囲, 始, 終) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    for (const auto& [law, text] : laws) {
        std::vector<LawSentence> view;
        view.reserve(text.sentences.size());
        for (const auto& [id, sentence] : text.sentences)
            view.push_back({id, sentence});
        for (DefinedTerm& t : find_definitions(view)) {
            text.outline.set_bounds(t);
            insert.bind_text(1, law);
            insert.bind_text(2, t.term);
            insert.bind_text(3, t.sentence);
            insert.bind_text(4, scope_words(t.unit, t.from_here));
            insert.bind_text(5, t.first);
            insert.bind_text(6, t.last);
            insert.run();
        }
    }
}

} // namespace velto
