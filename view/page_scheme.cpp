#include "view/page_scheme.h"

#include "compose/content_policy.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace velto {

namespace {

const QString kPagePrefix = QStringLiteral("/page/");
const QString kImagePrefix = QStringLiteral("/images/");
const QString kPreviewPrefix = QStringLiteral("/preview/");

QUrl scheme_url(const QString& path)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(kPageScheme));
    url.setHost(QString::fromLatin1(kPageHost));
    url.setPath(path);
    return url;
}

} // namespace

void register_page_scheme()
{
    if (QWebEngineUrlScheme::schemeByName(kPageScheme).name() == kPageScheme)
        return;
    // A scheme with a host: the host is the origin of every page. No flag gives
    // its pages access to local files or makes them a secure context.
    QWebEngineUrlScheme scheme(kPageScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags({});
    QWebEngineUrlScheme::registerScheme(scheme);
}

std::string page_image_url() { return std::string(kPageScheme) + "://" + kPageHost + kImagePrefix.toStdString(); }

bool is_page_scheme_url(const QUrl& url)
{
    return url.scheme() == QLatin1String(kPageScheme) && url.host() == QLatin1String(kPageHost);
}

QWebEngineProfile* make_page_profile(PageSchemeHandler* handler, QObject* parent)
{
    // Without a storage name the profile is off the record.
    auto* profile = new QWebEngineProfile(parent);
    profile->setSpellCheckEnabled(false);
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    handler->setParent(profile);
    profile->installUrlSchemeHandler(kPageScheme, handler);
    profile->setUrlRequestInterceptor(new LocalOnlyInterceptor(profile));
    return profile;
}

PageSchemeHandler::PageSchemeHandler(const std::string& image_dir, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent)
{
    if (!image_dir.empty())
        image_root_ = QFileInfo(QString::fromStdString(image_dir)).canonicalFilePath();
}

QUrl PageSchemeHandler::publish(const std::string& id, const std::string& file)
{
    const QString path = kPagePrefix + QStringLiteral("%1/%2").arg(++serial_).arg(QString::fromStdString(id));
    files_.insert(path, QString::fromStdString(file));
    order_.push_back(path);
    while (order_.size() > kKeep) {
        files_.remove(order_.front());
        order_.pop_front();
    }
    return scheme_url(path);
}

QUrl PageSchemeHandler::publish_preview(const QByteArray& html)
{
    const QString path = kPreviewPrefix + QString::number(++serial_);
    previews_.insert(path, html);
    preview_order_.push_back(path);
    while (preview_order_.size() > kKeepPreviews) {
        previews_.remove(preview_order_.front());
        preview_order_.pop_front();
    }
    return scheme_url(path);
}

bool PageSchemeHandler::attach(const QUrl& url, const std::string& file)
{
    const auto it = is_page_scheme_url(url) ? files_.find(url.path()) : files_.end();
    if (it == files_.end())
        return false;
    it.value() = QString::fromStdString(file);
    return true;
}

void PageSchemeHandler::withdraw(const QUrl& url)
{
    if (is_page_scheme_url(url))
        files_.remove(url.path()); // its place in order_ goes with the oldest
}

PageSchemeHandler::Target PageSchemeHandler::resolve(const QUrl& url) const
{
    if (!is_page_scheme_url(url) || url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty() ||
        url.port() != -1)
        return {};
    const QString path = url.path();
    if (path.startsWith(kImagePrefix))
        return picture(path.mid(kImagePrefix.size()));
    if (const auto preview = previews_.constFind(path); preview != previews_.constEnd())
        return {{}, QByteArrayLiteral("text/html; charset=utf-8"), true, preview.value()};
    const auto it = files_.constFind(path);
    if (it == files_.constEnd() || it.value().isEmpty())
        return {};
    return {it.value(), QByteArrayLiteral("text/html; charset=utf-8"), true, {}};
}

PageSchemeHandler::Target PageSchemeHandler::picture(const QString& relative) const
{
    static const QHash<QString, QByteArray> types = {
        {QStringLiteral("gif"), "image/gif"},      {QStringLiteral("png"), "image/png"},
        {QStringLiteral("jpg"), "image/jpeg"},     {QStringLiteral("jpeg"), "image/jpeg"},
        {QStringLiteral("bmp"), "image/bmp"},      {QStringLiteral("svg"), "image/svg+xml"},
    };
    if (image_root_.isEmpty() || relative.isEmpty())
        return {};
    // The real file, links resolved: it must lie inside the image folder.
    const QFileInfo info(QDir(image_root_).filePath(relative));
    const QString real = info.canonicalFilePath();
    if (real.isEmpty() || !real.startsWith(image_root_ + QLatin1Char('/')) || !QFileInfo(real).isFile())
        return {};
    const auto type = types.constFind(QFileInfo(real).suffix().toLower());
    if (type == types.constEnd())
        return {};
    return {real, type.value(), false, {}};
}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    if (job->requestMethod() != QByteArrayLiteral("GET")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const Target target = resolve(job->requestUrl());
    QByteArray data = target.html;
    if (target.file.isEmpty() == data.isEmpty()) {
        // Neither a file nor a preview: nothing of this address.
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    if (!target.file.isEmpty()) {
        QFile file(target.file);
        if (!file.open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        data = file.readAll();
    }
    // The engine reads the reply on its own thread until the job is gone.
    auto* body = new QBuffer;
    const std::string_view bytes(data.constData(), std::size_t(data.size()));
    body->setData(target.page ? QByteArray::fromStdString(with_content_policy(bytes)) : data);
    body->open(QIODevice::ReadOnly);
    connect(job, &QObject::destroyed, body, &QObject::deleteLater);
    job->reply(target.type, body);
}

void LocalOnlyInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    const QUrl url = info.requestUrl();
    const QString scheme = url.scheme().toLower();
    if (is_page_scheme_url(url) || scheme == QLatin1String("data"))
        return;
    info.block(true);
}

} // namespace velto
