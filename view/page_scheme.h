// How composed pages reach the browser: the document writes each page into its
// working folder, and the browser loads that file through the program's own
// URL scheme, under one fixed host, so that every page has the same origin and
// one render process serves them all. The same host serves the pictures of the
// program's image folder.
//
// What the scheme refuses: any path but a page the view has published or a
// picture inside the image folder (no "..", no link leading out of it, nothing
// but pictures). Every page it serves carries the content policy of
// compose/content_policy.h before anything else: no script and nothing from
// outside the scheme. The interceptor blocks
// every request of a page to any other scheme (network, file: and the rest).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlSchemeHandler>

#include <deque>
#include <string>

class QWebEngineProfile;

namespace velto {

// The scheme name and its one host: pages are "velto://app/page/<serial>/<ID_FN>",
// previews "velto://app/preview/<serial>", pictures "velto://app/images/<path
// in the image folder>".
inline constexpr char kPageScheme[] = "velto";
inline constexpr char kPageHost[] = "app";

// Registers the scheme with the browser engine. It must run before the
// application object is created; later calls do nothing.
void register_page_scheme();

// The address under which pages name the image folder, ending in "/".
std::string page_image_url();

// True for an address of the scheme's host (a page or a picture).
bool is_page_scheme_url(const QUrl& url);

class PageSchemeHandler;

// A private profile for the page view: it keeps nothing on disk, serves the
// page scheme through `handler` (it becomes the handler's parent) and blocks
// every request to another scheme.
QWebEngineProfile* make_page_profile(PageSchemeHandler* handler, QObject* parent);

class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    // How many published pages stay reachable: the newest few, so that a load
    // still on its way finds its file.
    static constexpr std::size_t kKeep = 8;

    // `image_dir` is the program's image folder (may be empty: no pictures).
    explicit PageSchemeHandler(const std::string& image_dir, QObject* parent = nullptr);

    // A new address under which the browser loads the page file `file` of `id`.
    // `file` may be empty and given later by attach(): until then the address
    // names nothing.
    QUrl publish(const std::string& id, const std::string& file);
    // The page file of an address publish() gave; false when the address is
    // no longer (or never was) published.
    bool attach(const QUrl& url, const std::string& file);
    // The address names nothing from now on.
    void withdraw(const QUrl& url);
    // A new address under which the browser loads `html`, a preview composed
    // in memory (it is no page: it has no file). Served as pages are; the
    // newest kKeepPreviews stay reachable.
    static constexpr std::size_t kKeepPreviews = 2;
    QUrl publish_preview(const QByteArray& html);

    // The file an address of the scheme stands for, with its content type;
    // empty when the address names nothing the scheme serves.
    struct Target {
        QString file;
        QByteArray type;
        bool page = false;
        QByteArray html; // a preview's own text, when file is empty
    };
    Target resolve(const QUrl& url) const;

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    Target picture(const QString& path) const;

    QString image_root_; // canonical image folder; empty when there is none
    QHash<QString, QString> files_; // path of the address -> page file
    std::deque<QString> order_;     // published paths, oldest first
    QHash<QString, QByteArray> previews_; // path of the address -> preview
    std::deque<QString> preview_order_;
    quint64 serial_ = 0;
};

// Keeps pages to the scheme: every request a page makes to any other scheme
// (network, file: and the rest) is blocked, except inline data: addresses.
// Links are handled by the page view before any request is made.
class LocalOnlyInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

} // namespace velto
