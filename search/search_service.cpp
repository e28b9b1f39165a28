#include "search/search_service.h"

#include <sqlite3.h>

#include <utility>

namespace velto {

SearchService::SearchService(std::string connection_string) : connection_string_(std::move(connection_string)) {}

SearchService::~SearchService()
{
    stopping_ = true;
    {
        const std::lock_guard lock(mutex_);
        if (active_)
            sqlite3_interrupt(active_);
    }
    if (preloaded_.valid())
        preloaded_.wait();
    if (searcher_.joinable())
        searcher_.join();
}

void SearchService::set_active(sqlite3* db)
{
    const std::lock_guard lock(mutex_);
    active_ = db;
    // Stopping may have come just before this connection was known.
    if (db && stopping_)
        sqlite3_interrupt(db);
}

void SearchService::preload()
{
    if (preloaded_.valid() || stopping_ || busy_)
        return;
    preloaded_ = std::async(std::launch::async, [this] {
                     try {
                         open();
                     } catch (const std::exception&) {
                         // The first search opens it again and reports what fails.
                     }
                 }).share();
}

void SearchService::wait_for_preload()
{
    if (preloaded_.valid())
        preloaded_.wait();
}

void SearchService::open()
{
    if (db_)
        return;
    auto db = std::make_unique<Database>();
    db->open(connection_string_, "admin", "");
    set_active(db->handle());
    std::unique_ptr<SearchIndex> index = SearchIndex::open(*db);
    set_active(nullptr);
    db_ = std::move(db);
    index_ = std::move(index);
    index_ready_ = index_ != nullptr;
}

bool SearchService::start(std::vector<std::string> words, SearchProgress advance, Done done)
{
    if (busy_ || stopping_)
        return false;
    // The previous search has called its `done`; its thread ends at once.
    if (searcher_.joinable())
        searcher_.join();
    busy_ = true;
    searcher_ = std::thread([this, words = std::move(words), advance = std::move(advance),
                             done = std::move(done)] { run(words, advance, done); });
    return true;
}

void SearchService::run(std::vector<std::string> words, const SearchProgress& advance, const Done& done)
{
    SearchOutcome outcome;
    if (preloaded_.valid())
        preloaded_.wait();
    try {
        open();
    } catch (const ComponentError& error) {
        outcome = SearchOutcome{SearchOutcome::Status::Failed, {}, error};
    } catch (const std::exception&) {
        outcome = SearchOutcome{SearchOutcome::Status::Unexpected, {}, std::nullopt};
    }
    if (db_) {
        set_active(db_->handle());
        FullTextSearch search(*db_, index_.get());
        outcome = search_words(search, words, advance, &stopping_);
        set_active(nullptr);
    }
    if (stopping_)
        outcome = SearchOutcome{SearchOutcome::Status::Cancelled, {}, std::nullopt};
    busy_ = false;
    if (done)
        done(std::move(outcome));
}

} // namespace velto
