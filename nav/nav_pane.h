// C1stView: the left pane of the main window.
//
// A tab strip with four tabs, each with its controls: the contents tree
// (目次), the law selector and article list (リスト), the search entry and
// result list (全文検索) and the bookmark list (しおり). A choice in any of
// them becomes one request to the page view: show the page of an identifier.
// When synchronisation is on the pane also follows the page view back.
//
// Each tab's controls are filled the first time the tab is shown; the tree
// is built on the first display of any tab. Nothing happens while the
// document has no open database.
//
// nav_pane.cpp holds the tabs, synchronisation, navigation, bookmarks and
// layout; pane_search.cpp the search tab and the internal commands.
#pragma once

#include "nav/page_view_port.h"
#include "nav/navigation_pane_link.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QPushButton;
class QTabBar;

namespace velto {

class CVeltoDoc;
class VComboLst;
class VComboSch;
class VListBase;
class VListBmk;
class VListLst;
class VListSch;
class VTreeCtrl;
class SearchWaitWindow;

class C1stView : public QWidget, public NavigationPaneLink {
    Q_OBJECT

public:
    // Reads the selected tab ("TabPage") and the highlight switch
    // ("SearchEmph") from the document's settings.
    explicit C1stView(CVeltoDoc& doc, QWidget* parent = nullptr);
    // Writes "TabPage" and "SearchEmph".
    ~C1stView() override;
    C1stView(const C1stView&) = delete;
    C1stView& operator=(const C1stView&) = delete;

    // The page view the pane shows pages in; null while there is none.
    void set_page_view(PageViewPort* view) { view_ = view; }
    // Sends a command to the main window (the hidden page).
    void set_frame_command(std::function<void(int command)> send) { frame_command_ = std::move(send); }

    // Once the document is open: loads the bookmarks and lays the pane out,
    // which shows the current tab.
    void OnInitialUpdate();

    // While the reader starts, the first page comes before the tree and the
    // lists: from hold_filling until release_filling the pane lays out and
    // shows its controls but fills none of them, and a synchronisation asked
    // for meanwhile waits. release_filling fills the current tab and then
    // follows the page shown; a tab chosen by the user releases it too.
    void hold_filling() { filling_held_ = true; }
    void release_filling();
    bool filling_held() const { return filling_held_; }

    // Makes `tab` current: fills its controls on first use, shows them and
    // focuses the tab's control. Does nothing without an open database.
    void _show_tab(int tab);
    // Selects `tab` on the tab strip and shows it; with synchronisation
    // active, tabs 0 and 1 then follow the page shown.
    void _select_tab(int tab);
    // Shows which controls belong to `tab` and hides the others.
    void _set_visible_controls(int tab);

    // NavigationPaneLink
    bool _sync(const std::string& id) override;
    void _focus_current() override;
    int current_tab() const override { return current_tab_; }
    void remark() override;

    // The pane's internal commands (re-mark, search finished, record the
    // search text, focus the page) and those of the search's wait window
    // (its progress bar, with `parameter`). False for any other command.
    bool OnCommand(int command, int parameter = 0);

    // Once the reader has started: the search opens its connection and the
    // database's index in the background, so that the first search answers
    // as fast as the later ones.
    void prepare_search();

    // The document has opened its law database again (a tool replaced it):
    // the tree, the law selector with the article list and the search
    // forget what they read and show the new laws (the law chosen stays
    // chosen when it is still there); the bookmarks and the search history,
    // the user's own, stay as they are. Nothing happens before start-up.
    void reload_laws();

    // Ctrl+Page Down and Ctrl+Page Up of the main window: the next or
    // previous tab, wrapping at both ends. True when the key was taken.
    bool tab_key(int key, Qt::KeyboardModifiers modifiers);
    // The tab `step` places after `tab`, wrapping around.
    static int adjacent_tab(int tab, int step);

    // Whether synchronisation is active: the switch is on and the page shown
    // is not one of the program's own pages.
    bool synchro_active() const;
    bool highlight() const { return highlight_ != 0; }
    // The normalised text of the last search started from the pane.
    const std::string& last_search_text() const { return last_search_text_; }

    QTabBar* tab_strip() const { return tabs_; }
    VTreeCtrl* tree() const { return tree_; }
    VListLst* article_list() const { return article_list_; }
    VListSch* search_list() const { return search_list_; }
    VListBmk* bookmark_list() const { return bookmark_list_; }
    VComboLst* law_selector() const { return law_selector_; }
    VComboSch* search_entry() const { return search_entry_; }
    QPushButton* search_button() const { return search_button_; }
    QPushButton* add_button() const { return add_button_; }
    QPushButton* delete_button() const { return delete_button_; }
    QCheckBox* highlight_box() const { return highlight_box_; }
    // The wait window of the search running; null when none runs.
    SearchWaitWindow* wait_window() const;
    // The control of an id, null for an unknown id.
    QWidget* control(int id) const;

signals:
    // Another tab became the current one (commands that depend on the tab change state).
    void currentTabChanged(int tab);
    // A message for the status bar (a change of the bookmarks was not saved).
    void statusMessage(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void create_controls();
    void lay_out();
    // _show_tab, with the focus given to the tab's control only when `take_focus`.
    void show_tab(int tab, bool take_focus);
    QRect display_rect() const;
    void first_use(int tab);
    // The tree or list that holds the keyboard focus on a tab.
    QWidget* main_control(int tab) const;
    void sync_if_active();

    void on_tab_changed(int index);
    void on_tab_clicked(int index);
    void on_control_notify(int id);
    void on_law_selected();
    void navigate(const std::string& id);

    void on_search_clicked();
    void _start_search(const std::string& text);
    void _close_wait_window();
    void on_highlight_clicked(bool checked);
    void on_add_bookmark();
    void on_delete_bookmark();

    CVeltoDoc& doc_;
    PageViewPort* view_ = nullptr;
    std::function<void(int)> frame_command_;

    QTabBar* tabs_ = nullptr;
    VTreeCtrl* tree_ = nullptr;
    VListLst* article_list_ = nullptr;
    VListSch* search_list_ = nullptr;
    VListBmk* bookmark_list_ = nullptr;
    VComboLst* law_selector_ = nullptr;
    VComboSch* search_entry_ = nullptr;
    QPushButton* search_button_ = nullptr;
    QPushButton* add_button_ = nullptr;
    QPushButton* delete_button_ = nullptr;
    QCheckBox* highlight_box_ = nullptr;

    int current_tab_ = 0;
    int highlight_ = 1;
    std::string last_search_text_;
    // The search's wait window while a search runs.
    QPointer<SearchWaitWindow> wait_window_;

    // Identifier of the page shown at the end of the last run ("CurIDFN"),
    // read when the first tab is shown.
    std::string startup_id_;
    std::array<bool, 4> tab_initialised_{};
    bool any_tab_initialised_ = false;
    bool filling_held_ = false;
    bool sync_waiting_ = false;
    // True while the pane follows the page view (_sync).
    bool syncing_ = false;
};

} // namespace velto
