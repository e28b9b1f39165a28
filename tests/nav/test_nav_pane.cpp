// The left pane: tabs, synchronisation, the search entry, the highlight
// switch, the bookmark buttons and the values it keeps between runs.
#include "tests/nav/pane_fixture.h"

#include "settings/persisted_state.h"
#include "search/search_text.h"
#include "nav/combo_sch.h"
#include "nav/control_ids.h"
#include "nav/list_bmk.h"
#include "nav/list_lst.h"
#include "nav/list_sch.h"
#include "nav/nav_keys.h"
#include "search/search_service.h"
#include "nav/search_wait_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTreeWidgetItem>

namespace velto::test {
namespace {

using Pane = PaneFixture;

// Controls of each tab besides the tab strip.
const std::vector<std::vector<int>> kTabControls{
    {kIdContentsTree},
    {kIdLawSelector, kIdArticleList},
    {kIdSearchEntry, kIdSearchButton, kIdSearchList, kIdHighlightBox},
    {kIdBookmarkList, kIdAddBookmark, kIdDeleteBookmark},
};

void expect_tab_shown(const C1stView& pane, int tab)
{
    EXPECT_EQ(pane.current_tab(), tab);
    EXPECT_EQ(pane.tab_strip()->currentIndex(), tab);
    for (int t = 0; t < kTabCount; ++t) {
        for (int id : kTabControls[static_cast<std::size_t>(t)])
            EXPECT_EQ(pane.control(id)->isVisible(), t == tab) << "control " << id << " on tab " << tab;
    }
}

TEST_F(Pane, CtrlPageKeysStepThroughTheTabsAndWrap)
{
    settings.write_int(kSectionSettings, kValueTabPage, 3);
    open_pane();
    expect_tab_shown(*pane, 3);

    const std::vector<std::string> ids = fill_tree(pane->tree(), 2);
    view.current = ids[1];
    EXPECT_TRUE(pane->tab_key(Qt::Key_PageDown, Qt::ControlModifier));
    expect_tab_shown(*pane, 0);
    // Selected through _select_tab: with synchronisation on the tree follows the page.
    EXPECT_EQ(pane->tree()->_selected_id(), ids[1]);

    EXPECT_TRUE(pane->tab_key(Qt::Key_PageUp, Qt::ControlModifier));
    expect_tab_shown(*pane, 3);
    EXPECT_TRUE(pane->tab_key(Qt::Key_PageUp, Qt::ControlModifier));
    expect_tab_shown(*pane, 2);
    EXPECT_TRUE(pane->tab_key(Qt::Key_PageDown, Qt::ControlModifier));
    expect_tab_shown(*pane, 3);

    EXPECT_FALSE(pane->tab_key(Qt::Key_PageDown, Qt::NoModifier));
    EXPECT_FALSE(pane->tab_key(Qt::Key_Tab, Qt::ControlModifier));
    expect_tab_shown(*pane, 3);
}

TEST_F(Pane, WithoutSynchronisationChangingTabsMovesNoSelection)
{
    open_pane();
    pane->_select_tab(kTabList);
    const std::vector<std::string> rows = fill_list(pane->article_list(), 3);
    quiet_select(pane->article_list(), 0);
    pane->_select_tab(kTabContents);
    const std::vector<std::string> items = fill_tree(pane->tree(), 3);
    {
        NavHoldGuard quiet;
        pane->tree()->_select_id(items[0]);
    }

    // Synchronisation is off, or the page shown is one of the program's own.
    for (int synchro : {0, 1}) {
        SCOPED_TRACE(synchro);
        doc->toggles().Synchro = synchro;
        view.current = synchro ? std::string(kCoverPageId) : items[2];
        pane->_select_tab(kTabSearch);
        pane->_select_tab(kTabContents);
        pane->tab_strip()->setCurrentIndex(kTabList);
        pane->tab_strip()->setCurrentIndex(kTabSearch);
        pane->tab_strip()->setCurrentIndex(kTabContents);
        EXPECT_EQ(pane->tree()->_selected_id(), items[0]);
        EXPECT_EQ(pane->article_list()->_selected_id(), rows[0]);
        EXPECT_TRUE(view.shown.empty());
    }

    // With synchronisation on, a change of tab brings the tree to the page shown.
    doc->toggles().Synchro = 1;
    view.current = items[2];
    pane->tab_strip()->setCurrentIndex(kTabSearch);
    pane->tab_strip()->setCurrentIndex(kTabContents);
    EXPECT_EQ(pane->tree()->_selected_id(), items[2]);
}

TEST_F(Pane, TheTreeIsBuiltOnTheFirstDisplayOfAnyTab)
{
    settings.write_int(kSectionSettings, kValueTabPage, kTabBookmarks);
    open_pane();
    VTreeCtrl* tree = pane->tree();
    QTreeWidgetItem* law = tree->_item_for_id("01A");
    ASSERT_NE(law, nullptr);
    QTreeWidgetItem* page = tree->_item_for_id("01A-00020000-00");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->parent(), law);
    EXPECT_EQ(tree->_id_for_item(page), "01A-00020000-00");

