#include "app/html_export.h"

#include "app/stderr_reporter.h"
#include "compose/content_policy.h"
#include "compose/velto_doc.h"
#include "core/replace_file.h"

#include <unistd.h>

#include <filesystem>

namespace velto {

namespace {

// The program's own pages, written even when the law 00A is hidden.
constexpr const char* kOwnPages[] = {"00A-Z0010000-00", "00A-Z0020000-00", "00A-Z0030000-00", "00A-Z0040000-00",
                                     "00A-Z0090000-00"};

// Whether the database has a page row for `id`; a database of imported laws
// alone has none of the program's own pages.
bool has_page(CVeltoDoc& doc, const std::string& id)
{
    try {
        return !doc.database()
                    .execute("SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = '" +
                             sql_escape(id) + "' ")
                    ->eof();
    } catch (const ComponentError&) {
        return true; // let the composition meet the fault and tell it
    }
}

// A report in one line: its caption, the text before its detail lines and,
// for a database fault, the engine's description.
std::string one_line(const std::pair<std::string, std::string>& message)
{
    const std::string& text = message.second;
    std::string line = message.first;
    std::string first = text.substr(0, text.find("\n\n"));
    if (first.find("関数 = ") == std::string::npos && !first.empty()) {
        std::erase(first, '\n'); // line breaks inside Japanese sentences
        line += (line.empty() ? "" : ": ") + first;
    }
    if (const std::size_t at = text.find("説明 = "); at != std::string::npos)
        line += " (" + text.substr(at, text.find('\n', at) - at) + ")";
    return line.empty() ? "the page could not be composed" : line;
}

} // namespace

int export_html(CVeltoDoc& doc, StderrReporter& reporter, const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const OpenFolder out(folder, true);
    if (!out.is_open()) {
        print_text(stderr, "velto: cannot create the folder " + folder + " (" + out.error() + ")\n");
        return 1;
    }
    std::vector<std::string> ids;
    for (const HistoryEntry& entry : doc.pages().pages())
        ids.push_back(entry.id);
    std::size_t absent = 0;
    for (const char* own : kOwnPages) {
        if (doc.pages().find(own))
            continue;
        if (has_page(doc, own))
            ids.emplace_back(own);
        else
            ++absent;
    }
    const bool terminal = isatty(fileno(stderr));
    const auto clear_progress = [&] {
        if (terminal)
            std::fputs("\r\033[K", stderr);
    };
    reporter.quiet = true;
    std::size_t failed = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const std::string& id = ids[i];
        std::string html;
        std::string reason;
        if (!is_page_file_id(id)) {
            reason = "not a page identifier";
        } else {
            reporter.last = {};
            if (!doc._html_build(id, html))
                reason = one_line(reporter.last);
            else
                reason = replace_file(out, id + ".html", with_content_policy(html));
        }
        if (!reason.empty()) {
            ++failed;
            clear_progress();
            print_text(stderr, "velto: " + id + ".html not written: " + reason + "\n");
        }
        if (terminal)
            std::fprintf(stderr, "\r%zu/%zu", i + 1, ids.size());
    }
    reporter.quiet = false;
    clear_progress();
    std::fprintf(stderr, "%zu pages written, %zu failed", ids.size() - failed, failed);
    if (absent > 0)
        std::fprintf(stderr, " (%zu of the program's own pages are not in this database)", absent);
    std::fputc('\n', stderr);
    return failed == 0 ? 0 : 1;
}

} // namespace velto
