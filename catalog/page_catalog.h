// The laws and pages the reader knows, loaded once at start-up.
#pragma once

#include "catalog/page_splits.h"
#include "core/database.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velto {

// A page and the scroll offsets it had when it was left.
struct HistoryEntry {
    std::string id;
    int x = 0;
    int y = 0;
};

struct LawNames {
    std::string general;     // 法名一般
    std::string abbreviated; // 法名略式
    std::string official;    // 法名正式
};

// Name types of `LawCatalog::name`.
enum LawNameType { kLawNameGeneral = 1, kLawNameAbbreviated = 2, kLawNameOfficial = 3 };

class LawCatalog {
public:
    // Loads the laws shown by the reader. False when there is none; throws ComponentError.
    bool load(Database& db);

    // 2: abbreviated, 3: official, any other type: the general name; empty when unknown.
    std::string name(std::string_view id_hn, int type) const;
    const std::vector<std::string>& order() const { return order_; }

private:
    std::vector<std::string> order_;
    std::map<std::string, LawNames, std::less<>> names_;
};

class PageCatalog {
public:
    // Loads every displayable page. False when there is none; throws ComponentError.
    bool load(Database& db);
    // Whether there is a displayable page at all, without loading the pages; throws ComponentError.
    static bool any(Database& db);

    // The ordered list of pages with exactly 15-character identifiers.
    const std::vector<HistoryEntry>& pages() const { return pages_; }
    // The entry of a page in the ordered list, to keep its reading position; null when absent.
    HistoryEntry* find(std::string_view id);

    bool names(std::string_view id, std::string& article_name, std::string& supplement) const;
    // Page count (2 to kMaxSplitPages) and page number of a split page.
    bool split(std::string_view id, int& count, int& number) const { return splits_.split(id, count, number); }
    bool is_abbreviated(std::string_view id) const;
    void mark_abbreviated(std::string_view id);

    HistoryEntry previous(std::string_view id) const;
    HistoryEntry next(std::string_view id) const;

private:
    std::vector<HistoryEntry> pages_;
    std::unordered_map<std::string, std::size_t> position_; // first entry of each identifier
    std::map<std::string, std::pair<std::string, std::string>, std::less<>> names_;
    PageSplits splits_;
    std::set<std::string, std::less<>> abbreviated_;
};

} // namespace velto