    // Synchronising on the tree tab selects the page's item, which shows it.
    pane->_select_tab(kTabContents);
    view.forget();
    EXPECT_TRUE(pane->_sync("01A-00020000-00"));
    EXPECT_EQ(tree->_selected_id(), "01A-00020000-00");
    EXPECT_EQ(view.shown, std::vector<std::string>{"01A-00020000-00"});
    // An identifier the tree does not hold clears the selection.
    EXPECT_TRUE(pane->_sync("01A-00990000-00"));
    EXPECT_EQ(tree->_selected_id(), "");
    EXPECT_TRUE(reporter.messages().empty());

    // The result tabs do not follow the page shown.
    for (int tab : {kTabSearch, kTabBookmarks}) {
        pane->_select_tab(tab);
        EXPECT_FALSE(pane->_sync("01A-00010000-00"));
    }
}

TEST_F(Pane, SearchTextIsTrimmedAndNormalisedBeforeTheSearch)
{
    open_pane();
    pane->_select_tab(kTabSearch);
    search(QStringLiteral("  ｖｅｌｔｏ１２ "));
    EXPECT_EQ(pane->last_search_text(), "VELTO12");

    search(QStringLiteral(" 構造　ｈ "));
    EXPECT_EQ(pane->last_search_text(), "構造　H");
    ASSERT_EQ(reporter.messages().size(), 2u);
    for (const auto& message : reporter.messages())
        EXPECT_EQ(message.text, "見つかりませんでした。");
}

TEST_F(Pane, RefusedSearchTextsAreToldAndNotSearched)
{
    int frame_commands = 0;
    int last_command = 0;
    open_pane();
    pane->set_frame_command([&](int command) {
        ++frame_commands;
        last_command = command;
    });
    pane->_select_tab(kTabSearch);

    search(QStringLiteral("abc"));
    ASSERT_EQ(pane->last_search_text(), "ABC");
    reporter.clear();

    pane->search_entry()->setEditText(QStringLiteral("構造?"));
    pane->search_button()->click();
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].caption, "検索結果");
    EXPECT_EQ(reporter.messages()[0].text, forbidden_search_message());
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(pane->last_search_text(), "");
    // The window's focus child, not the application's: whether the offscreen
    // window is active depends on what else runs at the same time.
    EXPECT_EQ(pane->window()->focusWidget(), pane->search_entry());

    pane->search_entry()->setEditText(QStringLiteral(" \t "));
    pane->search_button()->click();
    ASSERT_EQ(reporter.messages().size(), 2u);
    EXPECT_EQ(reporter.messages()[1].text, "検索する語句を入力して下さい。");
    EXPECT_EQ(reporter.messages()[1].icon, MessageIcon::Exclamation);

    // The hidden page's number goes to the main window instead of a search.
    pane->search_entry()->setEditText(QStringLiteral("７３１８４５０９６２"));
    pane->search_button()->click();
    EXPECT_EQ(frame_commands, 1);
    EXPECT_EQ(last_command, kCmdHiddenPage);
    EXPECT_EQ(pane->last_search_text(), "");
    EXPECT_EQ(reporter.messages().size(), 2u);
}

