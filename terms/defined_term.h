// A term a law defines: the word, the sentence that defines it and the
// stretch of the law's sentences it holds for.
//
// Scopes are ranges of sentence identifiers (ID_BN): identifiers sort in the
// order of the text, so "from this sentence to the end of its article" is the
// range [sentence, article prefix + "~"]. '~' sorts after every character an
// identifier holds, so a prefix followed by it closes everything under that
// prefix. Nothing here reads a database.
#pragma once

#include <string>
#include <string_view>

namespace velto {

// What a definition reaches, as the text says: この法律 (or この政令 …), この章,
// この節, この条, この項, この号.
enum class TermUnit { Law, Chapter, Section, Article, Paragraph, Item };

struct DefinedTerm {
    std::string term;     // 主要構造部
    std::string sentence; // ID_BN of the defining sentence
    TermUnit unit = TermUnit::Law;
    bool from_here = false; // 以下…: from the defining sentence on
    std::string first;      // the first identifier of the scope
    std::string last;       // every identifier of the scope is <= last
};

// The scope as a reader says it: "この法令", "以下この条" …
std::string scope_words(TermUnit unit, bool from_here);

// Whether sentence `id` lies in the term's scope.
inline bool in_scope(const DefinedTerm& t, std::string_view id) { return t.first <= id && id <= t.last; }

} // namespace velto
