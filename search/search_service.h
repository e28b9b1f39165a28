// Runs full-text searches away from the window's thread, each on a read-only
// connection of the service's own. The connection and the database's search
// index (search/search_index.h) are opened once, by the first search or
// ahead of it in the background (preload), and kept; a database without an
// index is searched by the statements, with the same rows.
//
// One search at a time. The callbacks of a search run on the search's thread;
// the caller brings their news to its own thread. Destroying the service
// stops what runs (an interrupted search ends Cancelled) and waits for it.
#pragma once

#include "search/page_search.h"
#include "search/search_index.h"

#include <atomic>
#include <functional>
#include <future>
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

    // Starts opening the connection and the index in the background, once;
    // later calls do nothing. A failure to open is left for the first search
    // to report.
    void preload();
    // Waits until a preload that was started has ended.
    void wait_for_preload();
    // Whether the connection is open and words are answered from the database's index.
    bool index_ready() const { return index_ready_.load(); }

    // Starts searching `words` (1 to kMaxSearchWords). `advance` hears the
    // progress steps; `done` the outcome, last. False, with nothing started,
    // while another search runs.
    bool start(std::vector<std::string> words, SearchProgress advance, Done done);
    // Whether a search is running (until its `done` has returned).
    bool busy() const { return busy_.load(); }

private:
    void run(std::vector<std::string> words, const SearchProgress& advance, const Done& done);
    // Opens the connection and reads the index unless that has been done.
    // Throws ComponentError when the database cannot be opened.
    void open();
    // The connection a thread works on, so that closing the service can interrupt it.
    void set_active(sqlite3* db);

    const std::string connection_string_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> busy_{false};
    std::atomic<bool> index_ready_{false};

    std::mutex mutex_; // guards active_
    sqlite3* active_ = nullptr;

    // Set while a preload runs or has run; a search waits for it before it
    // touches the connection.
    std::shared_future<void> preloaded_;
    std::thread searcher_;
    // Written by the preload or the first search, read by later searches.
    std::unique_ptr<Database> db_;
    std::unique_ptr<SearchIndex> index_;
};

} // namespace velto
