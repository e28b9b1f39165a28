// Full-text search over all displayable pages: the pages that hold every
// word of a search text (at most three) in their title, a sentence or a table.
//
// Each word is looked up by three statements (titles, sentences, tables) and
// their pages merged; the words' page sets are then intersected. With the
// database's search index (search/search_index.h) a word is looked up there
// instead, with the same result; a word the index cannot answer, or a
// damaged index, leaves the word to the statements. Everything here runs
// without a window and on any thread; database failures are thrown as
// ComponentError for the caller to report.
#pragma once

#include "search/search_index.h"
#include "core/database.h"
#include "core/identifiers.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

class PageDirectory;

// Steps of the progress bar per word: one before the titles, one before the
// sentences, four before the tables.
inline constexpr int kSearchStepsPerWord = 6;
inline constexpr std::size_t kMaxSearchWords = 3;

inline constexpr std::string_view kSearchFoundFormat = "%d件見つかりました。";
inline constexpr std::string_view kSearchNothingFound = "見つかりませんでした。";
inline constexpr std::string_view kSearchTooManyWords = "検索できる単語は３個までです。";

// Who reports a failure: a word's statements, or the search as a whole.
inline constexpr ReportOrigin kSearchWordOrigin{"全文検索", "VListSch::_search_in_all_pages_sub()"};
inline constexpr ReportOrigin kSearchOrigin{"検索結果", "VListSch::_search_in_all_pages_2nd()"};

// Called with a number of steps as the search gets on.
using SearchProgress = std::function<void(int steps)>;

class FullTextSearch {
public:
    // `index` (of `db`'s database) may be null: every word then goes to the statements.
    FullTextSearch(Database& db, const SearchIndex* index) : db_(db), index_(index) {}

    // The pages that hold `word`, in byte order, each once: the three
    // statements' results merged, or the index's answer for the same.
    // `advance` hears the word's six steps. Throws ComponentError.
    void _search_in_all_pages_sub(const std::string& word, std::vector<std::string>& pages,
                                  const SearchProgress& advance = {});

    // The pages that hold every word, in byte order, each once: the words'
    // pages intersected. Through the index the pages left by the words
    // before are the only ones a word is looked for in. `advance` hears each
    // word's six steps. Throws ComponentError.
    std::vector<std::string> pages_with_all(const std::vector<std::string>& words, const SearchProgress& advance = {});

    // The same by the statements alone, whatever the index.
    void search_by_statements(const std::string& word, std::vector<std::string>& pages,
                              const SearchProgress& advance = {});

private:
    Database& db_;
    const SearchIndex* index_;
};

// How a search of words ended.
struct SearchOutcome {
    enum class Status { Done, Failed, Unexpected, Cancelled };
    Status status = Status::Done;
    std::vector<std::string> pages;     // Done: the pages holding every word, byte order
    std::optional<ComponentError> error; // Failed: the database's error
};

// Searches every word in order (1 to kMaxSearchWords of them) and keeps the
// pages found for all. Stops at the first failing word; `cancel`, when set,
// ends the search between words and statements.
SearchOutcome search_words(FullTextSearch& search, const std::vector<std::string>& words,
                           const SearchProgress& advance = {}, const std::atomic<bool>* cancel = nullptr);

// The pages in both sorted lists, in byte order.
std::vector<std::string> intersect_pages(const std::vector<std::string>& a, const std::vector<std::string>& b);

// A row of the result list: the page, its law's general name (法名) and its
// label (条): the article without "第", "附則", the notice number in its short
// form, the appended table, else "不明"; a page of a split article adds
// " (P.pp/nn)".
struct SearchRow {
    std::string id;
    std::string law;
    std::string label;
};
// The law's name and the page's split come from `directory`, which need not
// have read its page list.
SearchRow search_row(const PageDirectory& directory, std::string_view id);

// The message that ends a search with `count` pages found.
std::string search_result_message(std::size_t count);

} // namespace velto
