#include "app/command_line.h"

#include "app/diff_verb.h"

#include "catalog/article_rows.h"
#include "userfiles/bookmarks.h"
#include "citations/cited_by.h"
#include "citations/citation_resolver.h"
#include "catalog/contents_tree.h"
#include "catalog/law_editions.h"
#include "search/page_search.h"
#include "compose/velto_doc.h"
#include "search/search_text.h"
#include "settings/settings_store.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace velto {

namespace {

// Prints each message as it comes: the caption on one line, then the text.
// Questions are answered No: nobody is there to say Yes. While `quiet`, the
// messages are only kept, for a caller that tells them its own way.
class StderrReporter : public Reporter {
public:
    MessageAnswer show(const std::string& caption, const std::string& text, MessageButtons buttons,
                       MessageIcon) override
    {
        if (quiet)
            last = {caption, text};
        else
            std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }

    bool quiet = false;
    std::pair<std::string, std::string> last;
};

int print_html(CVeltoDoc& doc, const std::string& id)
{
    std::string html;
    if (!doc._html_build(id, html))
        return 1;
    std::fwrite(html.data(), 1, html.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The rows of a law's article list, as the "リスト" tab shows them.
int print_list(CVeltoDoc& doc, Reporter& reporter, const std::string& id_hn)
{
    const auto& laws = doc.laws().order();
    if (std::find(laws.begin(), laws.end(), id_hn) == laws.end()) {
        std::fprintf(stderr, "velto: the reader shows no law %s\n", id_hn.c_str());
        return 1;
    }
    ArticleRows rows;
    const bool built = rows.build(doc.database(), doc, reporter, id_hn);
    const std::string text = rows.listing();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return built && std::fflush(stdout) == 0 ? 0 : 1;
}

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

// Writes `html` as folder/name through a temporary file, so a failed write
// leaves no partial page. Empty on success, else why it failed.
std::string write_page_file(const std::filesystem::path& folder, const std::string& name, const std::string& html)
{
    const std::filesystem::path file = folder / name;
    const std::filesystem::path part = folder / (name + ".part");
    std::FILE* out = std::fopen(part.c_str(), "wb");
    if (!out)
        return std::strerror(errno);
    const bool written = std::fwrite(html.data(), 1, html.size(), out) == html.size();
    const int write_error = errno;
    if (std::fclose(out) != 0 || !written) {
        const std::string reason = std::strerror(written ? errno : write_error);
        std::remove(part.c_str());
        return reason;
    }
    std::error_code ec;
    std::filesystem::rename(part, file, ec);
    if (ec) {
        std::remove(part.c_str());
        return ec.message();
    }
    return {};
}

// Every displayable page and the program's own pages, as OUTDIR/ID.html. Each
// page that cannot be written is named on standard error with the reason; the
// program's own pages that the database does not hold are left out, not failed.
int export_html(CVeltoDoc& doc, StderrReporter& reporter, const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        std::fprintf(stderr, "velto: cannot create the folder %s\n", folder.c_str());
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
                reason = write_page_file(folder, id + ".html", html);
        }
        if (!reason.empty()) {
            ++failed;
            clear_progress();
            std::fprintf(stderr, "velto: %s.html not written: %s\n", id.c_str(), reason.c_str());
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

// The page and anchor of a citation, or why there is none.
int print_citation(CVeltoDoc& doc, const std::string& text)
{
    const CitationResult result = open_citation_resolver(doc)->resolve(text);
    if (!result.found) {
        std::fprintf(stderr, "%s\n", result.message.c_str());
        return 1;
    }
    std::printf("%s\t%s\n", result.target.page.c_str(), result.target.anchor.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The rows of the bookmark list, as the "しおり" tab shows them. The file is
// only read.
int print_bookmarks(CVeltoDoc& doc)
{
    Bookmarks bookmarks(doc);
    bookmarks.load();
    if (bookmarks.unreadable()) {
        std::fprintf(stderr, "velto: cannot read the bookmark file %s\n", bookmarks.path().c_str());
        return 1;
    }
    std::string text;
    for (const BookmarkRow& row : bookmarks.rows())
        text += row.id + '\t' + row.law + '\t' + row.label + '\t' + row.title + "\t\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The rows the search tab would list for a text, then its message. A text
// the search tab refuses gets its message on standard error.
int print_search(CVeltoDoc& doc, Reporter& reporter, const std::string& text)
{
    const SearchEntryCheck check = check_search_entry(text);
    std::vector<std::string> words;
    std::string refusal;
    if (check.action == SearchEntryAction::Forbidden)
        refusal = forbidden_search_message();
    else if (check.action == SearchEntryAction::Empty || !_split_words(check.text, words))
        refusal = kSearchEmptyMessage;
    else if (words.size() > kMaxSearchWords)
        refusal = kSearchTooManyWords;
    if (!refusal.empty()) {
        std::fprintf(stderr, "%s\n", refusal.c_str());
        return 1;
    }
    const std::unique_ptr<SearchIndex> index = SearchIndex::open(doc.database());
    FullTextSearch search(doc.database(), index.get());
    const SearchOutcome outcome = search_words(search, words);
    if (outcome.status == SearchOutcome::Status::Failed) {
        report(reporter, kSearchWordOrigin, ReportVariant::Tab, *outcome.error);
        return 1;
    }
    if (outcome.status != SearchOutcome::Status::Done) {
        report_unexpected(reporter, kSearchOrigin, ReportVariant::Tab);
        return 1;
    }
    for (const std::string& id : outcome.pages) {
        const SearchRow row = search_row(doc, id);
        std::printf("%s\t%s\t%s\n", row.id.c_str(), row.law.c_str(), row.label.c_str());
    }
    std::printf("%s\n", search_result_message(outcome.pages.size()).c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The sentences that cite the article of a page, one a line; without an index
// in the database it is built first.
int print_cited_by(CVeltoDoc& doc, const std::string& id)
{
    ReverseLinkIndex index(doc);
    index.open(true);
    const CitedByList list = cited_by(doc, index, id);
    for (const CitingSentence& row : list.sentences)
        std::printf("%s\t%s\t%s%s%s\n", row.page.c_str(), row.sentence.c_str(), row.before.c_str(),
                    row.reference.c_str(), row.after.c_str());
    if (!list.message.empty())
        std::fprintf(stderr, "%s\n", list.message.c_str());
    const bool answered = !list.subject.empty() && index.ready();
    return answered && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

std::string usage_text()
{
    return "usage: velto [--program-dir DIR] [--settings FILE] [--no-splash]   (the reader)\n"
           "       velto [--program-dir DIR] [--settings FILE] VERB\n"
           "  --program-dir DIR    folder of the law database and the program files\n"
           "                       (default: the folder of the executable)\n"
           "  --settings FILE      read the settings from this INI file\n"
           "verbs:\n"
           "  --caption ID         print the status-bar caption of page ID\n"
           "  --html ID [--from-link]\n"
           "                       print the HTML of page ID (with --from-link a large\n"
           "                       page comes in full, as when reached through a link)\n"
           "  --export-html OUTDIR write every page as OUTDIR/ID.html\n"
           "  --tree               print the contents tree: two spaces a level, the text,\n"
           "                       a tab, the identifier, a tab, the state image\n"
           "  --list HHH           print the article list of law HHH: the identifier, a tab,\n"
           "                       the column texts separated by tabs, a tab, the image\n"
           "  --version            print the version and, for each imported law, its title,\n"
           "                       law number and the 施行日 of its text\n"
           "  --goto TEXT          print the page and the anchor of the paragraph or item\n"
           "                       a citation names (令112条18項), separated by a tab\n"
           "  --bookmarks          print the bookmark list: the identifier, a tab, the four\n"
           "                       column texts separated by tabs (the last is empty)\n"
           "  --search TEXT        print the pages the full-text search lists for TEXT (up to\n"
           "                       three words): the identifier, a tab, the law, a tab, the\n"
           "                       article; then the count\n"
           "  --cited-by ID        print the sentences that link to the article of page ID:\n"
           "                       the citing page, a tab, the sentence, a tab, an excerpt\n"
           "  --diff LAW OLD NEW   print the articles of law LAW (01B or its title) whose text\n"
           "                       differs between its editions OLD and NEW (施行日 YYYY-MM-DD):\n"
           "                       the kind (追加, 削除, 改正, 移動), a tab, the page in NEW,\n"
           "                       a tab, the page in OLD, a tab, the article\n"
           "  --diff ID OLD NEW    print the 新旧対照 of the article of page ID as text\n";
}

CommandLine parse_command_line(const std::vector<std::string>& args)
{
    CommandLine cl;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            cl.help = true;
        } else if (a == "--tree") {
            cl.tree = true;
        } else if (a == "--version") {
            cl.version = true;
        } else if (a == "--bookmarks") {
            cl.bookmarks = true;
        } else if (a == "--no-splash") {
            cl.no_splash = true;
        } else if (a == "--from-link") {
            cl.from_link = true;
        } else if (a == "--program-dir" && has_value) {
            cl.program_dir = args[++i];
        } else if (a == "--settings" && has_value) {
            cl.settings_file = args[++i];
        } else if (a == "--caption" && has_value) {
            cl.caption_id = args[++i];
        } else if (a == "--html" && has_value) {
            cl.html_id = args[++i];
        } else if (a == "--export-html" && has_value) {
            cl.export_dir = args[++i];
        } else if (a == "--goto" && has_value) {
            cl.go_to = args[++i];
            if (cl.go_to.empty())
                cl.go_to = " "; // asked for, with nothing to go to: told so
        } else if (a == "--search" && has_value) {
            cl.search = args[++i];
            cl.has_search = true;
        } else if (a == "--cited-by" && has_value) {
            cl.cited_by = args[++i];
            if (cl.cited_by.empty())
                cl.cited_by = " "; // asked for, with no page: told so
        } else if (a == "--diff" && i + 3 < args.size()) {
            cl.diff.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.begin() + static_cast<std::ptrdiff_t>(i) + 4);
            i += 3;
        } else if (a == "--list" && has_value && !args[i + 1].empty()) {
            cl.list_law = args[++i];
        } else {
            cl.error = "velto: unknown or incomplete argument: " + a;
            break;
        }
    }
    return cl;
}

int run_command_line(const CommandLine& cl)
{
    std::unique_ptr<SettingsStore> store = cl.settings_file.empty()
                                               ? std::make_unique<QtSettingsStore>()
                                               : std::make_unique<QtSettingsStore>(cl.settings_file);
    ReadOnlySettings settings(*store);
    StderrReporter reporter;
    CVeltoDoc doc(settings, reporter);
    DocumentOptions options;
    options.program_dir = cl.program_dir;
    options.user_dir = cl.user_dir;
    options.use_working_folder = false;
    if (!doc.OnNewDocument(options))
        return 1;
    DetachedPageView view(cl.from_link || !cl.export_dir.empty());
    doc.set_page_view(&view);

    int status = 0;
    if (!cl.caption_id.empty()) {
        std::printf("%s\n", doc._status_caption(cl.caption_id).c_str());
    } else if (cl.tree) {
        ContentsTree tree;
        if (!tree.build(doc.database(), doc, reporter))
            status = 1;
        const std::string text = tree.listing();
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else if (!cl.list_law.empty()) {
        status = print_list(doc, reporter, cl.list_law);
    } else if (cl.version) {
        std::printf("%s\n", about_text(doc.editions(), doc.editions_readable()).c_str());
        status = doc.editions_readable() ? 0 : 1;
    } else if (!cl.go_to.empty()) {
        status = print_citation(doc, cl.go_to);
    } else if (cl.bookmarks) {
        status = print_bookmarks(doc);
    } else if (cl.has_search) {
        status = print_search(doc, reporter, cl.search);
    } else if (!cl.cited_by.empty()) {
        status = print_cited_by(doc, cl.cited_by);
    } else if (!cl.diff.empty()) {
        status = print_edition_diff(doc, cl.diff[0], cl.diff[1], cl.diff[2]);
    } else if (!cl.html_id.empty()) {
        view.id = cl.html_id;
        status = print_html(doc, cl.html_id);
    } else {
        status = export_html(doc, reporter, cl.export_dir);
    }
    doc.set_page_view(nullptr);
    doc.OnCloseDocument();
    return status;
}

} // namespace velto
