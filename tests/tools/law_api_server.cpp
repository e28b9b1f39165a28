#include "tests/tools/law_api_server.h"

#include "tests/fixtures.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace velto::test {

namespace {

constexpr char kBase[] = "/api/2";

// Waits until `fd` can be read or the server stops; false when it stops.
bool wait_readable(int fd, const std::atomic<bool>& stopping)
{
    while (!stopping) {
        pollfd p{fd, POLLIN, 0};
        const int n = ::poll(&p, 1, 50);
        if (n > 0)
            return true;
        if (n < 0)
            return false;
    }
    return false;
}

bool send_all(int fd, const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string reason_of(int status)
{
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

LawApiServer::LawApiServer()
{
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 8) != 0) {
        ADD_FAILURE() << "the test server cannot listen";
        return;
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

LawApiServer::~LawApiServer()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0)
        ::close(listener_);
}

std::string LawApiServer::api() const { return "http://127.0.0.1:" + std::to_string(port_) + kBase; }

void LawApiServer::answer(const std::string& target, Answer answer)
{
    const std::lock_guard lock(mutex_);
    answers_[target] = std::move(answer);
}

std::vector<std::string> LawApiServer::requests() const
{
    const std::lock_guard lock(mutex_);
    return requests_;
}

void LawApiServer::serve()
{
    while (wait_readable(listener_, stopping_)) {
        const int connection = ::accept(listener_, nullptr, nullptr);
        if (connection < 0)
            continue;
        handle(connection);
        ::close(connection);
    }
}

void LawApiServer::handle(int connection)
{
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        if (!wait_readable(connection, stopping_))
            return;
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    // "GET /api/2/law_revisions/… HTTP/1.1"
    const std::size_t start = request.find(' ') + 1, end = request.find(' ', start);
    std::string target = QByteArray::fromPercentEncoding(QByteArray::fromStdString(request.substr(start, end - start)))
                             .toStdString();
    if (target.rfind(kBase, 0) == 0)
        target = target.substr(sizeof kBase - 1);
    Answer answer{404, "application/json", R"({"code":"404001","message":"not found"})"};
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(target);
        if (const auto it = answers_.find(target); it != answers_.end())
            answer = it->second;
    }
    std::string head = "HTTP/1.1 " + std::to_string(answer.status) + " " + reason_of(answer.status) +
                       "\r\nContent-Type: " + answer.type + "\r\nConnection: close\r\n";
    if (!answer.location.empty())
        head += "Location: " + answer.location + "\r\n";
    switch (answer.behaviour) {
    case Behaviour::Silent:
        while (wait_readable(connection, stopping_) && ::recv(connection, buffer, sizeof buffer, 0) > 0) {
        }
        return;
    case Behaviour::Endless: {
        if (!send_all(connection, head + "\r\n"))
            return;
        const std::string chunk(1 << 20, 'x');
        for (int i = 0; i < 101 && !stopping_; ++i)
            if (!send_all(connection, chunk))
                return;
        return;
    }
    case Behaviour::CutOff:
        send_all(connection, head + "Content-Length: " + std::to_string(answer.body.size()) + "\r\n\r\n" +
                                 answer.body.substr(0, answer.body.size() / 2));
        return;
    case Behaviour::Answer:
        send_all(connection, head + "Content-Length: " +
                                 std::to_string(answer.announced >= 0 ? answer.announced
                                                                      : static_cast<std::int64_t>(answer.body.size())) +
                                 "\r\n\r\n" + answer.body);
        return;
    }
}

std::string LawApiServer::revisions_json(const std::string& law_id, const std::string& law_num,
                                         const std::string& title, const std::vector<std::string>& editions)
{
    QJsonArray revisions;
    for (const std::string& edition : editions) {
        const QString id = QString::fromStdString(edition.substr(0, edition.find(' ')));
        const QString date = id.mid(16, 4) + "-" + id.mid(20, 2) + "-" + id.mid(22, 2);
        revisions.append(QJsonObject{{"law_revision_id", id},
                                     {"law_title", QString::fromStdString(title)},
                                     {"amendment_enforcement_date", date},
                                     {"current_revision_status", QString::fromStdString(edition.substr(edition.find(' ') + 1))}});
    }
    const QJsonObject info{{"law_id", QString::fromStdString(law_id)}, {"law_num", QString::fromStdString(law_num)}};
    return QJsonDocument(QJsonObject{{"law_info", info}, {"revisions", revisions}}).toJson().toStdString();
}

std::string egov_file(const std::string& relative)
{
    return read_file(std::string(VELTO_SHARED_DIR) + "/data/egov/" + relative);
}

} // namespace velto::test
