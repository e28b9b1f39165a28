#include "view/page_scheme.h"

#include <QBuffer>
#include <QFile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace velto {

void register_page_scheme()
{
    if (QWebEngineUrlScheme::schemeByName(kPageScheme).name() == kPageScheme)
        return;
    QWebEngineUrlScheme scheme(kPageScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

PageSchemeHandler::PageSchemeHandler(QObject* parent) : QWebEngineUrlSchemeHandler(parent) {}

QUrl PageSchemeHandler::publish(const std::string& id, const std::string& file)
{
    const QString path = QStringLiteral("/page/%1/%2").arg(++serial_).arg(QString::fromStdString(id));
    files_.insert(path, QString::fromStdString(file));
    order_.push_back(path);
    while (order_.size() > kKeep) {
        files_.remove(order_.front());
        order_.pop_front();
    }
    QUrl url;
    url.setScheme(QString::fromLatin1(kPageScheme));
    url.setPath(path);
    return url;
}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const auto it = files_.constFind(job->requestUrl().path());
    if (it == files_.constEnd()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QFile file(it.value());
    if (!file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The engine reads the reply on its own thread until the job is gone.
    auto* body = new QBuffer;
    body->setData(file.readAll());
    body->open(QIODevice::ReadOnly);
    connect(job, &QObject::destroyed, body, &QObject::deleteLater);
    job->reply(QByteArrayLiteral("text/html; charset=utf-8"), body);
}

void LocalOnlyInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    static const QStringList network = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ws"),
                                        QStringLiteral("wss"), QStringLiteral("ftp")};
    if (network.contains(info.requestUrl().scheme(), Qt::CaseInsensitive))
        info.block(true);
}

} // namespace velto
