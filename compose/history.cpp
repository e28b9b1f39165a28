#include "compose/history.h"

#include "core/identifiers.h"

namespace velto {

void NavigationHistory::_history_add(const HistoryEntry& entry, PageCatalog& pages)
{
    if (entry.id.size() != kPageScope)
        return;
    if (HistoryEntry* listed = pages.find(entry.id)) {
        listed->x = entry.x;
        listed->y = entry.y;
    }
    if (going_back_) {
        going_back_ = false;
        forward_.push_back(entry);
        return;
    }
    back_.push_back(entry);
    if (back_.size() > kBackLimit)
        back_.pop_front();
    if (!going_forward_)
        forward_.clear();
    going_forward_ = false;
}

bool NavigationHistory::can_go_back(std::string_view current_id) const
{
    return current_id.size() == kPageScope && !back_.empty();
}

bool NavigationHistory::can_go_forward(std::string_view current_id) const
{
    return current_id.size() == kPageScope && !forward_.empty();
}

bool NavigationHistory::step_back(HistoryEntry& target)
{
    if (back_.empty())
        return false;
    going_back_ = true;
    target = back_.back();
    back_.pop_back();
    return true;
}

bool NavigationHistory::step_forward(HistoryEntry& target)
{
    if (forward_.empty())
        return false;
    going_forward_ = true;
    target = forward_.back();
    forward_.pop_back();
    return true;
}

void NavigationHistory::undo_step_back(const HistoryEntry& target)
{
    going_back_ = false;
    back_.push_back(target);
}

void NavigationHistory::undo_step_forward(const HistoryEntry& target)
{
    going_forward_ = false;
    forward_.push_back(target);
}

} // namespace velto
