#include "view/view_page.h"

#include "view/link_text.h"
#include "view/page_bridge.h"
#include "view/page_scheme.h"

#include <QWebEngineSettings>
#include <QTimer>
#include <QWebEngineLoadingInfo>

namespace velto {

ViewPage::ViewPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent)
{
    using S = QWebEngineSettings;
    QWebEngineSettings* s = settings();
    // The page's own scripts; the view's script world is not affected.
    s->setAttribute(S::JavascriptEnabled, false);
    s->setAttribute(S::JavascriptCanOpenWindows, false);
    s->setAttribute(S::JavascriptCanAccessClipboard, false);
    s->setAttribute(S::JavascriptCanPaste, false);
    s->setAttribute(S::AllowWindowActivationFromJavaScript, false);
    // Nothing outside the page scheme, nothing kept.
    s->setAttribute(S::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(S::LocalContentCanAccessFileUrls, false);
    s->setAttribute(S::LocalStorageEnabled, false);
    s->setAttribute(S::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(S::HyperlinkAuditingEnabled, false);
    s->setAttribute(S::DnsPrefetchEnabled, false);
    s->setAttribute(S::AllowRunningInsecureContent, false);
    s->setAttribute(S::AllowGeolocationOnInsecureOrigins, false);
    s->setAttribute(S::AutoLoadIconsForPage, false);
    s->setAttribute(S::TouchIconsEnabled, false);
    s->setAttribute(S::PluginsEnabled, false);
    s->setAttribute(S::PdfViewerEnabled, false);
    s->setAttribute(S::WebGLEnabled, false);
    s->setAttribute(S::ScreenCaptureEnabled, false);
    // Pages are shown as they are, in this view only.
    s->setAttribute(S::FullScreenSupportEnabled, false);
    s->setAttribute(S::ErrorPageEnabled, false);
    s->setAttribute(S::NavigateOnDropEnabled, false);
    s->setAttribute(S::FocusOnNavigationEnabled, false);
    // Printed pages keep their bracket colours and marks.
    s->setAttribute(S::PrintElementBackgrounds, true);

    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });

    // A refused navigation ends in a stop of its own; a load started before
    // that would be reported stopped with it and never as loaded.
    connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus && info.url() == refused_.url)
            release_refused_link();
    });
    bridge_ = new PageBridge(this);
    connect(bridge_, &PageBridge::linkActivatedInPage, this,
            [this](const QString& href, bool by_user) { link_requested(QUrl(href), by_user, false); });
    connect(bridge_, &PageBridge::linkActivatedBelowInPage, this,
            [this](const QString& href, bool by_user) { link_requested(QUrl(href), by_user, false, true); });
}

bool ViewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool main_frame)
{
    if (!main_frame) // an empty frame at most: a srcdoc frame would be a page of its own
        return url.scheme() == QLatin1String("about") && url.path() != QLatin1String("srcdoc");
    if (is_page_scheme_url(url)) {
        const bool own_load = type == NavigationTypeTyped;
        const bool in_page = url.hasFragment() && url.adjusted(QUrl::RemoveFragment) ==
                                                      this->url().adjusted(QUrl::RemoveFragment);
        return own_load || in_page;
    }
    if (url.toString() == QLatin1String("about:blank"))
        return type == NavigationTypeTyped;
    if (type == NavigationTypeLinkClicked)
        link_requested(url, false, true);
    return false;
}

// The user's activation of a link meant for another window reaches the view
// through the bridge before any window is asked for; anything else that asks
// for a window (a script, a click before the bridge is up) gets none.
QWebEnginePage* ViewPage::createWindow(WebWindowType) { return nullptr; }

void ViewPage::link_requested(const QUrl& url, bool by_user, bool refused, bool below)
{
    const InternalLink link = decode_internal_url(url.toString().toStdString());
    if (link.internal) {
        const QString id = QString::fromStdString(link.id);
        if (refused) {
            // Followed once the engine has ended the navigation it was asked
            // for; should that end never be told, a moment later.
            refused_ = {url, id, true};
            QTimer::singleShot(kRefusedWait, this, [this, url] {
                if (refused_.url == url)
                    release_refused_link();
            });
        } else {
            // After the bridge's event: showing the page starts a new load.
            QMetaObject::invokeMethod(
                this,
                [this, id, below] {
                    if (below)
                        emit internalLinkBelowRequested(id);
                    else
                        emit internalLinkRequested(id);
                },
                Qt::QueuedConnection);
        }
        return;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("velto-diff")) {
        if (by_user)
            emit comparisonLinkRequested(url);
        return;
    }
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                     scheme == QLatin1String("mailto");
    if (web && by_user)
        emit externalLinkRequested(url);
}

void ViewPage::release_refused_link()
{
    if (!refused_.pending)
        return;
    const QString id = refused_.id;
    refused_ = {};
    QMetaObject::invokeMethod(
        this, [this, id] { emit internalLinkRequested(id); }, Qt::QueuedConnection);
}

} // namespace velto
