// The page view: the right pane of the main window. It shows the pages the
// document composes in an embedded browser, follows the internal links of a
// page, keeps the back/forward history (held by the document) with the reading
// position of every page, and carries the commands that move through the
// history and the ordered article list and switch the page options.
//
// Every way of reaching a page ends in _show. Pages pass through the
// document's working folder: _show writes the page file and the browser loads
// it through the program's own URL scheme (view/page_scheme.h); loading is
// asynchronous, and _after_load runs when the page is there. What the page's
// content may do and where its links lead is decided by its browser page
// (view/view_page.h); the view's script in the page is reached through the
// bridge (view/page_bridge.h).
//
// The members live in files by topic: page_view.cpp (showing pages, loading,
// links), page_history.cpp (history and reading positions), page_commands.cpp
// (commands and page options), page_input.cpp (context menu, keys, drops),
// page_marks.cpp (pinpoint jump, pin image, link colours, the pinpoint list),
// page_gestures.cpp (mouse gestures and their direction images),
// page_reveal.cpp (a place within a page: the target of a citation),
// page_text.cpp (copy, 条文をコピー, find in the page and the word marks,
// view/word_marks.h, view/page_find_bar.h), page_print.cpp (printing and its
// preview), page_peek.cpp (the preview of the link under the pointer).
//
// The view runs without a main window: a navigation pane and the status bar
// are optional (the pane through NavigationPaneLink, the status bar through
// the document's status sink and the signals below). A second view (the
// lower pane of the split window) keeps a history of its own and is not the
// document's page view: it names no start page and follows no pane.
//
// The keyboard focus: a page change started in the page (a link, a gesture,
// a key, the context menu) leaves the focus in the page; the view never hands
// it to the navigation pane, whose own choices keep it there themselves.
#pragma once

#include "nav/command_ids.h"
#include "citations/link_peek.h"
#include "citations/term_peek.h"
#include "compose/history.h"
#include "compose/velto_doc.h"
#include "view/link_text.h"
#include "nav/navigation_pane_link.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QUrl>
#include <QVariantMap>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QMenu;
class QPrinter;
class QTimer;
class QWebEnginePage;
class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;

namespace velto {

class BusyDialog;
class CPinPointDlg;
class LinkPeekPopup;
class PageBridge;
class PageFindBar;
class PageSchemeHandler;
class ViewPage;
class WordMarks;

// An anchor of the page under the mouse pointer, for the context menu.
struct PageAnchor {
    bool is_anchor = false;
    std::string href;     // resolved address
    std::string id;       // id attribute (a pinpoint key for links with a target)
    std::string sentence; // the sentence (ID_BN) the point belongs to; empty above the first
};

class C2ndView : public QWidget, public PageViewLink {
    Q_OBJECT
public:
    // Commands of the view.
    static constexpr int kFindInPage = cmd::FindInPage;
    static constexpr int kBack = cmd::Back;
    static constexpr int kForward = cmd::Forward;
    static constexpr int kPrevious = cmd::Previous;
    static constexpr int kNext = cmd::Next;
    static constexpr int kSynchro = cmd::Synchro;
    static constexpr int kRefer = cmd::Refer;
    static constexpr int kBrachet = cmd::Brachet;
    static constexpr int kArabicNumbers = cmd::ArabicNumbers;
    static constexpr int kPinPoint = cmd::PinPoint;
    static constexpr int kTermMarks = cmd::TermMarks;
    static constexpr int kClearMarks = cmd::ClearMarks;
    static constexpr int kCopy = cmd::Copy;
    static constexpr int kPrint = cmd::Print;
    static constexpr int kPrintPreview = cmd::PrintPreview;
    static constexpr int kCitedBy = cmd::CitedBy;
    static constexpr int kFindNext = cmd::FindNext;
    static constexpr int kFindPrevious = cmd::FindPrevious;
    static constexpr int kCopyProvision = cmd::CopyProvision;
    static constexpr int kOpenBelow = cmd::OpenBelow;
    static constexpr int kArticleHistory = cmd::ArticleHistory;
    // Gesture directions: the image a gesture shows and the command its release sends.
    enum GestureDirection { kGestureNone, kGestureForward, kGestureBack, kGestureNext, kGesturePrevious, kGestureStop };

    // Registers the page scheme. Must be called before the application object
    // is created.
    static void register_url_scheme();

    explicit C2ndView(CVeltoDoc& doc, QWidget* parent = nullptr);
    ~C2ndView() override;

