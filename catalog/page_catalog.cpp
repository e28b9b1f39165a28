#include "catalog/page_catalog.h"

#include "core/identifiers.h"

namespace velto {

namespace {

constexpr std::size_t kPageIdLength = 15;

constexpr std::string_view kLawStatement = "SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]";
constexpr std::string_view kPageStatement =
    "SELECT * FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND  T_条.[表示] = YES AND  "
    "T_法.[表示] = YES ORDER BY [ID_FN]";

} // namespace

bool LawCatalog::load(Database& db)
{
    auto rs = db.execute(kLawStatement);
    if (rs->eof())
        return false;
    order_.clear();
    names_.clear();
    for (; !rs->eof(); rs->move_next()) {
        std::string id = rs->text("ID_HN");
        names_[id] = LawNames{rs->text("法名一般"), rs->text("法名略式"), rs->text("法名正式")};
        order_.push_back(std::move(id));
    }
    rs->close();
    return true;
}

std::string LawCatalog::name(std::string_view id_hn, int type) const
{
    const auto it = names_.find(id_hn);
    if (it == names_.end())
        return {};
    switch (type) {
    case kLawNameAbbreviated: return it->second.abbreviated;
    case kLawNameOfficial: return it->second.official;
    default: return it->second.general;
    }
}

bool PageCatalog::load(Database& db)
{
    auto rs = db.execute(kPageStatement);
    if (rs->eof())
        return false;
    pages_.clear();
    position_.clear();
    names_.clear();
    splits_ = PageSplits();
    std::string last_name;
    for (; !rs->eof(); rs->move_next()) {
        std::string id = rs->text("ID_FN");
        std::string name = rs->text("条名");
        std::string supplement = rs->text("補足");
        const int parts = rs->number("分割");
        const int suffix = page_suffix_value(id);
        if (suffix <= 0)
            last_name = name;
        else if (name.empty())
            name = last_name; // continuation pages carry the caption of their first page
        names_.insert_or_assign(id, std::make_pair(std::move(name), std::move(supplement)));
        splits_.add(id, parts);
        if (id.size() == kPageIdLength) {
            position_.try_emplace(id, pages_.size());
            pages_.push_back(HistoryEntry{std::move(id), 0, 0});
        }
    }
    rs->close();
    return true;
}

bool PageCatalog::any(Database& db)
{
    // The rows come in the order of the primary key: the first is there at once.
    return !db.execute(kPageStatement)->eof();
}

HistoryEntry* PageCatalog::find(std::string_view id)
{
    const auto it = position_.find(std::string(id));
    return it == position_.end() ? nullptr : &pages_[it->second];
}

bool PageCatalog::names(std::string_view id, std::string& article_name, std::string& supplement) const
{
    const auto it = names_.find(id);
    if (it == names_.end())
        return false;
    article_name = it->second.first;
    supplement = it->second.second;
    return true;
}

bool PageCatalog::is_abbreviated(std::string_view id) const { return abbreviated_.find(id) != abbreviated_.end(); }

void PageCatalog::mark_abbreviated(std::string_view id) { abbreviated_.emplace(id); }

HistoryEntry PageCatalog::previous(std::string_view id) const
{
    if (pages_.empty())
        return {};
    const auto it = position_.find(std::string(id));
    if (it == position_.end())
        return pages_.back();
    return it->second == 0 ? HistoryEntry{} : pages_[it->second - 1];
}

HistoryEntry PageCatalog::next(std::string_view id) const
{
    const auto it = position_.find(std::string(id));
    if (it == position_.end() || it->second + 1 >= pages_.size())
        return {};
    return pages_[it->second + 1];
}

} // namespace velto
