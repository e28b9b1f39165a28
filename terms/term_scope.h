// The stretch of a law's sentences a definition holds for, from the unit its
// words name: the whole law, its chapter, section, article, paragraph or item,
// all of it or from the defining sentence on (以下).
//
// The outline is told each page of the law with its heading (T_条.ID_SN);
// the chapter and section of a page are read from the heading's groups
// ("HHH-CCcc-SSss-…"). A unit the page does not have (a chapter of a law
// without chapters) widens to the next one up. A definition made in a
// supplementary provision or an appended table holds within its page group
// at most: what 附則 defines is not the main provision's word.
#pragma once

#include "terms/defined_term.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace velto {

class LawOutline {
public:
    // A page (ID_FN) of the law and its heading; pages may come in any order.
    void add_page(std::string_view id_fn, std::string_view id_sn);
    // Sets first and last of `t` (made in a sentence of this law).
    void set_bounds(DefinedTerm& t) const;

private:
    std::map<std::string, std::string, std::less<>> heading_of_page_;
    std::map<std::string, std::pair<std::string, std::string>, std::less<>> pages_of_group_; // group -> first, last page
};

} // namespace velto