    // The left pane; null (the default) when there is none.
    void set_navigation_pane(NavigationPaneLink* pane) { pane_ = pane; }
    NavigationPaneLink* navigation_pane() const { return pane_; }
    // Makes this view a second one, before its first update: it keeps a back
    // and forward history of its own and leaves the document's page view
    // (the page remembered at the end, options) to the first.
    void set_own_history();
    bool is_second_view() const { return own_history_ != nullptr; }
    // The back and forward history of this view.
    NavigationHistory& history() { return own_history_ ? *own_history_ : doc_.history(); }
    const NavigationHistory& history() const { return own_history_ ? *own_history_ : doc_.history(); }

    // First update: registers with the document, builds the context menu and
    // shows the start page (the page shown last, or the cover page). A view
    // that takes over from another passes the page that one showed instead;
    // a second view shows `page_shown` and nothing when it is empty.
    void OnInitialUpdate(const std::string& page_shown = {});

    // Shows the page `id` (an ID_FN); true when the page was put into the
    // browser. False, with page, history and cache untouched, for an id that is
    // not 15 characters long, the page already shown (unless a rebuild was
    // asked for), a repeated link request for a large article, a page that
    // cannot be composed (the document has reported it) or written.
    bool _show(const std::string& id);
    // The page shown; empty before the first page.
    std::string _current_id() const { return current_id_; }
    // Shows page `id` scrolled to its sentence `anchor`, and marks for a
    // moment the sentences whose ids begin with `scope` (a cited paragraph or
    // item); without anchor the page shows from its top. A sentence is only in
    // the full text of a large article: with an anchor such a page comes in
    // full. The page already shown is only scrolled. False when the page
    // cannot be shown (see _show); history and synchronisation as for a link.
    bool show_at(const std::string& id, const std::string& anchor, const std::string& scope);
    // Follows a link to `id` as a click on the anchor `anchor_id` of a page
    // does (its pinpoint target, a large article in full); the link may come
    // from another view (下のペインで開く). False when no page was shown.
    bool open_link(const std::string& id, const std::string& anchor_id);
    // Gives the page the keyboard focus.
    void _focus_page();
    // The page (or a part of the view, such as the find bar) has the keyboard focus.
    bool has_focus_within() const;
    // The scroll offsets of the page shown, in pixels; false when there is no page.
    bool _scroll_position(int& x, int& y) const;
    // Scrolls the page, unless x and y are both 0.
    void _scroll_to(int x, int y);
    // The next page loaded is scrolled to the position the current page has now.
    void remember_scroll();
    // The next page loaded is scrolled to (x, y); (0, 0) means no scrolling.
    void set_pending_scroll(int x, int y);
    // The next _show builds its page again even when it is the page shown, and
    // records no history.
    void set_forced_rebuild() { forced_rebuild_ = true; }
    // The next page loaded while the search tab is shown gets its search-word marks.
    void set_search_highlight_pending() { search_highlight_pending_ = true; }
    void clear_page_cache() { cache_.clear(); }
    // Runs when the page has loaded or its window got the focus.
    void _after_load();
    // Shows the page context menu at a screen point for the element there.
    void _context_menu(const QPoint& screen, const PageAnchor& anchor);

    static InternalLink _decode_internal_url(std::string_view url) { return decode_internal_url(url); }
    std::string _set_status_for_url(std::string_view text) const { return status_text_for_url(doc_, text); }
    // Synchro is on and the page shown is not one of the program's own pages.
    bool synchronisation_active() const { return doc_._synchro_effective() != 0; }

    // Commands of the view (32775 to 32781, 32783, copy, find in the page,
    // clearing its marks, print and preview), for the toolbar, the menus and
    // the keys. A command that cannot act now is disabled.
    bool command_enabled(int id) const;
    bool command_checked(int id) const;
    void run_command(int id);

