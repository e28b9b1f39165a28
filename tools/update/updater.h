// velto-update's commands: --check, --update and --add, on one law database
// against the e-Gov law API.
//
// The answers are read and every fetched text is checked (its law number and
// law id against the law asked for) and mapped before anything is written;
// the laws then go into the database in one write of the importer
// (tools/import/law_writer.h), which keeps each replaced edition as an
// earlier one and runs the passes over the whole database an import runs.
// So any fault (an HTTP error, the service's maintenance page, a cut-off or
// malformed answer, another law's text, a timeout, no server, a redirect to
// another host, an answer over the limit) ends the command with a message
// naming the law and the status, exit status 1 and the database as it was.
//
// Results go to `out` a line each (tab-separated, as the README shows);
// progress, messages and the summary to `err`.
#pragma once

#include "tools/update/law_api_client.h"
#include "tools/update/law_revisions.h"

#include <QUrl>

#include <functional>
#include <string>
#include <vector>

namespace velto::update {

struct UpdaterOptions {
    std::string database;
    QUrl api;
    ClientOptions client;
};

class Updater {
public:
    using Sink = std::function<void(const std::string& line)>;
    Updater(UpdaterOptions options, Sink out, Sink err);

    // Each law with an e-Gov law id: code, title, the stored 施行日, that of
    // the edition in force, 最新です or 新しい版があります (and, when the
    // service lists an edition not yet in force after the stored one,
    // 未施行の改正があります（YYYY-MM-DD施行）). Never writes. Returns the exit status.
    int check();
    // Replaces the text of each law of `codes` (none: of every law with a
    // newer edition in force) by the edition in force, keeping the replaced
    // one; a line per law of what changed. Returns the exit status.
    int update(const std::vector<std::string>& codes);
    // Adds the law of that e-Gov law id or title, in its edition in force, as
    // law `code`, or with a free code in its family when `code` is empty.
    int add(const std::string& law, const std::string& code);

private:
    struct Plan;
    bool fetch_revisions(const std::string& what, const std::string& law_id, LawRevisions& revisions);
    bool fetch_text(const Plan& plan, const std::string& folder, std::string& file);
    int fail(const std::string& message);
    void summary(const std::string& what);

    UpdaterOptions options_;
    Sink out_;
    Sink err_;
    LawApiClient client_;
};

} // namespace velto::update
