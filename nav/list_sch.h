// The result list of the "全文検索" tab: one row per page that holds every
// word of the search text, with columns "法名" and "条".
#pragma once

#include "nav/list_base.h"

#include <functional>
#include <string>

namespace velto {

class VListSch : public VListBase {
    Q_OBJECT

public:
    static constexpr unsigned kColumns = kColumnLaw | kColumnArticle;
    static constexpr bool kIcons = false;

    explicit VListSch(QWidget* parent = nullptr);

    // Sends the pane one of its commands: the search finished (close the wait
    // window), record the search text, re-apply the marks, focus the page.
    std::function<void(int command)> pane_command;

    // Searches all pages for the words of `text`, a trimmed and normalised
    // search text. True when a result list was produced.
    bool _search(const std::string& text);

protected:
    void send_pane(int command)
    {
        if (pane_command)
            pane_command(command);
    }
};

} // namespace velto
