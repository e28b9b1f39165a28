// A stand-in for the e-Gov law API on 127.0.0.1, for the tests of
// velto-update: it answers the requests it was given answers for, from
// memory or from the shared law files, and can misbehave as a real server
// may (never answer, cut an answer off, redirect, send without end). One
// connection at a time, each closed after its answer; a request without an
// answer gets 404.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace velto::test {

class LawApiServer {
public:
    enum class Behaviour {
        Answer,   // status, headers and body
        Silent,   // takes the request and sends nothing until the client leaves
        CutOff,   // announces the body's length, sends half of it and closes
        Endless,  // 200 without a length, then bytes until the client leaves (or 101 MB)
    };
    struct Answer {
        Answer(int status = 200, std::string type = "application/json", std::string body = {},
               Behaviour behaviour = Behaviour::Answer, std::string location = {}, std::int64_t announced = -1)
            : status(status), type(std::move(type)), body(std::move(body)), behaviour(behaviour),
              location(std::move(location)), announced(announced)
        {
        }
        int status;
        std::string type;
        std::string body;
        Behaviour behaviour;
        std::string location;   // a Location header (a redirect)
        std::int64_t announced; // a Content-Length other than the body's; -1 for the body's
    };

    LawApiServer();  // listens on a free port of 127.0.0.1
    ~LawApiServer(); // stops and closes every connection
    LawApiServer(const LawApiServer&) = delete;
    LawApiServer& operator=(const LawApiServer&) = delete;

    int port() const { return port_; }
    // The address to give velto-update: "http://127.0.0.1:PORT/api/2".
    std::string api() const;
    // The answer to a GET of `target`, the path under api() with its query
    // decoded ("/law_revisions/325AC0000000201", "/laws?law_title=建築基準法").
    void answer(const std::string& target, Answer answer);
    // The targets asked for so far, in order, decoded.
    std::vector<std::string> requests() const;

    // A /law_revisions answer: the law, then its editions newest first, each
    // "REVISION-ID STATUS" (CurrentEnforced, PreviousEnforced, UnEnforced).
    static std::string revisions_json(const std::string& law_id, const std::string& law_num, const std::string& title,
                                      const std::vector<std::string>& editions);

private:
    void serve();
    void handle(int connection);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A file of the shared e-Gov data (…/data/egov/collection/…), read whole.
std::string egov_file(const std::string& relative);

} // namespace velto::test
