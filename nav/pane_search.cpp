// The pane's part in the full-text search: the 実行 button, the wait window,
// the commands that pass between the search, the pane and the page view, and
// the highlight switch that paints the search words in the page.
#include "compose/velto_doc.h"
#include "search/search_text.h"
#include "nav/combo_sch.h"
#include "nav/control_ids.h"
#include "nav/list_sch.h"
#include "nav/nav_pane.h"
#include "nav/search_wait_window.h"

namespace velto {

// ---- Commands --------------------------------------------------------------

bool C1stView::OnCommand(int command, int parameter)
{
    switch (command) {
    case kCmdWaitProgressStart:
    case kCmdWaitProgressStep:
    case kCmdWaitProgressHide:
        if (wait_window_)
            wait_window_->OnCommand(command, parameter);
        return true;
    case kCmdRemark:
        remark();
        return true;
    case kCmdSearchFinished:
        _close_wait_window();
        return true;
    case kCmdRecordSearch:
        search_entry_->_save_history(doc_.settings());
        return true;
    case kCmdFocusPage:
        if (view_)
            view_->focus_page();
        return true;
    default:
        return false;
    }
}

void C1stView::remark()
{
    if (current_tab_ != kTabSearch || !view_)
        return;
    const std::string find = view_->find_string();
    if (!find.empty())
        view_->mark_words(find, true);
    if (highlight_ != 0 && !last_search_text_.empty())
        view_->mark_words(last_search_text_, false);
}

// ---- Search tab ------------------------------------------------------------

void C1stView::prepare_search()
{
    if (doc_.connected())
        search_list_->prepare_search(doc_);
}

void C1stView::on_search_clicked()
{
    if (current_tab_ != kTabSearch || search_list_->searching())
        return;
    last_search_text_.clear();
    const SearchEntryCheck check = check_search_entry(search_entry_->_current_text());
    switch (check.action) {
    case SearchEntryAction::Empty:
        doc_.reporter().show(std::string(kSearchResultCaption), std::string(kSearchEmptyMessage), MessageButtons::Ok,
                             MessageIcon::Exclamation);
        search_entry_->setFocus(Qt::OtherFocusReason);
        return;
    case SearchEntryAction::Forbidden:
        doc_.reporter().show(std::string(kSearchResultCaption), forbidden_search_message(), MessageButtons::Ok,
                             MessageIcon::Exclamation);
        search_entry_->setFocus(Qt::OtherFocusReason);
        return;
    case SearchEntryAction::HiddenPage:
        if (frame_command_)
            frame_command_(kCmdHiddenPage);
        return;
    case SearchEntryAction::Search:
        _start_search(check.text);
        return;
    }
}

void C1stView::_start_search(const std::string& text)
{
    last_search_text_ = text;
    // The search closes the window with kCmdSearchFinished however it ends.
    _close_wait_window();
    wait_window_ = new SearchWaitWindow(this);
    search_list_->_search(text);
}

SearchWaitWindow* C1stView::wait_window() const
{
    return wait_window_.data();
}

void C1stView::_close_wait_window()
{
    if (wait_window_)
        wait_window_->finish();
    wait_window_.clear();
}

void C1stView::on_highlight_clicked(bool checked)
{
    highlight_ = checked ? 1 : 0;
    // Show the chosen result again, built with or without the search words painted.
    const std::string id = search_list_->_selected_id();
    if (id.empty() || !view_)
        return;
    view_->set_forced_rebuild();
    if (highlight_ != 0)
        view_->set_search_highlight_pending();
    view_->show(id);
}

} // namespace velto
