// Which displayable pages belong to an article split over several pages
// (T_条.分割 from 2 to kMaxSplitPages), and which page of it each is.
//
// The page list (page_catalog.h) holds the same facts for every page; this
// reads only the split pages, so that a caption or a result row can tell
// "(P.02/05)" without the whole page list being read. Both apply one rule
// (add), so they never differ.
#pragma once

#include "core/database.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace velto {

// The most pages an article can be split into: page numbers are the two
// digits "-00" to "-99" of a page identifier. A larger 分割 is a fault of the
// database; such a page is treated as not split.
inline constexpr int kMaxSplitPages = 100;

class PageSplits {
public:
    // Reads the split pages among the displayable ones. Throws ComponentError.
    void load(Database& db);

    // Records a displayable page whose 分割 is `parts`; a page that is not
    // split, or whose identifier is not 15 characters long, is left out.
    void add(const std::string& id, int parts);

    // Page count (2 to kMaxSplitPages) and page number (from 1) of a split page.
    bool split(std::string_view id, int& count, int& number) const;

private:
    std::map<std::string, std::pair<int, int>, std::less<>> split_;
};

} // namespace velto
