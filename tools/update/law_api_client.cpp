#include "tools/update/law_api_client.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace velto::update {

namespace {

// What is kept of an answer that is not the one asked for, to tell why.
constexpr qsizetype kErrorBodyLimit = 64 * 1024;

bool same_origin(const QUrl& a, const QUrl& b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && a.port(-1) == b.port(-1);
}

// The address as the messages show it: what follows the service's base.
std::string shown_path(const QUrl& base, const QUrl& url)
{
    QString text = url.toDisplayString(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    const QString prefix = base.path();
    if (!prefix.isEmpty() && prefix != QLatin1String("/") && text.startsWith(prefix))
        text = text.mid(prefix.size());
    return text.toStdString();
}

// Why an answer with HTTP status `status` is not a law API answer.
std::string status_text(int status, const QByteArray& reason, const QByteArray& type, const QByteArray& body)
{
    std::string text = "HTTP " + std::to_string(status);
    if (!reason.isEmpty())
        text += " " + reason.toStdString();
    if (type.toLower().contains("text/html")) {
        text += ", an HTML page (the service may be under maintenance)";
        return text;
    }
    const QJsonDocument json = QJsonDocument::fromJson(body);
    const QString message = json.object().value(QStringLiteral("message")).toString();
    if (!message.isEmpty())
        text += ": " + message.left(200).toStdString();
    return text;
}

} // namespace

LawApiClient::LawApiClient(QUrl base, ClientOptions options, Progress progress)
    : base_(std::move(base)), options_(options), progress_(std::move(progress))
{
}

bool LawApiClient::get(const std::string& what, const QUrl& url, QByteArray* body, QIODevice* file, std::string& error)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("velto-update"));

    QElapsedTimer clock;
    clock.start();
    ++requests_;
    QNetworkReply* reply = manager_.get(request);
    QEventLoop loop;
    QTimer idle;
    idle.setSingleShot(true);
    std::string fault;     // why the request was given up
    std::int64_t received = 0;
    int status = 0;
    QByteArray refused_body; // the body of an answer other than 200, to tell why
    const auto give_up = [&](std::string why) {
        if (fault.empty())
            fault = std::move(why);
        reply->abort();
    };
    const auto read_status = [&] {
        status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > options_.limit)
            give_up("the answer is " + std::to_string(length.toLongLong()) + " bytes, over the limit of " +
                    std::to_string(options_.limit) + " bytes: refused");
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, read_status);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        idle.start(options_.timeout_ms);
        if (status == 0)
            read_status();
        const QByteArray chunk = reply->readAll();
        received += chunk.size();
        if (received > options_.limit) {
            give_up("the answer passed the limit of " + std::to_string(options_.limit) + " bytes: refused");
            return;
        }
        if (status != 200) {
            if (refused_body.size() < kErrorBodyLimit)
                refused_body += chunk.left(kErrorBodyLimit - refused_body.size());
        } else if (file) {
            if (file->write(chunk) != chunk.size())
                give_up("cannot keep the answer: " + file->errorString().toStdString());
        } else if (body) {
            body->append(chunk);
        }
    });
    QObject::connect(reply, &QNetworkReply::redirected, &loop, [&](const QUrl& target) {
        if (same_origin(target, url))
            emit reply->redirectAllowed();
        else
            give_up("redirected to " + target.toDisplayString().toStdString() + ", another host: not followed");
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&] { idle.start(options_.timeout_ms); });
    QObject::connect(&idle, &QTimer::timeout, &loop, [&] {
        give_up("no answer for " + QString::number(options_.timeout_ms / 1000.0).toStdString() + " s: given up");
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    idle.start(options_.timeout_ms);
    if (!reply->isFinished())
        loop.exec();
    idle.stop();
    if (status == 0)
        status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (fault.empty() && reply->bytesAvailable() > 0) {
        // Data that arrived with the end of the answer.
        const QByteArray rest = reply->readAll();
        received += rest.size();
        if (received > options_.limit)
            fault = "the answer passed the limit of " + std::to_string(options_.limit) + " bytes: refused";
        else if (status != 200)
            refused_body += rest.left(kErrorBodyLimit);
        else if (file && file->write(rest) != rest.size())
            fault = "cannot keep the answer: " + file->errorString().toStdString();
        else if (!file && body)
            body->append(rest);
    }
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (fault.empty()) {
        if (status == 0)
            fault = "no answer: " + reply->errorString().toStdString();
        else if (status != 200)
            fault = status_text(status, reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray(),
                                reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), refused_body);
        else if (reply->error() != QNetworkReply::NoError)
            fault = "the answer was cut off after " + std::to_string(received) + " bytes (" +
                    reply->errorString().toStdString() + ")";
        else if (length.isValid() && length.toLongLong() != received)
            fault = "the answer was cut off after " + std::to_string(received) + " of " +
                    std::to_string(length.toLongLong()) + " bytes";
    }
    delete reply;
    bytes_ += received;
    const std::string path = shown_path(base_, url);
    if (progress_)
        progress_({what, path, status, received, clock.elapsed() / 1000.0});
    if (fault.empty())
        return true;
    error = what + ": " + path + ": " + fault;
    return false;
}

} // namespace velto::update
