#include "app/term_verbs.h"

#include "app/law_subject.h"
#include "compose/velto_doc.h"
#include "core/terminal_text.h"

#include <cstdio>

namespace velto {

namespace {

int fail(const std::string& message)
{
    print_text(stderr, message + "\n");
    return 1;
}

constexpr char kNoTable[] = "このデータベースには定義語の一覧がありません（velto-import または velto-dbbuild で作り直してください）。";

} // namespace

int print_law_terms(CVeltoDoc& doc, const std::string& law)
{
    const std::string code = law_named(doc, law);
    if (code.empty())
        return fail("法令「" + law + "」はデータベースにありません。");
    TermBook* book = doc.term_book();
    try {
        if (!book || !book->available())
            return fail(kNoTable);
        for (const DefinedTerm& t : book->law_terms(code))
            print_text(stdout, t.term + "\t" + t.sentence + "\t" + scope_words(t.unit, t.from_here) + "\n");
    } catch (const ComponentError& e) {
        return fail(e.description.value_or(e.meaning));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int print_term_at(CVeltoDoc& doc, const std::string& sentence, const std::string& term)
{
    TermBook* book = doc.term_book();
    try {
        if (!book || !book->available())
            return fail(kNoTable);
        auto rs = doc.database().execute("SELECT ID_BN FROM T_文 WHERE ID_BN = '" + sql_escape(sentence) + "'");
        if (rs->eof())
            return fail("文「" + sentence + "」はデータベースにありません。");
        rs->close();
        const std::optional<DefinedTerm> t = book->term_at(sentence, term);
        if (!t)
            return fail("「" + term + "」は " + sentence + " で用いられる定義語ではありません。");
        print_text(stdout, t->sentence + "\n");
    } catch (const ComponentError& e) {
        return fail(e.description.value_or(e.meaning));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace velto
