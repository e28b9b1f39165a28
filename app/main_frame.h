// The main window: toolbar, menu, status bar, the left navigation pane and the
// page view side by side, and the optional upper/lower split of the right side.
//
// Split, the right side holds two page views: the upper one, which the pane,
// the page remembered at the end and the options belong to, and a lower one
// with a history of its own, where a link clicked with Shift (or
// 下のペインで開く) is shown. The commands of the toolbar, the menu and the
// keys act on the view the reader was in last (active_view); the window's
// title names the edition of the law text the database holds.
#pragma once

#include "app/page_view_port_adapter.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

namespace velto {

class C1stView;
class C2ndView;
class CitedByPanel;
class EditionChanges;
class EditionCompareDialog;
class ReverseLinkIndex;
class HelpWindow;
class CVeltoDoc;
class JumpField;
class LawUpdateDialog;
class SettingsBatch;
class SettingsStore;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CVeltoDoc& doc, SettingsStore& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds the panes and asks for the first page; false after a failure
    // message. The pane's tree and lists and the document's page list follow
    // once the first page is on screen; startupFinished tells when.
    bool create_client();
    bool startup_finished() const { return startup_finished_; }
    // Shows the window as stored (maximised or normal) and the start-up picture.
    void show_first(bool splash);

    C1stView* left_pane() const { return left_; }
    C2ndView* page_view() const { return page_; }
    // The lower page view of the split window; null when not split.
    C2ndView* lower_view() const { return lower_; }
    // The page view the commands act on: the one that had the keyboard last.
    C2ndView* active_view() const;
    JumpField* jump_field() const { return jump_; }
    bool is_split() const { return split_; }
    bool is_topmost() const { return topmost_; }

    // Carries out a command of the command table; false when nothing handles it.
    bool run_command(int id);
    bool command_enabled(int id) const;
    bool command_checked(int id) const;
    QAction* action(int id) const;

    // The help window once help has been asked for; null before.
    HelpWindow* help_window() const;
    // The list of the sentences citing an article; null before it is first asked for.
    CitedByPanel* cited_by_panel() const { return cited_by_; }
    // The index of the links is ready: the cited-by command can be used.
    bool link_index_ready() const;

    // ファイル → 法令データの更新…: runs velto-update (beside the reader, or
    // `set_update_tool`) in its dialog, which is returned; the command is
    // disabled when the tool is not there (main_frame_update.cpp).
    LawUpdateDialog* update_law_data();
    void set_update_tool(const QString& path);
    QAction* update_action() const { return update_action_; }
    // The law database was replaced: the document opens it again, the pane
    // shows its laws, each page view its page where the reader was in it.
    // False after a report (the window then holds what it showed).
    bool reload_database();
    // The 改正比較 window once it has been opened; null before.
    EditionCompareDialog* compare_dialog() const;
    // Opens the 改正比較 window on `link` (editions/article_history.h:
    // comparison_link); false when it names nothing that can be compared.
    bool open_comparison_link(const std::string& link);

    // Brings the window to the front (a second start asked for it).
    void bring_to_front();

    // Shows the link to page `id` (a link's id `anchor_id`, for its pinpoint
    // target; empty for a page itself) in the lower pane, splitting the
    // window first when it is not split. False when no page was shown.
    bool open_below(const std::string& id, const std::string& anchor_id);

public slots:
    void refresh_commands();

signals:
    // The pane is filled and the page list read: the reader has started.
    void startupFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Fills the pane, then reads the page list; once, after the first page.
    void finish_startup();
    void build_actions();
    void build_toolbar();
    void build_menu();
    void build_status_bar();
    void add_update_command(QMenu* file);
    void refresh_update_command();
    // The window's title: the program and the edition of the law text.
    void refresh_title();
    void restore_placement();
    void store_placement();
    // A page view of the window; `second` for the lower one.
    C2ndView* create_page_view(QWidget* parent, bool second = false);
    // Splits the window, the lower pane showing `lower_page` (nothing when
    // empty), or ends the split.
    void toggle_split(const std::string& lower_page);
    // The reader is in `view` now: the commands and the status bar follow it.
    void set_active(C2ndView* view);
    void store_splitter(QSplitter* splitter, std::string_view name, bool rows);
    // Sets the first pane to its stored size, or `default_size`, out of `total` pixels.
    void restore_splitter(QSplitter* splitter, std::string_view name, int default_size, int total);
    // The page's caption in the status bar, as plain text, cut to kMaxCaptionCharacters.
    void set_page_title(const QString& caption);
    static constexpr qsizetype kMaxCaptionCharacters = 200;
    // The help file in the help window; a message when it cannot be read.
    void show_help();
    // The sentences citing the article shown, in the panel beside the page.
    void show_cited_by();
    // Reads the index of the links, or builds it in the background; the
    // command is enabled once it is there.
    void open_link_index();
    // Reads which laws have editions to compare and gives article pages the
    // line of their history under the title (main_frame_editions.cpp); again
    // after the database was replaced.
    void open_editions();
    // 改正比較 on the law of the page shown (the first law with editions to compare otherwise).
    void compare_editions();
    // この条の改正: the editions in which the article shown changed, as a menu at the pointer.
    void show_article_history();
    EditionCompareDialog* comparison_window();
    bool handle_key(QObject* watched, QKeyEvent* key);
    bool keeps_arrow_keys(QWidget* focus) const;

    CVeltoDoc& doc_;
    SettingsStore& settings_;
    std::map<int, QAction*> actions_;
    QToolBar* toolbar_ = nullptr;
    JumpField* jump_ = nullptr;
    QLabel* page_title_ = nullptr;
    QSplitter* main_splitter_ = nullptr;
    QPointer<QSplitter> right_splitter_;
    QPointer<HelpWindow> help_;
    CitedByPanel* cited_by_ = nullptr;
    std::unique_ptr<ReverseLinkIndex> link_index_;
    std::unique_ptr<EditionChanges> edition_changes_;
    QPointer<EditionCompareDialog> compare_dialog_;
    bool any_comparable_ = false;
    C1stView* left_ = nullptr;
    C2ndView* page_ = nullptr;
    QPointer<C2ndView> lower_;
    QPointer<C2ndView> active_;
    // The text last found in a page, for every view of the run.
    std::string find_text_;
    bool split_ = false;
    bool topmost_ = false;
    bool placement_restored_ = false;
    bool started_ = false;
    bool startup_finished_ = false;
    PageViewPortAdapter port_;
    // The settings written while the first page is asked for, held until it is shown.
    std::unique_ptr<SettingsBatch> held_writes_;
    QString update_tool_;
    QAction* update_action_ = nullptr;
};

} // namespace velto
