// A left pane on a small law database, beside a stand-in for the page view
// that records what it was asked to do.
#pragma once

#include "compose/velto_doc.h"
#include "nav/list_base.h"
#include "nav/nav_pane.h"
#include "nav/page_view_port.h"
#include "nav/tree_ctrl.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QWidget>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velto::test {

class FakePageView : public PageViewPort {
public:
    std::string current_id() const override { return current; }
    bool show(const std::string& id) override
    {
        shown.push_back(id);
        current = id;
        return true;
    }
    void set_forced_rebuild() override { ++forced_rebuilds; }
    void set_search_highlight_pending() override { ++highlight_requests; }
    void focus_page() override
    {
        ++focus_requests;
        if (page)
            page->setFocus(Qt::OtherFocusReason);
    }
    std::string find_string() const override { return find; }
    void mark_words(const std::string& text, bool clear) override { marks.emplace_back(text, clear); }

    void forget()
    {
        shown.clear();
        forced_rebuilds = highlight_requests = focus_requests = 0;
        marks.clear();
    }

    std::string current;
    std::string find;
    QWidget* page = nullptr; // takes the focus as the page window does
    std::vector<std::string> shown;
    int forced_rebuilds = 0;
    int highlight_requests = 0;
    int focus_requests = 0;
    std::vector<std::pair<std::string, bool>> marks;
};

// The words the tooltip on screen shows (its text rendered as a tooltip
// renders it).
std::string tooltip_words();

class PaneFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the pane in an active window, beside a focusable page widget.
    // Without a database the document stays closed.
    void open_pane(bool with_database = true);
    // Destroys the window and the pane (which writes its settings).
    void close_pane();

    // Page identifier number n of law 01A.
    static std::string page_id(int n);
    // Replaces the rows of a list by `count` pages, without showing any.
    static std::vector<std::string> fill_list(VListBase* list, int count);
    // Replaces the tree by one law node with `count` pages, without showing any.
    static std::vector<std::string> fill_tree(VTreeCtrl* tree, int count);
    // Selects without showing.
    static void quiet_select(VListBase* list, int row);
    // Types `text` into the search entry, clicks 実行 and waits until the
    // search has ended.
    void search(const QString& text);
    void wait_for_search();

    // `timestamp` is the moment of the event in milliseconds, 0 for none.
    static void send_key(QWidget* target, QEvent::Type type, int key, bool auto_repeat = false,
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint64 timestamp = 0);

    TempDir dir;
    MemorySettingsStore settings;
    CapturingReporter reporter;
    std::unique_ptr<CVeltoDoc> doc;
    FakePageView view;
    std::unique_ptr<QWidget> window;
    QWidget* page = nullptr;
    C1stView* pane = nullptr;
};

} // namespace velto::test
