// The address of the e-Gov law API that velto-update talks to, and the
// addresses of the three requests it sends there.
//
// Only https:// is accepted, so that the law text arrives as the service sent
// it; plain http:// only to this machine (127.0.0.1, localhost, ::1), where a
// test server answers. Anything else is refused here, with a message, before
// any connection is made. What the answers mean is law_revisions.h's; how
// they are fetched law_api_client.h's.
#pragma once

#include <QUrl>

#include <string>

namespace velto::update {

// The service's own address, as its published description names it.
inline constexpr char kDefaultApi[] = "https://laws.e-gov.go.jp/api/2";

// `text` as the base of the requests; false with a message for any address
// that is not https:// (or http:// to this machine), has no host, or carries
// a user, password, query or fragment.
bool parse_api_address(const std::string& text, QUrl& base, std::string& error);

// /law_revisions/{law_id}: the editions of a law.
QUrl revisions_url(const QUrl& base, const std::string& law_id);
// /law_file/xml/{law_revision_id}: the law XML of one edition.
QUrl law_file_url(const QUrl& base, const std::string& revision_id);
// /laws?law_title=…: the laws whose title holds `title`.
QUrl laws_by_title_url(const QUrl& base, const std::string& title);

} // namespace velto::update
