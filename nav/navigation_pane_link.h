// What the page view needs of the left navigation pane. The pane implements
// it; the page view holds a pointer that stays null until the pane exists.
#pragma once

#include <string>

namespace velto {

class NavigationPaneLink {
public:
    virtual ~NavigationPaneLink() = default;
    // Makes the current tab's control point at page `id` (tabs 0 and 1 only);
    // true when anything was done.
    virtual bool _sync(const std::string& id) = 0;
    // Gives the keyboard focus to the current tab's control.
    virtual void _focus_current() = 0;
    // The current tab: 0 目次, 1 リスト, 2 全文検索, 3 しおり.
    virtual int current_tab() const = 0;
    // Re-applies the search-word marks of the page (command 32773).
    virtual void remark() = 0;
};

} // namespace velto
