// Fetches the answers of the e-Gov law API: one GET at a time, nothing sent
// but the request (no cookies, no credentials), TLS certificates verified as
// the system's trust store has them.
//
// Every request is bounded: it ends when the server has sent nothing for the
// timeout (30 s unless set); an answer larger than the limit (100 MB) is
// refused as soon as its length is announced or its bytes pass the limit, and
// what is refused is not kept; a redirect is followed only to the same scheme,
// host and port. Each finished request is told to the progress callback (what
// it was for, its address, status, bytes and seconds). A failure is a message
// naming what the request was for and the HTTP status or the network fault;
// what the answers mean is left to the caller (law_revisions.h).
//
// Needs a QCoreApplication; runs its own event loop while it waits.
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <string>

class QIODevice;

namespace velto::update {

struct ClientOptions {
    int timeout_ms = 30000;
    std::int64_t limit = std::int64_t{100} * 1024 * 1024;
};

// One finished request, for the progress lines.
struct RequestReport {
    std::string what; // the law it was for ("01A 建築基準法")
    std::string path; // the address without the service's base
    int status = 0;   // HTTP status; 0 when none came
    std::int64_t bytes = 0;
    double seconds = 0;
};

class LawApiClient {
public:
    using Progress = std::function<void(const RequestReport&)>;
    LawApiClient(QUrl base, ClientOptions options, Progress progress);

    // GETs `url`; the answer's body goes into `body`, or, when `file` is
    // given, is written to it as it arrives. False with `error` naming `what`
    // and the status or fault; a status other than 200 is a failure.
    bool get(const std::string& what, const QUrl& url, QByteArray* body, QIODevice* file, std::string& error);

    int requests() const { return requests_; }
    std::int64_t bytes() const { return bytes_; }

private:
    QNetworkAccessManager manager_;
    QUrl base_;
    ClientOptions options_;
    Progress progress_;
    int requests_ = 0;
    std::int64_t bytes_ = 0;
};

} // namespace velto::update
