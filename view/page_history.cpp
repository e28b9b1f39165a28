// The back/forward history and the reading position of every page: the
// history commands, scroll positions read and restored, and what happens once
// a page has loaded.
#include "view/page_view.h"

#include "view/page_bridge.h"
#include "view/page_find_bar.h"
#include "view/view_page.h"

#include <QApplication>

#include <utility>

namespace velto {

bool C2ndView::_scroll_position(int& x, int& y) const
{
    x = y = 0;
    if (current_id_.empty())
        return false;
    if (assumed_position_) {
        x = assumed_position_->x();
        y = assumed_position_->y();
        return true;
    }
    const QPointF position = page_->scrollPosition();
    x = qRound(position.x());
    y = qRound(position.y());
    return true;
}

void C2ndView::_scroll_to(int x, int y)
{
    if (x == 0 && y == 0)
        return;
    assumed_position_ = QPoint(x, y);
    bridge_->run(QStringLiteral("window.scrollTo(%1, %2);").arg(x).arg(y));
}

void C2ndView::remember_scroll()
{
    int x = 0, y = 0;
    _scroll_position(x, y);
    set_pending_scroll(x, y);
}

void C2ndView::set_pending_scroll(int x, int y)
{
    pending_x_ = x;
    pending_y_ = y;
}

void C2ndView::_after_load()
{
    if (search_highlight_pending_ && pane_ && pane_->current_tab() == 2) {
        search_highlight_pending_ = false;
        pane_->remark();
    } else {
        if (pending_x_ != 0 || pending_y_ != 0) {
            const int x = std::exchange(pending_x_, 0);
            const int y = std::exchange(pending_y_, 0);
            _scroll_to(x, y);
        }
        _place_pending_mark();
        place_kept_sentence();
    }
    _colour_pinpoint_links();
}

void C2ndView::history_command(int id)
{
    const std::string current = current_id_;
    if (current.size() != kPageIdLength)
        return;
    NavigationHistory& history = this->history();
    // Started in the page (a key, a gesture, the context menu): the keyboard stays there.
    const bool from_page = has_focus_within();
    HistoryEntry target;
    switch (id) {
    case kPrevious: target = doc_._prev_page(current); break;
    case kNext: target = doc_._next_page(current); break;
    case kBack:
        if (!history.step_back(target))
            return;
        break;
    case kForward:
        if (!history.step_forward(target))
            return;
        break;
    default: return;
    }

    bool shown = false;
    if (target.id.size() == kPageIdLength) {
        set_pending_scroll(target.x, target.y);
        shown = _show(target.id);
    }
    if (!shown) {
        // Nothing moved: the history stays as it was and no position waits.
        if (id == kBack)
            history.undo_step_back(target);
        else if (id == kForward)
            history.undo_step_forward(target);
        set_pending_scroll(0, 0);
        return;
    }
    // The find bar keeps the keys it has; anywhere else the page takes them.
    const QWidget* focus = QApplication::focusWidget();
    if (!(from_page && focus && find_bar_->isAncestorOf(focus)))
        _focus_page();
    if (pane_) {
        if (synchronisation_active())
            pane_->_sync(target.id);
        if (!from_page)
            pane_->_focus_current();
    }
}

} // namespace velto
