// The reader's back and forward history.
//
// Every page the view leaves is recorded with the scroll offsets it had, so
// that going back or forward returns to the place where the page was read.
// The back stack keeps the 50 newest pages; the forward stack only receives
// pages taken from the back stack. The ordered article list of the document
// keeps the last reading position of every page as well.
#pragma once

#include "catalog/page_catalog.h"

#include <cstddef>
#include <deque>
#include <string_view>

namespace velto {

class NavigationHistory {
public:
    static constexpr std::size_t kBackLimit = 50;

    // Records the page being left:
    // - an entry whose id is not 15 characters long is ignored;
    // - the page's entry in the ordered list takes the entry's scroll offsets;
    // - after a back step the entry goes onto the forward stack;
    // - otherwise it goes onto the back stack (the oldest entry is dropped
    //   beyond 50), and a navigation that is not a forward step empties the
    //   forward stack.
    void _history_add(const HistoryEntry& entry, PageCatalog& pages);

    // The back (forward) command is available: a page is shown and the stack is not empty.
    bool can_go_back(std::string_view current_id) const;
    bool can_go_forward(std::string_view current_id) const;

    // A back (forward) step: takes the newest entry off the stack and marks the
    // step, so that the next record goes to the right stack. False, with
    // nothing changed, when the stack is empty.
    bool step_back(HistoryEntry& target);
    bool step_forward(HistoryEntry& target);
    // The page of a step could not be shown: the entry returns to its stack
    // and the step is forgotten, so the history is as it was before the step.
    void undo_step_back(const HistoryEntry& target);
    void undo_step_forward(const HistoryEntry& target);

    const std::deque<HistoryEntry>& back() const { return back_; }
    const std::deque<HistoryEntry>& forward() const { return forward_; }
    bool going_back() const { return going_back_; }
    bool going_forward() const { return going_forward_; }

private:
    std::deque<HistoryEntry> back_;    // newest at the end
    std::deque<HistoryEntry> forward_; // newest at the end
    bool going_back_ = false;
    bool going_forward_ = false;
};

} // namespace velto