TEST_F(Pane, HighlightSwitchShowsTheResultAgainAndRemarks)
{
    open_pane();
    pane->_select_tab(kTabSearch);
    ASSERT_TRUE(pane->highlight_box()->isChecked());
    search(QStringLiteral("ｔｅｓｔ"));
    const std::vector<std::string> ids = fill_list(pane->search_list(), 3);
    quiet_select(pane->search_list(), 1);
    view.forget();

    pane->highlight_box()->click(); // off
    EXPECT_FALSE(pane->highlight());
    EXPECT_EQ(view.shown, std::vector<std::string>{ids[1]});
    EXPECT_EQ(view.forced_rebuilds, 1);
    EXPECT_EQ(view.highlight_requests, 0);
    pane->highlight_box()->click(); // on
    EXPECT_EQ(view.shown.size(), 2u);
    EXPECT_EQ(view.forced_rebuilds, 2);
    EXPECT_EQ(view.highlight_requests, 1);

    // Re-marking: the find-in-page marks go, the search words are painted.
    view.find = "xyz";
    EXPECT_TRUE(pane->OnCommand(kCmdRemark));
    using Mark = std::pair<std::string, bool>;
    EXPECT_EQ(view.marks, (std::vector<Mark>{{"xyz", true}, {"TEST", false}}));
    view.marks.clear();
    pane->highlight_box()->click(); // off
    pane->remark();
    EXPECT_EQ(view.marks, (std::vector<Mark>{{"xyz", true}}));
    view.marks.clear();
    pane->_select_tab(kTabContents);
    pane->remark();
    EXPECT_TRUE(view.marks.empty());
}

TEST_F(Pane, AResultWhosePageIsShownLeavesNoPaintWaitingForAnotherPage)
{
    open_pane();
    pane->_select_tab(kTabSearch);
    search(QStringLiteral("ｔｅｓｔ"));
    const std::vector<std::string> ids = fill_list(pane->search_list(), 3);
    view.forget();
    view.current = ids[1];
    pane->search_list()->_select_row(1); // the page shown: nothing loads, nothing to paint later
    EXPECT_EQ(view.highlight_requests, 0);
    pane->search_list()->_select_row(2); // another page: painted once it has loaded
    EXPECT_EQ(view.highlight_requests, 1);
    EXPECT_EQ(view.shown.back(), ids[2]);
}

TEST_F(Pane, RecordedSearchTextsGoToTheTopOfTheHistory)
{
    // Ten stored texts: 語1 is the newest.
    for (int n = 1; n <= 10; ++n)
        settings.write_string(kSectionSettings, search_history_value_name(n), "語" + std::to_string(n));
    open_pane();
    pane->_select_tab(kTabSearch);
    VComboSch* entry = pane->search_entry();
    ASSERT_EQ(entry->count(), 10);
    const auto history = [entry] {
        std::vector<std::string> texts;
        for (int i = 0; i < entry->count(); ++i)
            texts.push_back(entry->itemText(i).toStdString());
        return texts;
    };

    // The third entry searched again moves to the top; nothing is lost.
    entry->setEditText(QStringLiteral("語3"));
    EXPECT_TRUE(pane->OnCommand(kCmdRecordSearch));
    EXPECT_EQ(history(), (std::vector<std::string>{"語3", "語1", "語2", "語4", "語5", "語6", "語7", "語8", "語9", "語10"}));
    // An eleventh text drops the oldest.
    entry->setEditText(QStringLiteral("梁"));
    EXPECT_TRUE(pane->OnCommand(kCmdRecordSearch));
    EXPECT_EQ(history(), (std::vector<std::string>{"梁", "語3", "語1", "語2", "語4", "語5", "語6", "語7", "語8", "語9"}));
    EXPECT_EQ(entry->_current_text(), "梁");
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(settings.read_string(kSectionSettings, search_history_value_name(n)), history()[n - 1]);
    EXPECT_EQ(settings.read_string(kSectionSettings, search_history_value_name(11)), std::nullopt);

    // Letter case is part of the text as typed: two entries.
    entry->setEditText(QStringLiteral("BEAM"));
    EXPECT_TRUE(pane->OnCommand(kCmdRecordSearch));
    entry->setEditText(QStringLiteral("beam"));
    EXPECT_TRUE(pane->OnCommand(kCmdRecordSearch));
    EXPECT_EQ(history()[0], "beam");
    EXPECT_EQ(history()[1], "BEAM");
    EXPECT_EQ(entry->_current_text(), "beam");
}

