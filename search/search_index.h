// The full-text search index of a law database, written with the database
// by its tools (search/search_index_writer.h): for every character the pages
// that hold it, for every pair of adjacent characters the pages and the
// places in them. A word of one or two characters is answered by its
// postings alone; a longer word by the places of pairs that cover it, which
// must stand one after another in a page; the few texts that are not plain
// UTF-8 are matched by SQLite's own LIKE. So every word comes out exactly as
// the search statements find it (search/page_search.h), without reading the
// text of any page, in time that grows with the postings of the word's
// characters, not with the text.
//
// Only the list of page identifiers is held in memory; postings are read as
// a word needs them. Any number of threads may search one index, each with
// a connection of its own.
#pragma once

#include "core/database.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

// The index's postings cannot be read as written: the caller searches by the
// statements instead.
struct SearchIndexFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class SearchIndex {
public:
    // Pages by their number in the index: their place in byte order.
    using Pages = std::vector<std::uint32_t>;

    // The index `db` holds, or null for a database without one, with an
    // index of another form or a damaged one, or one that cannot be read
    // (the statements then search, and report what fails).
    static std::unique_ptr<SearchIndex> open(Database& db);

    // The pages that hold `word` (like_answerable, search/like_text.h) in
    // their title, a sentence or a table, in byte order of their
    // identifiers, each once. `db` is a connection to the database the index
    // was opened on. Throws ComponentError, and SearchIndexFault for damaged
    // postings.
    std::vector<std::string> find(Database& db, std::string_view word) const { return ids(pages_of(db, word)); }

    // The same as numbers, only among `within` (sorted) when it is given:
    // the pages left by the words before need no other look.
    Pages pages_of(Database& db, std::string_view word, const Pages* within = nullptr) const;
    // The identifiers of pages.
    std::vector<std::string> ids(const Pages& pages) const;

    std::size_t page_count() const { return offsets_.size() - 1; }

private:
    struct OddText {
        std::uint32_t page;
        std::string text;
    };

    // open() without catching.
    static std::unique_ptr<SearchIndex> read(Database& db);
    Pages find_pages(Database& db, const std::u32string& word, const Pages* within) const;
    Pages find_phrase(Database& db, const std::u32string& word, const Pages* within) const;
    std::string_view id(std::uint32_t page) const
    {
        return std::string_view(ids_).substr(offsets_[page], offsets_[page + 1] - offsets_[page]);
    }

    // The identifiers one after another, and where each begins (one more, for the end).
    std::string ids_;
    std::vector<std::uint32_t> offsets_{0};
    std::vector<OddText> odd_texts_;
};

} // namespace velto
