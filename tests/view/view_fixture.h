// A program folder with pages for the page view, a started document and a
// page view in a small window, with helpers that wait (boundedly) for the
// browser.
#pragma once

#include "compose/velto_doc.h"
#include "tests/fixtures.h"
#include "view/page_view.h"

#include <gtest/gtest.h>

#include <QString>
#include <QUrl>
#include <QVariant>

#include <memory>
#include <string>
#include <vector>

namespace velto::test {

// Every wait for the browser ends after this many milliseconds.
inline constexpr int kWait = 10000;

// Laws 00A (cover with test links, legend), 01A (long articles with links, a
// large article, a split article, long article names, supplementary
// provisions, a table, and the generated articles 100 to 151), 05K (a split
// notification, listed only) and 09A (the last page of the list).
std::string view_fixture_sql();

// The identifier of generated article n (100 to 151).
std::string generated_page(int n);

// A navigation pane that records what the view asks of it.
struct FakePane : NavigationPaneLink {
    std::vector<std::string> synced;
    int focus_calls = 0;
    int remarks = 0;
    int tab = 0;

    bool _sync(const std::string& id) override
    {
        synced.push_back(id);
        return true;
    }
    void _focus_current() override { ++focus_calls; }
    int current_tab() const override { return tab; }
    void remark() override { ++remarks; }
};

class PageViewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The view in its window; `make` builds it (a test may give a subclass).
    void open_view(std::unique_ptr<C2ndView> made = nullptr);
    // First update, waiting for the start page.
    void start();
    // _show, then waits for the page; false when _show refused.
    bool show(const std::string& id);
    // Runs a script in the view's script world and returns its value.
    QVariant js(const QString& script);
    // Waits until the page shown reports its events to the view.
    bool wait_for_bridge();
    // The text of the page shown.
    QString page_text();
    bool has_element(const QString& selector);
    // Clicks the link `selector` and waits until the view has handled it (and,
    // when `load` is set, until the page has loaded).
    bool click(const QString& selector, bool load = true);
    // Clicks the middle of the element `selector` with the mouse (a click by
    // the reader, not by a script); false when there is no such element.
    bool mouse_click(const QString& selector, Qt::MouseButton button = Qt::LeftButton,
                     Qt::KeyboardModifiers modifiers = {});
    // Follows a link to `href` as if the page held one; waits until handled.
    bool follow(const QString& href, bool load = true);
    // Runs a command and waits for the page it shows.
    bool command(int id);
    void scroll_to(int y);
    int scroll_y();
    // Waits until the page shown is scrolled to y.
    bool wait_scroll(int y);
    std::vector<std::string> back_ids() const;
    std::vector<std::string> forward_ids() const;

    // More database content, set by a derived fixture before SetUp.
    std::vector<std::string> extra_sql;
    TempDir dir;
    MemorySettingsStore settings;
    CapturingReporter reporter;
    std::unique_ptr<CVeltoDoc> doc;
    std::unique_ptr<C2ndView> view;
    FakePane pane;
    std::vector<std::string> captions;
    std::vector<QUrl> opened;
    // Result of the last handled link.
    QString last_link;
    bool last_link_shown = false;
};

} // namespace velto::test
