// Finds the definitions a law makes, in its sentences as the database stores
// them (the text of T_文.法文, link marks and character references included).
//
// Three forms are read:
//   - the items of a definitions article: a sentence saying
//     「この法律において次の各号に掲げる用語の意義は…」 and the items of its
//     paragraph, each beginning with its term and a full-width blank
//     ("主要構造部　壁、柱、床…");
//   - 「この法律（この章、この条 …）において「X」とは…をいう。」, every 「X」とは
//     of such a sentence;
//   - inline 「以下「X」という。」 and 「以下この条（項、章 …）において「X」という。」,
//     with several terms in one (「以下それぞれ「A」又は「B」という。」).
// Each definition gets the unit its words name (the whole law when they name
// none) and whether it holds from its sentence on (以下). The ranges the
// scopes cover are left to term_scope.h, which knows the law's chapters.
//
// Any text may be passed: what does not read as one of the forms is no
// definition, and a term is never longer than 40 characters.
#pragma once

#include "terms/defined_term.h"

#include <string_view>
#include <vector>

namespace velto {

struct LawSentence {
    std::string_view id;   // ID_BN
    std::string_view text; // 法文 as stored
};

// The definitions made in `sentences` (one law, in the order of their
// identifiers), in the order of the text; first and last are left empty.
std::vector<DefinedTerm> find_definitions(const std::vector<LawSentence>& sentences);

} // namespace velto