TEST_F(Pane, SearchRunsBehindTheWaitWindowThenListsTellsRecordsMarksAndFocuses)
{
    open_pane();
    pane->_select_tab(kTabSearch);
    // Two words, split at the full-width space, both in the title of 第2条.
    // Enter in the entry searches as 実行 does.
    pane->search_entry()->setEditText(QStringLiteral("用語　定義"));
    QTest::keyClick(pane->search_entry(), Qt::Key_Return);

    // While it runs the window with the animation refuses to close and holds
    // the input; the progress bar has six steps a word.
    SearchWaitWindow* wait = pane->wait_window();
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(wait->windowTitle(), QStringLiteral("検索中です．．．"));
    EXPECT_EQ(QApplication::activeModalWidget(), wait);
    EXPECT_EQ(wait->movie()->state(), QMovie::Running);
    EXPECT_TRUE(wait->progress()->isVisible());
    EXPECT_EQ(wait->progress()->maximum(), 2 * 6);
    wait->close();
    QTest::keyClick(wait, Qt::Key_Escape);
    EXPECT_TRUE(wait->isVisible());
    pane->search_button()->click(); // one search at a time
    wait_for_search();

    EXPECT_EQ(pane->wait_window(), nullptr);
    VListSch* list = pane->search_list();
    ASSERT_EQ(list->_row_count(), 1);
    EXPECT_EQ(list->_id_of_row(0), "01A-00020000-00");
    EXPECT_EQ(list->topLevelItem(0)->text(0).toStdString(), "建築基準法");
    EXPECT_EQ(list->topLevelItem(0)->text(1).toStdString(), "2条");
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].caption, "検索結果");
    EXPECT_EQ(reporter.messages()[0].text, "1件見つかりました。");
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(pane->search_entry()->itemText(0), QStringLiteral("用語　定義"));
    using Mark = std::pair<std::string, bool>;
    EXPECT_EQ(view.marks, (std::vector<Mark>{{"用語　定義", false}}));
    EXPECT_EQ(view.focus_requests, 1);

    // The first search opened the database's index; the next one uses it.
    EXPECT_TRUE(pane->search_list()->search_service()->index_ready());
    search(QStringLiteral("定義 用語"));
    EXPECT_EQ(list->_row_count(), 1);
    EXPECT_EQ(reporter.messages().back().text, "1件見つかりました。");
}

TEST_F(Pane, SearchesWithoutWordsOrWithTooManyLeaveTheListAsItWas)
{
    open_pane();
    pane->_select_tab(kTabSearch);
    const std::vector<std::string> ids = fill_list(pane->search_list(), 3);
    struct Case {
        QString text;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {QStringLiteral("目的 用語 定義 表紙"), {"検索できる単語は３個までです。"}},
        {QStringLiteral("目的　用語　定義　表紙"), {"検索できる単語は３個までです。"}},
        // Full-width spaces only: no word, no message.
        {QStringLiteral("　　"), {}},
    };
    for (const Case& c : cases) {
        reporter.clear();
        search(c.text);
        std::vector<std::string> messages;
        for (const auto& m : reporter.messages())
            messages.push_back(m.text);
        EXPECT_EQ(messages, c.messages) << c.text.toStdString();
        EXPECT_EQ(pane->wait_window(), nullptr);
        EXPECT_EQ(pane->search_list()->_row_count(), 3);
        EXPECT_EQ(pane->search_entry()->count(), 0); // not recorded
    }
}

TEST_F(Pane, SearchEntryKeepsItsEditingKeysAndDownOnlyOpensTheDropDown)
{
    settings.write_string(kSectionSettings, search_history_value_name(1), "柱");
    settings.write_string(kSectionSettings, search_history_value_name(2), "梁");
    open_pane();
    pane->_select_tab(kTabSearch);
    VComboSch* entry = pane->search_entry();
    entry->setFocus();
    entry->setEditText(QStringLiteral("耐火"));
    entry->lineEdit()->selectAll();

    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    };
    for (Key k : {Key{Qt::Key_V, Qt::ControlModifier}, Key{Qt::Key_Insert, Qt::ShiftModifier},
                  Key{Qt::Key_C, Qt::ControlModifier}, Key{Qt::Key_Insert, Qt::ControlModifier},
                  Key{Qt::Key_X, Qt::ControlModifier}, Key{Qt::Key_Delete, Qt::ShiftModifier}}) {
        QKeyEvent override(QEvent::ShortcutOverride, k.key, k.mods);
        QApplication::sendEvent(entry, &override);
        EXPECT_TRUE(override.isAccepted()) << k.key;
    }
    QTest::keyClick(entry, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(entry->lineEdit()->text(), QString());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("耐火"));
    QTest::keyClick(entry, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(entry, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry->lineEdit()->text(), QStringLiteral("耐火耐火"));
    EXPECT_EQ(entry->_current_text(), "耐火耐火");

    QTest::keyClick(entry, Qt::Key_Down);
    EXPECT_TRUE(entry->view()->isVisible());
    const int row = entry->view()->currentIndex().row();
    QTest::keyClick(entry, Qt::Key_Down);
    EXPECT_EQ(entry->view()->currentIndex().row(), row);
    entry->hidePopup();
}