    // Copy, find and word marks (page_text.cpp).
    //
    // The text whose words are painted in the page shown; empty when nothing
    // is painted (always after a new page).
    const std::string& find_string() const;
    // With `clear` false, paints the words of `text` (at most three) in the
    // page shown with the three search-word colours; with `clear` true, takes
    // that paint off again (`text` is not needed). `done` receives the number
    // of occurrences painted or cleared, WordMarks::kTooManyWords, or
    // WordMarks::kFailed (no word, no page); it may run before this returns.
    void _mark_words(const std::string& text, bool clear, std::function<void(int)> done = {});
    // ぷちコピー: the selection as plain text on the clipboard, cut to
    // kCopyLimit bytes (view/copy_notice.h) with the notice while ClipChk
    // allows it. Nothing selected: the clipboard stays as it is.
    void copy_selection();
    // このページ内の検索: opens the find bar under the page.
    void find_in_page();
    // 次を検索 / 前を検索 (F3, Shift+F3): the next or previous painted
    // occurrence; with nothing painted, the text last found is painted
    // first, and without one the find bar opens.
    void find_step(bool forward);
    // Moves to the next (previous) painted occurrence of the page shown;
    // `done` receives its number (from 1) and the count, 0 and 0 when
    // nothing is painted or another page came.
    void step_marks(bool forward, std::function<void(int index, int count)> done = {});
    // The text last searched with success in the find bar; a view that takes
    // over from another is given that one's.
    const std::string& last_find_text() const { return last_find_text_; }
    void set_last_find_text(const std::string& text) { last_find_text_ = text; }
    PageFindBar* find_bar() const { return find_bar_; }
    // 条文をコピー: the paragraph of `sentence` (an ID_BN of the page shown)
    // or, without one, the whole article, in full as plain text headed by
    // its citation and edition (citations/citation_copy.h), on the clipboard.
    // False, with the clipboard unchanged, when the page has no such text.
    bool copy_provision(const std::string& sentence);

    // Printing (page_print.cpp).
    //
    // Prints the page shown after the print dialog, or shows it in the print
    // preview; with no page shown, a message says so.
    void _print_page(bool preview);
    // Prints the page shown onto `printer` and waits until it is done: to a
    // PDF file through the engine's own PDF (text stays text), to a printer
    // as the engine renders it; on paper the page has no background colour.
    // False when the engine failed, the file could not be written or the
    // page went away meanwhile.
    bool print_to(QPrinter& printer);
    // Prints the page shown, whole, with its pictures and colours, onto
    // `printer` (rendered by the engine) and waits until it is done; false
    // when the engine failed or the page went away meanwhile.
    bool print_document(QPrinter& printer);
    // The browser's own page header and footer around printing: the engine
    // prints none, so there is nothing to blank or put back. The shell calls
    // these at the first update, on activation changes and at the end.
    void _save_page_setup() {}
    void _restore_page_setup() {}

    // PageViewLink
    std::string current_page_id() const override { return current_id_; }
    void rebuild_current_page() override;
    // Composes the page shown again from the database, where the reader was
    // in it (the database was replaced under the reader).
    void reload_page();
    // Builds the page again after the switch `id` (Refer, Brachet, PinPoint)
    // was flipped, as the view that flipped it does.
    void rebuild_after_toggle(int id);
    bool from_link() const override { return from_link_ || rebuild_full_; }

