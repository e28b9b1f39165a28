// Runs full-text searches away from the window's thread, each on a read-only
// connection of the service's own, and reads the searchable text into memory
// in the background once asked to (preload), after which searches use it.
// Until the text is in memory, searches run the statements.
//
// One search at a time. The callbacks of a search run on the search's thread;
// the caller brings their news to its own thread. Destroying the service
// stops what runs (an interrupted search ends Cancelled) and waits for it.
#pragma once

#include "search/page_search.h"
#include "search/search_corpus.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct sqlite3;

namespace velto {

class SearchService {
public:
    using Done = std::function<void(SearchOutcome)>;

    // `connection_string` names the law database as the document's does.
    explicit SearchService(std::string connection_string);
    ~SearchService();
    SearchService(const SearchService&) = delete;
    SearchService& operator=(const SearchService&) = delete;

    // Starts reading the searchable text into memory, once; later calls do
    // nothing. A failure to read leaves the searches on the statements.
    void preload();
    // Whether the searchable text is in memory.
    bool text_ready() const;
    // Waits until a preload that was started has ended.
    void wait_for_preload();

    // Starts searching `words` (1 to kMaxSearchWords). `advance` hears the
    // progress steps; `done` the outcome, last. False, with nothing started,
    // while another search runs.
    bool start(std::vector<std::string> words, SearchProgress advance, Done done);
    // Whether a search is running (until its `done` has returned).
    bool busy() const { return busy_.load(); }

private:
    void run(std::vector<std::string> words, const SearchProgress& advance, const Done& done);
    void load_text();
    // The connection a thread works on, so that closing the service can interrupt it.
    void set_active(sqlite3* search, bool loading);

    const std::string connection_string_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> busy_{false};
    bool preload_started_ = false; // touched by the owner's thread only

    mutable std::mutex mutex_; // guards corpus_ and the active handles
    std::shared_ptr<const SearchCorpus> corpus_;
    sqlite3* active_search_ = nullptr;
    sqlite3* active_load_ = nullptr;

    std::thread loader_;
    std::thread searcher_;
    // The search's own connection, opened by its first search and kept.
    std::unique_ptr<Database> db_;
};

} // namespace velto
