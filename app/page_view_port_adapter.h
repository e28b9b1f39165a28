// Hands the left pane the page view of the main window.
#pragma once

#include "nav/page_view_port.h"
#include "view/page_view.h"

#include <QPointer>

namespace velto {

class PageViewPortAdapter : public PageViewPort {
public:
    void set_view(C2ndView* view) { view_ = view; }

    std::string current_id() const override { return view_ ? view_->_current_id() : std::string(); }
    bool show(const std::string& id) override { return view_ && view_->_show(id); }
    void set_forced_rebuild() override
    {
        if (view_)
            view_->set_forced_rebuild();
    }
    void set_search_highlight_pending() override
    {
        if (view_)
            view_->set_search_highlight_pending();
    }
    void focus_page() override
    {
        if (view_)
            view_->_focus_page();
    }
    std::string find_string() const override { return view_ ? view_->find_string() : std::string(); }
    void mark_words(const std::string& text, bool clear) override
    {
        if (view_)
            view_->_mark_words(text, clear);
    }

private:
    QPointer<C2ndView> view_;
};

} // namespace velto
