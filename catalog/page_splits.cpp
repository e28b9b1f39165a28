#include "catalog/page_splits.h"

#include "core/identifiers.h"

namespace velto {

namespace {

constexpr std::size_t kPageIdLength = 15;

// The pages of the page list (page_catalog.cpp) that may be split: every
// value add() counts as split passes "> 1" (a text or a blob does too). The
// article table is read straight through, not in the order of its key (a
// seek per article), and only the few split pages are sorted: the first
// split indicator or search result row does not wait for every article.
constexpr std::string_view kSplitStatement =
    "SELECT T_条.[ID_FN], T_条.[分割] FROM T_条 CROSS JOIN T_法 WHERE T_条.[分割] > 1 AND T_条.[表示] = YES AND "
    "LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND T_法.[表示] = YES ORDER BY +T_条.[ID_FN]";

} // namespace

void PageSplits::load(Database& db)
{
    split_.clear();
    for (auto rs = db.execute(kSplitStatement); !rs->eof(); rs->move_next())
        add(rs->text("ID_FN"), rs->number("分割"));
}

void PageSplits::add(const std::string& id, int parts)
{
    if (id.size() == kPageIdLength && parts > 1 && parts <= kMaxSplitPages)
        split_.insert_or_assign(id, std::make_pair(parts, page_suffix_value(id) + 1));
}

bool PageSplits::split(std::string_view id, int& count, int& number) const
{
    const auto it = split_.find(id);
    if (it == split_.end()) {
        count = number = 0;
        return false;
    }
    count = it->second.first;
    number = it->second.second;
    return true;
}

} // namespace velto
