// What a marked use of a defined term shows in the link preview: the defining
// provision (the item of 法第二条, the sentence of 「…」という。), headed by
// its source as the law of the page names it — 「法第二条第五号　主要構造部」 on a
// page of the order, 「第二条第五号」 with the law's own short name (from the
// alias file) on a page of the act, the title for any other law.
//
// The preview is composed by the document (CVeltoDoc::_html_peek); a click
// in it opens the definition's page scrolled to it (the target is `named`).
// Nothing here changes the document. The word for a law is looked up once
// per peek object (it changes only with a law's title or the alias file).
#pragma once

#include "citations/link_peek.h"

#include <map>
#include <string>
#include <string_view>

namespace velto {

class CVeltoDoc;

class TermPeek {
public:
    // `doc` must be started and outlive the peek.
    explicit TermPeek(CVeltoDoc& doc) : doc_(doc) {}

    // The source of definition `definition` (an ID_BN) as the text of law
    // `reader_law` names it: "法第二条第五号". Empty for a sentence that is no
    // provision of a known law.
    std::string source_name(std::string_view definition, std::string_view reader_law);

    // The preview of `term` defined in sentence `definition`, seen on a page
    // of law `reader_law`. False when there is nothing to show.
    bool compose(std::string_view definition, std::string_view term, std::string_view reader_law, PeekTarget& target,
                 std::string& html);

private:
    // The word the text of `reader_law` uses for law `law`.
    std::string law_word(const std::string& law, const std::string& reader_law);
    std::string find_law_word(const std::string& law, const std::string& reader_law);
    bool single_paragraph(std::string_view definition);

    CVeltoDoc& doc_;
    std::map<std::string, std::string> words_; // law + reader law -> the word, as found once
};

} // namespace velto