TEST_F(Pane, BookmarkButtonsAddAndDeleteRows)
{
    open_pane();
    pane->_select_tab(kTabBookmarks);
    VListBmk* list = pane->bookmark_list();
    const std::string a = page_id(1), b = page_id(2), c = page_id(3);
    for (const std::string& id : {a, c, b, b}) {
        view.current = id;
        pane->add_button()->click();
        EXPECT_EQ(list->_selected_id(), id);
        EXPECT_EQ(QApplication::focusWidget(), list);
    }
    EXPECT_EQ(list->_row_count(), 3);
    EXPECT_EQ(list->_id_of_row(0), a);
    EXPECT_EQ(list->_id_of_row(2), c);

    // Only whole page identifiers are bookmarked.
    view.current = "01A";
    pane->add_button()->click();
    EXPECT_EQ(list->bookmarks().size(), 3u);

    // Deleting the last row selects the row above; any other, the row that moved up.
    quiet_select(list, 2);
    pane->delete_button()->click();
    EXPECT_EQ(list->_row_count(), 2);
    EXPECT_EQ(list->_selected_id(), b);
    quiet_select(list, 0);
    pane->delete_button()->click();
    EXPECT_EQ(list->_row_count(), 1);
    EXPECT_EQ(list->_selected_id(), b);
}

TEST_F(Pane, TabAndHighlightSwitchAreKeptBetweenRuns)
{
    settings.write_int(kSectionSettings, kValueTabPage, 2);
    settings.write_int(kSectionSettings, kValueSearchEmph, 0);
    open_pane();
    expect_tab_shown(*pane, 2);
    EXPECT_FALSE(pane->highlight_box()->isChecked());
    pane->highlight_box()->click();
    pane->_select_tab(3);
    close_pane();
    EXPECT_EQ(settings.read_int(kSectionSettings, kValueTabPage), 3);
    EXPECT_EQ(settings.read_int(kSectionSettings, kValueSearchEmph), 1);

    // A stored tab out of range starts on the first tab.
    settings.write_int(kSectionSettings, kValueTabPage, 7);
    open_pane();
    expect_tab_shown(*pane, 0);
}

TEST_F(Pane, WithoutDatabaseThePaneStaysEmpty)
{
    open_pane(false);
    pane->_select_tab(kTabSearch);
    EXPECT_EQ(pane->current_tab(), 0);
    for (const std::vector<int>& controls : kTabControls) {
        for (int id : controls)
            EXPECT_FALSE(pane->control(id)->isVisible()) << id;
    }
    EXPECT_TRUE(pane->tab_strip()->isVisible());
    pane->search_button()->click();
    pane->delete_button()->click();
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(Pane, ControlsOfATabFitTheDisplayAreaWithoutOverlapping)
{
    open_pane();
    for (QSize size : {QSize(300, 600), QSize(150, 200)}) {
        pane->resize(size);
        for (int tab = 0; tab < kTabCount; ++tab) {
            pane->_select_tab(tab);
            const QRect area = pane->rect().adjusted(0, pane->tab_strip()->height(), 0, 0);
            const std::vector<int>& ids = kTabControls[static_cast<std::size_t>(tab)];
            for (std::size_t i = 0; i < ids.size(); ++i) {
                const QRect r = pane->control(ids[i])->geometry();
                EXPECT_TRUE(area.contains(r)) << ids[i] << " at " << size.width() << "x" << size.height();
                for (std::size_t j = i + 1; j < ids.size(); ++j)
                    EXPECT_FALSE(r.intersects(pane->control(ids[j])->geometry())) << ids[i] << " and " << ids[j];
            }
        }
        EXPECT_EQ(pane->search_entry()->width(), pane->tree()->width() - 60);
        EXPECT_EQ(pane->search_button()->geometry().right(), pane->tree()->geometry().right());
    }
}

} // namespace
} // namespace velto::test
