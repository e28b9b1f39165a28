#include "tools/update/api_address.h"

#include <QHostAddress>
#include <QUrlQuery>

namespace velto::update {

namespace {

bool is_this_machine(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

// The base's path with `tail` appended, each segment of `tail` encoded.
QUrl with_path(const QUrl& base, const QStringList& tail)
{
    QUrl url = base;
    QString path = base.path(QUrl::FullyEncoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    for (const QString& segment : tail)
        path += QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(segment));
    url.setPath(path, QUrl::StrictMode);
    return url;
}

} // namespace

bool parse_api_address(const std::string& text, QUrl& base, std::string& error)
{
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()) {
        error = "--api \"" + text + "\" is not an address (write https://HOST/PATH)";
        return false;
    }
    if (!url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment()) {
        error = "--api \"" + text + "\": an address without user, password, query or fragment, please";
        return false;
    }
    if (scheme == QLatin1String("https") || (scheme == QLatin1String("http") && is_this_machine(url.host()))) {
        base = url;
        return true;
    }
    error = "--api \"" + text + "\" refused: only https:// is accepted (http:// only to 127.0.0.1 or localhost, "
            "for testing); nothing was sent";
    return false;
}

QUrl revisions_url(const QUrl& base, const std::string& law_id)
{
    return with_path(base, {QStringLiteral("law_revisions"), QString::fromStdString(law_id)});
}

QUrl law_file_url(const QUrl& base, const std::string& revision_id)
{
    return with_path(base, {QStringLiteral("law_file"), QStringLiteral("xml"), QString::fromStdString(revision_id)});
}

QUrl laws_by_title_url(const QUrl& base, const std::string& title)
{
    QUrl url = with_path(base, {QStringLiteral("laws")});
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("law_title"),
                       QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(title))));
    url.setQuery(query);
    return url;
}

} // namespace velto::update
