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
        for (sqlite3* db : {active_search_, active_load_}) {
            if (db)
                sqlite3_interrupt(db);
        }
    }
    if (loader_.joinable())
        loader_.join();
    if (searcher_.joinable())
        searcher_.join();
}

void SearchService::set_active(sqlite3* db, bool loading)
{
    const std::lock_guard lock(mutex_);
    (loading ? active_load_ : active_search_) = db;
    // Stopping may have come just before this connection was known.
    if (db && stopping_)
        sqlite3_interrupt(db);
}

void SearchService::preload()
{
    if (preload_started_ || stopping_)
        return;
    preload_started_ = true;
    loader_ = std::thread([this] { load_text(); });
}

void SearchService::wait_for_preload()
{
    if (loader_.joinable())
        loader_.join();
}

bool SearchService::text_ready() const
{
    const std::lock_guard lock(mutex_);
    return corpus_ != nullptr;
}

void SearchService::load_text()
{
    try {
        Database db;
        db.open(connection_string_, "admin", "");
        set_active(db.handle(), true);
        auto corpus = std::make_shared<SearchCorpus>();
        bool loaded = false;
        try {
            loaded = corpus->load(db, &stopping_);
        } catch (const std::exception&) {
            loaded = false;
        }
        set_active(nullptr, true);
        if (loaded) {
            const std::lock_guard lock(mutex_);
            corpus_ = std::move(corpus);
        }
    } catch (const std::exception&) {
        // Searches keep using the statements.
    }
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
    try {
        if (!db_) {
            auto db = std::make_unique<Database>();
            db->open(connection_string_, "admin", "");
            db_ = std::move(db);
        }
    } catch (const ComponentError& error) {
        outcome = SearchOutcome{SearchOutcome::Status::Failed, {}, error};
    } catch (const std::exception&) {
        outcome = SearchOutcome{SearchOutcome::Status::Unexpected, {}, std::nullopt};
    }
    if (db_) {
        std::shared_ptr<const SearchCorpus> corpus;
        {
            const std::lock_guard lock(mutex_);
            corpus = corpus_;
        }
        set_active(db_->handle(), false);
        FullTextSearch search(*db_, corpus.get());
        outcome = search_words(search, words, advance, &stopping_);
        set_active(nullptr, false);
    }
    if (stopping_)
        outcome = SearchOutcome{SearchOutcome::Status::Cancelled, {}, std::nullopt};
    busy_ = false;
    if (done)
        done(std::move(outcome));
}

} // namespace velto
