// The browser page of the page view: what the content of a page may do, and
// all link policy of the page in one place.
//
// What content may do: show itself with the pictures, styles and fonts of the
// page scheme (view/page_scheme.h). Its own scripts never run; only the view's
// script does, in its own world (view/page_bridge.h). It opens no windows,
// reaches no network and no file, and has no WebRTC, plugins, storage,
// clipboard or permissions.
//
// Where navigation leads. Links activated in the page come from the bridge
// (the engine is not asked to follow them); the engine's own navigations are
// held to the same rules.
//   - an internal link ("http://" + identifier + "_VELTO", view/link_text.h):
//     never a navigation; internalLinkRequested (internalLinkBelowRequested
//     for a Shift+click, to be shown in the lower pane) with the decoded identifier
//     (empty when the address names no page), once the engine is done with
//     the event (for a navigation it began: once it has ended it), so that the
//     view may start a load at once; a refresh or redirect leads nowhere;
//   - a web page or mail address: externalLinkRequested, only for a link the
//     user activated (reported by the bridge); a click made by a script, a
//     redirect, a refresh or a form leads nowhere;
//   - a link to a 新旧対照 ("velto-diff:"): comparisonLinkRequested, on the
//     same terms as a web page;
//   - the page scheme: only the view's own loads (load()) and jumps within
//     the page shown;
//   - frames: nothing but about: addresses, and no srcdoc frame;
//   - windows: none; a link the user activates is handled in the page
//     whatever window it names.
#pragma once

#include <QUrl>
#include <QWebEnginePage>

namespace velto {

class PageBridge;

class ViewPage : public QWebEnginePage {
    Q_OBJECT
public:
    // `profile` must outlive the page (view/page_scheme.h: make_page_profile).
    explicit ViewPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // The bridge to the view's script in the page; owned by the page.
    PageBridge* bridge() const { return bridge_; }

signals:
    // An internal link was followed; `id` is empty when it names no page.
    void internalLinkRequested(const QString& id);
    // An internal link was clicked with Shift: its page in the lower pane.
    void internalLinkBelowRequested(const QString& id);
    // The user activated a link to a web page or a mail address.
    void externalLinkRequested(const QUrl& url);
    // The user activated a link to a 新旧対照 ("velto-diff:", editions/article_history.h).
    void comparisonLinkRequested(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool main_frame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

private:
    // How long a refused navigation may take to end (milliseconds).
    static constexpr int kRefusedWait = 500;

    // A link to `url` was followed in the page; `by_user` when the user
    // activated it, `refused` when it came as a navigation of the engine.
    void link_requested(const QUrl& url, bool by_user, bool refused, bool below = false);
    // Follows the internal link whose navigation was refused.
    void release_refused_link();

    PageBridge* bridge_ = nullptr;
    struct {
        QUrl url;
        QString id;
        bool pending = false;
    } refused_;
};

} // namespace velto
