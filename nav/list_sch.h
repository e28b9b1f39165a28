// The result list of the "全文検索" tab: one row per page that holds every
// word of the search text, with columns "法名" and "条".
//
// A search runs on a thread of its own (search/search_service.h), with a
// connection of its own, while the pane's wait window plays its animation;
// its progress, rows, messages and the commands that end it all come back on
// this list's thread. One search at a time. The service's connection and the
// database's search index are opened in the background once prepare_search
// is called, else by the first search.
#pragma once

#include "search/page_search.h"
#include "nav/list_base.h"

#include <functional>
#include <memory>
#include <string>

namespace velto {

class SearchService;

class VListSch : public VListBase {
    Q_OBJECT

public:
    static constexpr unsigned kColumns = kColumnLaw | kColumnArticle;
    static constexpr bool kIcons = false;

    explicit VListSch(QWidget* parent = nullptr);
    ~VListSch() override;

    // Sends the pane one of its commands: the search finished (close the wait
    // window), record the search text, re-apply the marks, focus the page.
    std::function<void(int command)> pane_command;
    // Sends the wait window one of its progress commands, with its parameter.
    std::function<void(int command, int parameter)> wait_command;

    // Opens the search's connection to `doc`'s database and its index in the
    // background, for the searches to come.
    void prepare_search(CVeltoDoc& doc);

    // Searches all pages for the words of `text`, a trimmed and normalised
    // search text (see _search_in_all_pages_2nd).
    bool _search(const std::string& text) { return _search_in_all_pages_2nd(text); }
    // Starts the search: true when it runs; its end refills the list, tells
    // the count and sends kCmdRecordSearch, kCmdRemark and kCmdFocusPage.
    // False when it does not start: a text without words
    // (silently), more than three words (told), or a search still running.
    // Every ending, started or not, sends kCmdSearchFinished; a search that
    // fails leaves the rows as they were.
    bool _search_in_all_pages_2nd(const std::string& text);
    bool searching() const { return searching_; }
    // The law database was replaced: the rows and the search index read
    // from the old one go (a search running is stopped and its news dropped);
    // the next search or prepare_search opens the new file.
    void forget_database();
    // The service the searches run on; null before the first search or prepare.
    SearchService* search_service() const { return service_.get(); }

private:
    SearchService& service(CVeltoDoc& doc);
    void finish_search(SearchOutcome outcome);

    void send_pane(int command)
    {
        if (pane_command)
            pane_command(command);
    }
    void send_wait(int command, int parameter = 0)
    {
        if (wait_command)
            wait_command(command, parameter);
    }

    std::unique_ptr<SearchService> service_;
    bool searching_ = false;
};

} // namespace velto
