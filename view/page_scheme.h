// How composed pages reach the browser: the document writes each page into its
// working folder, and the browser loads that file through the program's own
// URL scheme. The scheme is local (pages may show pictures from the program
// folder) and serves only the files the page view has published; nothing a
// page links to can make it read another file.
#pragma once

#include <QHash>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlSchemeHandler>

#include <deque>
#include <string>

namespace velto {

// The scheme name: pages are loaded as "velto:/page/<serial>/<ID_FN>".
inline constexpr char kPageScheme[] = "velto";

// Registers the scheme with the browser engine. It must run before the
// application object is created; later calls do nothing.
void register_page_scheme();

class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    // How many published pages stay reachable: the newest few, so that a load
    // still on its way finds its file.
    static constexpr std::size_t kKeep = 8;

    explicit PageSchemeHandler(QObject* parent = nullptr);

    // A new address under which the browser loads the page file `file` of `id`.
    QUrl publish(const std::string& id, const std::string& file);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    QHash<QString, QString> files_; // path of the address -> page file
    std::deque<QString> order_;     // published paths, oldest first
    quint64 serial_ = 0;
};

// Keeps the pages off the network: every request to a network scheme made by
// a page (pictures, scripts, frames, anything) is blocked. Links to web pages
// are handled by the page view before any request is made.
class LocalOnlyInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

} // namespace velto
