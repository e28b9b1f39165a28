// The searchable text of every displayable page, held in memory, so that a
// word is found in tens of milliseconds where the database's substring scan
// over all sentences takes hundreds.
//
// The pages found for a word are exactly those the three search statements
// (search/page_search.h) find: a page counts when its title (条名), one of
// its sentences or one of its tables (検索用データ) holds the word as SQLite's
// LIKE '%word%' sees it: Latin letters of either case match, and a text ends
// at its first NUL. Texts that are not plain UTF-8 are matched by SQLite's own
// LIKE routine. Words the corpus cannot answer that way (serves() false) are
// left to the statements.
//
// A loaded corpus is never changed, so any number of threads may search it.
#pragma once

#include "core/database.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velto {

class SearchCorpus {
public:
    // Reads the titles, sentences and tables of the displayable pages. False
    // when `cancel` was set meanwhile (the corpus is then empty). Throws
    // ComponentError.
    bool load(Database& db, const std::atomic<bool>* cancel = nullptr);

    // Whether find() answers `word` as the statements do: not for a word that
    // holds a wildcard of LIKE ("%", "_"), a NUL, or anything but plain UTF-8.
    static bool serves(std::string_view word);

    // The pages whose searchable text holds `word` (a served word), in byte
    // order of their identifiers, each once.
    std::vector<std::string> find(std::string_view word) const;

    std::size_t page_count() const { return ids_.size(); }
    // Bytes of text held.
    std::size_t text_bytes() const;

private:
    struct OddText {
        std::size_t page;
        std::string text; // as stored, up to its first NUL
    };

    std::size_t add_page(std::string id, bool takes_texts);
    void add_text(std::size_t page, std::string_view text);
    // Empties the corpus; false, for a load that stops.
    bool clear();

    std::vector<std::string> ids_;
    // Per page: its texts, ASCII letters in lower case, each followed by a NUL.
    std::vector<std::string> texts_;
    // Pages that the sentences and tables belong to, by identifier.
    std::unordered_map<std::string, std::size_t> page_of_id_;
    std::vector<OddText> odd_texts_;
};

} // namespace velto