    // The browser, for the parts that act on the rendered page.
    QWebEngineView* browser() const { return browser_; }
    QWebEnginePage* page() const;
    // The view's script in the page shown.
    PageBridge* bridge() const { return bridge_; }
    QMenu* context_menu() const { return menu_; }
    // The pinpoint list; null before the first update.
    CPinPointDlg* pinpoint_dialog() const { return pinpoint_dlg_; }
    // The direction image a mouse gesture shows (kGesture...); it stays
    // after the release until the next press.
    int gesture_direction() const { return gesture_direction_; }
    // The pin image is in the page shown.
    bool pin_image_shown() const { return pin_image_shown_; }
    // The wait window of a long composition; null before the first.
    BusyDialog* busy_dialog() const { return busy_; }
    // The preview of the link the pointer rests on; null before the first.
    LinkPeekPopup* peek_popup() const { return peek_popup_; }
    // How long the pointer rests on a link before its preview opens (milliseconds).
    static constexpr int kPeekDelayMs = 400;
    // True from the moment a page is put into the browser until it has loaded.
    bool page_loading() const { return loading_; }
    // Whether a command of the context menu that the view does not carry out
    // itself can be used now (the cited-by list); without it they are greyed.
    void set_command_state(std::function<bool(int)> enabled) { command_state_ = std::move(enabled); }
    // How addresses outside the program are opened (the system's browser by default).
    void set_external_opener(std::function<void(const QUrl&)> opener) { open_external_ = std::move(opener); }

signals:
    // The text for the status bar's message pane (a link under the pointer).
    void statusTextChanged(const QString& text);
    // Enabling or checking of the view's commands may have changed.
    void commandStateChanged();
    // A command of the context menu that the window carries out (the cited-by list).
    void commandRequested(int id);
    // A link of the page to a 新旧対照 was followed (its address, editions/article_history.h).
    void comparisonRequested(const QString& link);
    // An internal link of the page was followed to `id`; `shown` is false
    // when it led to no page.
    void linkFollowed(const QString& id, bool shown);
    // A page has loaded and _after_load has run.
    void pageLoaded();
    // The page `id` was put into the browser (a new page or the same one rebuilt).
    void pageShown(const QString& id);
    // A link to `id` (clicked with Shift, or 下のペインで開く) is to be shown
    // in the lower pane; `anchor_id` is the link's id, for its pinpoint target.
    void openBelowRequested(const QString& id, const QString& anchor_id);
    // A search in the find bar found `text`.
    void findTextChanged(const QString& text);
    // The pin image was put into the page beside the sentence `target`.
    void pinImagePlaced(const QString& target);

protected:
    // In-page marks and the pinpoint jump (page_marks.cpp).
    //
    // Before a link is followed: may replace `id` by the page that holds the
    // link's target sentence; returns the sentence to mark (empty for none).
    std::string _resolve_pinpoint(const std::string& source_key, std::string& id);
    // The sentence `target` (an ID_BN) of the page shown or being loaded is
    // to be marked: once the page is there, it is scrolled to about 30 % of
    // the view's height and the pin image placed 10 pixels above it.
    void _request_mark(const std::string& target);
    // After load: carries out a mark asked for the page now shown.
    void _place_pending_mark();
    // Calls `then` with the page box of the sentence `target` (top, left,
    // viewHeight) when the page still shown has it.
    void _with_sentence_box(const std::string& target, std::function<void(const QVariantMap&)> then);
    // Puts the pin image before the sentence `target`, when the page has it.
    void _place_pin_image(const std::string& target);
    // Removes the pin image (a click in the page, the view resized).
    void _remove_pin_image();
    // After load or focus: colours the links that have a target, once a page.
    void _colour_pinpoint_links();
    // A new page replaced the one with the pin image.
    void _pin_image_gone() { pin_image_shown_ = false; }
    // Right click on an internal link while PinPoint is on: opens the pinpoint
    // list for the link. 2 = nothing to offer, the context menu is shown instead.
    virtual int _open_pinpoint_dialog(const std::string& key, const std::string& id, const QPoint& screen);

    // Mouse gestures (page_gestures.cpp); points in document coordinates.
    void _show_direction_image(const QPoint& at, int direction);
    void _remove_direction_image();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // The direction image of a mouse gesture shown since the last button press;
    // while it is not 0 the context menu does not open.
    int gesture_direction_ = kGestureNone;
    // Id of the anchor clicked last; empty after a click elsewhere.
    std::string pinpoint_source_key_;

private:
    // The length of a page identifier (ID_FN).
    static constexpr std::size_t kPageIdLength = 15;
    static constexpr std::size_t kSentenceIdLength = 35; // a link to a provision names its first sentence
    // The sentence at the top of the window when the digits of the page were
    // switched, and how far below the window's top it stood (page_commands.cpp).
    std::string kept_sentence_;
    int kept_delta_ = 0;
    void place_kept_sentence();

