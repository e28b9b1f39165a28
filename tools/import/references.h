// Article references in law text.
//
// The reader links a reference stored as "[第20条]", "[第6条の2]" or
// "[第6条の2の3]" to that article of the same law, and "[第5条の2/01A]" to an
// article of law 01A. Official text writes references in kanji numerals
// ("第二十条", "第六条の二"); this unit finds them and writes the stored form
// wherever the law they point into is certain, and leaves the text as it is
// everywhere else, so that no reference ever leads to a wrong article.
#pragma once

#include "core/kanji_numerals.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace velto::import {

using velto::kanji_number;

// An article of a law: number, first and second branch (0 when absent).
using ArticleKey = std::tuple<int, int, int>;

// What a reference in the text of one law may point to.
struct ReferenceScope {
    std::string law;                    // the law's ID_HN
    const std::set<ArticleKey>* articles = nullptr; // the articles the law has
    // Words that name another law in this law's text ("法" for the act in its
    // enforcement order), with that law's ID_HN.
    std::vector<std::pair<std::string, std::string>> aliases;
    // The articles of those laws, where known: a reference into such a law
    // links only to an article it has (an older text may cite one since renumbered).
    std::map<std::string, std::set<ArticleKey>> alias_articles{};
};

// Rewrites the references of a text (UTF-8) into the stored form:
// - a reference right after one of the aliases, where the alias is a word of
//   its own (not the end of a longer name such as "建築士法"), links into the
//   alias's law;
// - a reference right after any other name of a law or its citation
//   ("建築士法第三条", "同法第三条", "規則第三条", "附則第三条",
//   "…号）第三条") stays plain text;
// - every other reference ("第二十条", "、第六条の二", "十分間第百八条") links
//   to the article of the same law, if that article exists;
// - a reference that continues an enumeration ("法第六条第一項及び第七条",
//   "建築士法第三条から第五条まで") belongs to the law of the one before it.
std::string mark_references(std::string_view text, const ReferenceScope& scope);

} // namespace velto::import
