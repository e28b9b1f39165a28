// The bridge between the page view and the content of its page.
//
// The view's script (page_script.js, after the engine's qwebchannel.js) is
// injected into every page at document creation, in the view's own script
// world: page content cannot see it, and the page's own scripts do not run at
// all (ViewPage). The script reaches this object through the web channel as
// "host" and reports the page's events through its slots; the view asks the
// page through run(), where the script offers window.veltoPage:
//
//   veltoPage.anchorAt(x, y) -> {anchor, href, id}: the link at a point of
//       the window (CSS pixels); anchor is false where there is none.
//
// A part that acts on the rendered page (marks, find, a link preview) adds its
// functions to window.veltoPage and its reports as slots and signals here, and
// runs its questions with run(); nothing else injects scripts into the page.
#pragma once

#include <QObject>
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

signals:
    void focused(const QString& address);
    void anchorClicked(const QString& anchor_id);
    void linkActivatedInPage(const QString& href, bool by_user);

private:
    QWebEnginePage* page_;
};

} // namespace velto
