// The bridge between the page view and the content of its page.
//
// The view's script (page_script.js, after the engine's qwebchannel.js) is
// injected into every page at document creation, in the view's own script
// world, so that it is there before the user can reach the page: page content
// cannot see it, and the page's own scripts do not run at all (ViewPage). The
// script is read and built once for the program, without comments or
// indentation, and shared by every page object. The script reaches this
// object through the web channel as "host" and reports the page's events
// through its slots; the view asks the page through run(), where the script
// offers window.veltoPage:
//
//   veltoPage.connected() -> bool: whether the page's reports reach this
//       object directly yet. The page opens the channel when it first has
//       something to report, or when asked this; reports made before it is
//       up reach this object once it is, in their order.
//   veltoPage.anchorAt(x, y) -> {anchor, href, id, sentence}: the link at a
//       point of the window (CSS pixels), anchor false where there is none,
//       and the sentence (ID_BN) the point belongs to, '' above the first.
//   veltoPage.offsetOf(name) -> {found, top, left, viewHeight}: where the
//       element of an id (else of a name) is, in document coordinates, and
//       the height of the window.
//   veltoPage.insertBefore(name, html, replaces) -> bool: inserts the view's
//       own html before the element of a name, after removing the element of
//       the id `replaces`.
//   veltoPage.prepend(html, replaces) -> bool: the same at the start of the body.
//   veltoPage.remove(id) -> bool: removes the element of an id.
//   veltoPage.colourLinks(keys, style) -> count: sets the inline style of
//       the anchors whose ids are in `keys`.
//   veltoPage.setCursor(cursor): the body's cursor ('' for the page's own).
//   veltoPage.contentHeight() -> number: the height of the whole page,
//       whatever the window's (a preview is sized by it).
//   veltoPage.reveal(id, scope) -> bool: scrolls the element `id` (a
//       sentence's anchor) to the top of the window and marks for a moment
//       the blocks of the sentences whose ids begin with `scope`; the top of
//       the page for an empty id. False when the page has no such element.
//   veltoPage.markWords(words, colours, path) -> count: paints the words
//       (view/word_marks.h) in the page of the address path `path`; -1 when
//       another page is shown.
//   veltoPage.clearMarks(path) -> count: takes that paint off again.
//   veltoPage.stepMark(forward, path) -> {index, count}: outlines the next
//       (previous) painted occurrence and brings it to the middle of the
//       window; null when another page is shown.
//
// Coordinates are CSS pixels; document coordinates count from the top left
// of the page, window coordinates from the top left of the part shown.
//
// A part that acts on the rendered page (marks, find, a link preview) adds its
// functions to window.veltoPage and its reports as slots and signals here, and
// runs its questions with run(); nothing else injects scripts into the page.
#pragma once

#include <QJsonArray>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVariant>
#include <QWebEngineScript>

#include <functional>

class QWebEnginePage;

namespace velto {

class PageBridge : public QObject {
    Q_OBJECT
public:
    // The view's script world, apart from the page's main world.
    static constexpr quint32 kWorld = QWebEngineScript::ApplicationWorld;

    // Registers itself as "host" with a web channel of `page` and injects the
    // view's script into every page `page` loads. `page` owns the bridge.
    explicit PageBridge(QWebEnginePage* page);

    // Runs `script` in the view's world of the page shown; `done` (optional)
    // receives its value, unless the page goes first.
    void run(const QString& script, const std::function<void(const QVariant&)>& done = {}) const;

    // The view's script as every page gets it: the web channel's script and
    // the page script, without comment lines, blank lines and indentation.
    // Built on the first call.
    static const QWebEngineScript& page_script();

    // The script that calls veltoPage.`function` with `arguments` (as JSON
    // values, so that no text can end a string early); null where the page
    // has no view script.
    static QString call(const char* function, const QJsonArray& arguments);

    // Slots called by the view's script; page content cannot reach them.
public slots:
    // The page window got the focus; `address` is the page's own address.
    void windowFocused(const QString& address) { emit focused(address); }
    // A click in the page; `anchor_id` is the id of the clicked anchor, empty
    // for a click elsewhere. Comes before the link's own report.
    void clicked(const QString& anchor_id) { emit anchorClicked(anchor_id); }
    // A link to `href` was activated (clicked, middle-clicked, or by key);
    // `by_user` when the user made the event, not a script. The engine does
    // not follow it by itself.
    void linkActivated(const QString& href, bool by_user) { emit linkActivatedInPage(href, by_user); }
    // The same, clicked with Shift: to be opened in the lower pane.
    void linkActivatedBelow(const QString& href, bool by_user) { emit linkActivatedBelowInPage(href, by_user); }
    // A mouse button went down at (x, y) in document coordinates; `button` 0
    // is the left, 2 the right one; `on_link` when it was on a link or a
    // picture.
    void mousePressed(int button, bool on_link, int x, int y) { emit mousePressedInPage(button, on_link, QPoint(x, y)); }
    // The mouse moved to (x, y) while the right button was held.
    void mouseMoved(int x, int y) { emit mouseMovedInPage(QPoint(x, y)); }
    void mouseReleased(int button, int x, int y) { emit mouseReleasedInPage(button, QPoint(x, y)); }
    // The reader asked for the context menu at (x, y) in window coordinates,
    // on the link `href` with the id `anchor_id` when `anchor` is set, in the
    // sentence `sentence` (empty above the first). Comes in order with the
    // mouse reports.
    void contextMenuAsked(int x, int y, bool anchor, const QString& href, const QString& anchor_id,
                          const QString& sentence)
    {
        emit contextMenuAskedInPage(QPoint(x, y), anchor, href, anchor_id, sentence);
    }

    // The pointer came onto the link `href` with the id `anchor_id`; the
    // line of the link it is on spans (x, y, width, height) in window
    // coordinates. linkLeft follows when it leaves the link.
    void linkEntered(const QString& href, const QString& anchor_id, int x, int y, int width, int height)
    {
        emit linkEnteredInPage(href, anchor_id, QRect(x, y, width, height));
    }
    void linkLeft() { emit linkLeftInPage(); }

signals:
    void focused(const QString& address);
    void linkEnteredInPage(const QString& href, const QString& anchor_id, const QRect& line);
    void linkLeftInPage();
    void anchorClicked(const QString& anchor_id);
    void linkActivatedInPage(const QString& href, bool by_user);
    void linkActivatedBelowInPage(const QString& href, bool by_user);
    void mousePressedInPage(int button, bool on_link, const QPoint& at);
    void mouseMovedInPage(const QPoint& at);
    void mouseReleasedInPage(int button, const QPoint& at);
    void contextMenuAskedInPage(const QPoint& at, bool anchor, const QString& href, const QString& anchor_id,
                                const QString& sentence);

private:
    QWebEnginePage* page_;
};

} // namespace velto