    // An internal link of the page: `id` as decoded (possibly empty).
    bool follow_link(const std::string& id);
    void history_command(int id);
    void toggle_and_rebuild(int id);
    // Builds the current page again with the current settings.
    void rebuild(bool keep_scroll);
    void build_context_menu();
    void request_context_menu(const QPoint& position);
    void page_load_changed(const QWebEngineLoadingInfo& info);
    void page_focused(const QString& address);
    void page_clicked(const QString& anchor_id);
    // The reader picked a row of the pinpoint list for the link `key`.
    void pinpoint_chosen(const std::string& key, const std::string& choice);
    // Shows `id` for the pinpoint list; true also when it is the page shown.
    bool show_for_pinpoint(const std::string& id);
    // Scrolls to (x, y), also to the top.
    void scroll_exactly(int x, int y);
    // The HTML of a picture of the image folder's "system/" placed at a point
    // of the page, with the element id `id`.
    std::string positioned_image(const char* id, const char* picture, int width, int height, long top,
                                 long left) const;
    void mouse_pressed(int button, bool on_link, const QPoint& at);
    void mouse_moved(const QPoint& at);
    void mouse_released(int button, const QPoint& at);
    // The direction of a gesture from its start to `at`, by what is available now.
    int gesture_direction_to(const QPoint& at, QPoint& image) const;
    void context_menu_asked(const QPoint& at, bool anchor, const QString& href, const QString& anchor_id,
                            const QString& sentence);
    // 下のペインで開く from the context menu: the link the menu was opened on, else the page shown.
    void open_below_from_menu();
    void guard_browser_child(QObject* child);
    // Scrolls to and marks the place asked for by show_at, once its page is there.
    void reveal_pending();
    // The three search-word colours as "#RRGGBB".
    std::array<std::string, 3> word_colours() const;
    // The preview of a link (page_peek.cpp): the pointer came onto a link
    // (`line` in window coordinates) or left it; the preview opens, closes,
    // or is followed as the link is.
    void link_entered(const QString& href, const QString& anchor_id, const QRect& line);
    // The preview of the defined term the pointer rests on (page_term_peek.cpp).
    bool compose_term_peek(std::string& html);
    void link_left();
    void open_peek();
    void close_peek();
    void follow_peek();
    void report_failure(std::string_view message) const;
    // Printing waits for a page still loading (boundedly); the view may go meanwhile.
    void wait_for_page();
    // Printing starts (false when there is no page, printing runs already, or
    // the view went while the page loaded: then nothing of it may be touched)
    // and ends; the print commands are greyed in between.
    bool begin_printing();
    void end_printing();

    CVeltoDoc& doc_;
    NavigationPaneLink* pane_ = nullptr;

    QWebEngineProfile* profile_ = nullptr;
    ViewPage* page_ = nullptr;
    QWebEngineView* browser_ = nullptr;
    PageSchemeHandler* scheme_ = nullptr;
    PageBridge* bridge_ = nullptr;
    QMenu* menu_ = nullptr;
    BusyDialog* busy_ = nullptr;
    void start_busy();
    void stop_busy();
    WordMarks* marks_ = nullptr;
    CPinPointDlg* pinpoint_dlg_ = nullptr;
    PageFindBar* find_bar_ = nullptr;
    std::unique_ptr<NavigationHistory> own_history_;
    // Where the context menu was opened last: its link and sentence.
    PageAnchor menu_anchor_;
    std::function<void(const QUrl&)> open_external_;
    std::function<bool(int)> command_state_;

    // The link the pointer rests on, and the preview of it.
    LinkPeekPopup* peek_popup_ = nullptr;
    std::unique_ptr<LinkPeek> link_peek_;
    QTimer* peek_timer_ = nullptr;
    struct {
        QString href;
        std::string anchor; // its id
        std::string id;     // the page it leads to (the defining sentence of a term)
        QRect line;
        bool term = false;  // a marked use of a defined term; `anchor` holds the word
    } hovered_;
    std::unique_ptr<TermPeek> term_peek_;
    PeekTarget peeked_;

    std::string current_id_;
    bool forced_rebuild_ = false;
    bool from_link_ = false;
    // A rebuild of a large article that was shown in full keeps it in full.
    bool rebuild_full_ = false;
    bool shown_in_full_ = false;
    bool search_highlight_pending_ = false;
    std::map<std::string, std::string> cache_;
    int pending_x_ = 0;
    int pending_y_ = 0;
    struct {
        std::string page, anchor, scope;
    } pending_reveal_;
    std::string last_find_text_;
    bool printing_ = false;

    // The page that the next history entry records.
    std::string last_shown_id_;
    // The large article whose full text was last shown through its link.
    std::string last_link_id_;

    QUrl loading_url_; // the address of the page last put into the browser
    bool loading_ = false;
    bool load_retried_ = false;
    // The scroll position the page has or is about to have, while the engine
    // may still report an older one (the page before, or the place before a
    // scroll the view asked for): the engine tells a position only when it
    // changes on the screen. Empty when the engine's word holds.
    std::optional<QPoint> assumed_position_;

    // The sentence to mark once `mark_page_` has loaded; empty for none.
    std::string pending_mark_;
    std::string mark_page_;
    bool pin_image_shown_ = false;
    // The links of the document in the browser have their pinpoint colours.
    bool links_coloured_ = false;

    bool gesture_active_ = false;
    QPoint gesture_start_;
    bool right_button_down_ = false;
    // A context menu asked for while the right button was down: it opens at
    // the release, unless a gesture took the press.
    struct PendingMenu {
        QPoint screen;
        PageAnchor anchor;
    };
    std::optional<PendingMenu> pending_menu_;
};

} // namespace velto
