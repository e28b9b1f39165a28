#include "app/help_window.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace velto {

namespace {

// The help is one document held in memory: nothing else is ever fetched.
class NothingFetched : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != QLatin1String("data") && scheme != QLatin1String("about"))
            info.block(true);
    }
};

class HelpPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool main_frame) override
    {
        // The document itself, and moves within it.
        if (url.scheme() == QLatin1String("data") || url.matches(this->url(), QUrl::RemoveFragment))
            return main_frame;
        const QString scheme = url.scheme().toLower();
        const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                         scheme == QLatin1String("mailto");
        if (web && type == NavigationTypeLinkClicked)
            QDesktopServices::openUrl(url);
        return false;
    }
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}
};

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("ヘルプ"));
    profile_ = new QWebEngineProfile(this); // keeps nothing on disk
    profile_->setUrlRequestInterceptor(new NothingFetched(profile_));
    auto* page = new HelpPage(profile_, profile_);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadImages, false);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);

    browser_ = new QWebEngineView(this);
    browser_->setPage(page);
    browser_->setContextMenuPolicy(Qt::NoContextMenu);
    browser_->setAcceptDrops(false);
    connect(page, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        if (!title.isEmpty() && !title.startsWith(QLatin1String("data:")))
            setWindowTitle(title);
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (ok)
            emit loaded();
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(900, 700);
}

HelpWindow::~HelpWindow()
{
    // The view before its page, the page before its profile.
    QWebEnginePage* page = browser_->page();
    delete browser_;
    delete page;
}

bool HelpWindow::open(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxFileSize)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    browser_->setHtml(QString::fromUtf8(file.readAll()));
    return true;
}

} // namespace velto
