// Keyboard and focus rules shared by the contents tree and the three lists.
#include "tests/nav/pane_fixture.h"

#include "settings/settings.h"
#include "nav/control_ids.h"
#include "nav/list_bmk.h"
#include "nav/list_lst.h"
#include "nav/list_sch.h"
#include "nav/nav_keys.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace velto::test {
namespace {

using NavKeys = PaneFixture;

// Longer than a held key's release waits for the press that may follow it.
constexpr int kReleaseSettleMs = 300;

TEST_F(NavKeys, HoldingDownMovesWithoutShowingAndTheReleaseShowsOnePage)
{
    open_pane();
    doc->toggles().Synchro = 0;
    pane->_select_tab(kTabSearch);
    VListSch* list = pane->search_list();
    const std::vector<std::string> ids = fill_list(list, 8);
    page->setFocus();
    list->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(list->_last_selected_row(), 0);
    ASSERT_TRUE(view.shown.empty());

    // A single tap shows the next row, and its release nothing more.
    send_key(list, QEvent::KeyPress, Qt::Key_Down);
    send_key(list, QEvent::KeyRelease, Qt::Key_Down);
    QTest::qWait(kReleaseSettleMs);
    EXPECT_EQ(view.shown, std::vector<std::string>{ids[1]});
    EXPECT_EQ(QApplication::focusWidget(), list);
    view.forget();

    // Held: the first press moves and shows, the repeats only move. Window
    // systems send a release before each repeat, and under load the repeat
    // flag is missing from some of these pairs: a release and a press of the
    // same moment are still the key held.
    send_key(list, QEvent::KeyPress, Qt::Key_Down, false, Qt::NoModifier, 100);
    for (int i = 0; i < 3; ++i) {
        const bool flagged = i == 1;
        send_key(list, QEvent::KeyRelease, Qt::Key_Down, flagged, Qt::NoModifier, 200 + i);
        send_key(list, QEvent::KeyPress, Qt::Key_Down, flagged, Qt::NoModifier, 200 + i);
    }
    QTest::qWait(kReleaseSettleMs);
    EXPECT_EQ(list->_last_selected_row(), 5);
    EXPECT_EQ(view.shown, std::vector<std::string>{ids[2]});
    EXPECT_TRUE(NavHold::is_set());

    send_key(list, QEvent::KeyRelease, Qt::Key_Down, false, Qt::NoModifier, 300);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.shown.size() == 2; }, kReleaseSettleMs));
    QTest::qWait(kReleaseSettleMs);
    EXPECT_EQ(view.shown, (std::vector<std::string>{ids[2], ids[5]}));
    EXPECT_FALSE(NavHold::is_set());
    // Search results ask for the words to be painted (the switch is on by default).
    EXPECT_EQ(view.highlight_requests, 2);
    EXPECT_EQ(QApplication::focusWidget(), list);

    // Page keys hold the same way.
    view.forget();
    send_key(list, QEvent::KeyPress, Qt::Key_PageUp, true);
    EXPECT_TRUE(view.shown.empty());
    send_key(list, QEvent::KeyRelease, Qt::Key_PageUp);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.shown.empty(); }, kReleaseSettleMs));
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown.front(), list->_selected_id());
}

TEST_F(NavKeys, EnterOpensTheSelectedItemOfEachControl)
{
    open_pane();
    doc->toggles().Synchro = 0;
    for (int tab = 0; tab < kTabCount; ++tab) {
        SCOPED_TRACE(tab);
        pane->_select_tab(tab);
        QWidget* control = nullptr;
        std::string expected;
        if (tab == kTabContents) {
            VTreeCtrl* tree = pane->tree();
            const std::vector<std::string> ids = fill_tree(tree, 3);
            NavHoldGuard quiet;
            tree->_select_id(ids[1]);
            control = tree;
            expected = ids[1];
        } else {
            VListBase* list = static_cast<VListBase*>(pane->control(kIdContentsTree + tab));
            const std::vector<std::string> ids = fill_list(list, 3);
            quiet_select(list, 2);
            control = list;
            expected = ids[2];
        }
        page->setFocus();
        control->setFocus();
        view.forget();

        send_key(control, QEvent::KeyPress, Qt::Key_Return);
        send_key(control, QEvent::KeyRelease, Qt::Key_Return);
        EXPECT_EQ(view.shown, std::vector<std::string>{expected});
        EXPECT_EQ(view.focus_requests, 1);
        // The focus comes back to the control after the page took it.
        EXPECT_EQ(QApplication::focusWidget(), control);
    }
}

TEST_F(NavKeys, FocusingAListSelectsARowWithoutShowingIt)
{
    open_pane();
    pane->_select_tab(kTabBookmarks);
    VListBmk* list = pane->bookmark_list();

    // An empty list takes the focus and selects nothing.
    pane->add_button()->setFocus();
    list->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(list->_last_selected_row(), -1);

    fill_list(list, 3);
    pane->add_button()->setFocus();
    list->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(list->_last_selected_row(), 0);
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));
    EXPECT_TRUE(view.shown.empty());

    // Coming back keeps the row last selected.
    quiet_select(list, 2);
    pane->add_button()->setFocus();
    list->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(list->_last_selected_row(), 2);
    EXPECT_TRUE(view.shown.empty());
    EXPECT_FALSE(NavHold::is_set());

    // A mouse-style selection change afterwards is shown.
    list->_select_row(1);
    EXPECT_EQ(view.shown, std::vector<std::string>{list->_id_of_row(1)});
}

TEST_F(NavKeys, ListsKeepTheirRowIdentifiers)
{
    open_pane();
    pane->_select_tab(kTabList);
    VListLst* list = pane->article_list();
    ASSERT_EQ(list->columnCount(), 2);
    EXPECT_EQ(list->_column_of(VListBase::kColumnArticle), 0);
    EXPECT_EQ(list->_column_of(VListBase::kColumnTitle), 1);
    EXPECT_EQ(list->_column_of(VListBase::kColumnLaw), -1);

    const std::vector<std::string> ids = fill_list(list, 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(list->_row_of_id(ids[static_cast<std::size_t>(row)]), row);
        EXPECT_EQ(list->_id_of_row(row), ids[static_cast<std::size_t>(row)]);
    }
    EXPECT_EQ(list->_row_of_id("01A-00990000-00"), -1);

    quiet_select(list, 1);
    {
        NavHoldGuard quiet;
        list->_select_id("01A-00990000-00"); // unknown: the selection stays
        list->_select_row(7);                // no such row: likewise
        list->_select_row(-1);
    }
    EXPECT_EQ(list->_selected_id(), ids[1]);

    list->_clear();
    EXPECT_EQ(list->_row_count(), 0);
    EXPECT_EQ(list->_row_of_id(ids[0]), -1);
    EXPECT_EQ(list->_selected_id(), "");
}

} // namespace
} // namespace velto::test
