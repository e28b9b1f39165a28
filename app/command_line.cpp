#include "app/command_line.h"

#include "app/citation_verbs.h"
#include "app/diff_verb.h"
#include "app/term_verbs.h"
#include "app/html_export.h"
#include "app/stderr_reporter.h"

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

#include <algorithm>
#include <cstdio>
#include <memory>

namespace velto {

namespace {

int print_html(CVeltoDoc& doc, const std::string& id)
{
    std::string html;
    if (!doc._html_build(id, html))
        return 1;
    return print_text(stdout, html) && std::fflush(stdout) == 0 ? 0 : 1;
}

// The rows of a law's article list, as the "リスト" tab shows them.
int print_list(CVeltoDoc& doc, Reporter& reporter, const std::string& id_hn)
{
    const auto& laws = doc.laws().order();
    if (std::find(laws.begin(), laws.end(), id_hn) == laws.end()) {
        print_text(stderr, "velto: the reader shows no law " + id_hn + "\n");
        return 1;
    }
    ArticleRows rows;
    const bool built = rows.build(doc.database(), doc, reporter, id_hn);
    return print_text(stdout, rows.listing()) && built && std::fflush(stdout) == 0 ? 0 : 1;
}

// The page and anchor of a citation, or why there is none.
int print_citation(CVeltoDoc& doc, const std::string& text)
{
    const CitationResult result = open_citation_resolver(doc)->resolve(text);
    if (!result.found) {
        print_text(stderr, result.message + "\n");
        return 1;
    }
    return print_text(stdout, result.target.page + "\t" + result.target.anchor + "\n") && std::fflush(stdout) == 0 ? 0 : 1;
}

// The rows of the bookmark list, as the "しおり" tab shows them. The file is
// only read.
int print_bookmarks(CVeltoDoc& doc)
{
    Bookmarks bookmarks(doc);
    bookmarks.load();
    if (bookmarks.unreadable()) {
        print_text(stderr, "velto: cannot read the bookmark file " + bookmarks.path() + "\n");
        return 1;
    }
    if (bookmarks.foreign())
        print_text(stderr, bookmarks.foreign_message() + "\n");
    std::string text;
    for (const BookmarkRow& row : bookmarks.rows())
        text += row.id + '\t' + row.law + '\t' + row.label + '\t' + row.title + "\t\n";
    return print_text(stdout, text) && std::fflush(stdout) == 0 ? 0 : 1;
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
        print_text(stderr, refusal + "\n");
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
    // The listing is written at once: tens of thousands of rows are common.
    std::string listing;
    for (const std::string& id : outcome.pages) {
        const SearchRow row = search_row(doc, id);
        listing.append(row.id).append("\t").append(row.law).append("\t").append(row.label).append("\n");
    }
    listing += search_result_message(outcome.pages.size()) + "\n";
    return print_text(stdout, listing) && std::fflush(stdout) == 0 ? 0 : 1;
}

// The sentences that cite the article of a page, one a line; without an index
// in the database it is built first.
int print_cited_by(CVeltoDoc& doc, const std::string& id)
{
    ReverseLinkIndex index(doc);
    index.open(true);
    const CitedByList list = cited_by(doc, index, id);
    for (const CitingSentence& row : list.sentences)
        print_text(stdout, row.page + "\t" + row.sentence + "\t" + row.before + row.reference + row.after + "\n");
    if (!list.message.empty())
        print_text(stderr, list.message + "\n");
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
           "  --diff ID OLD NEW    print the 新旧対照 of the article of page ID as text\n"
           "  --links ID|LAW       print the citation links of page ID or of law LAW: the\n"
           "                       sentence, a tab, the words, a tab, the page, a tab, the anchor\n"
           "  --unresolved LAW     print the citations of law LAW left plain: the sentence,\n"
           "                       a tab, the words, a tab, the reason\n"
           "  --terms LAW          print the terms law LAW (01A or its title) defines: the term,\n"
           "                       a tab, the defining sentence, a tab, the scope\n"
           "  --term-at SENTENCE TERM\n"
           "                       print the sentence that defines TERM as used in SENTENCE\n";
}

CommandLine parse_command_line(const std::vector<std::string>& args)
{
    CommandLine cl;
    // Options that name something: a missing or empty value is a usage error.
    const std::pair<const char*, std::string CommandLine::*> named[] = {
        {"--program-dir", &CommandLine::program_dir}, {"--settings", &CommandLine::settings_file},
        {"--caption", &CommandLine::caption_id},      {"--html", &CommandLine::html_id},
        {"--export-html", &CommandLine::export_dir},  {"--list", &CommandLine::list_law},
        {"--links", &CommandLine::links},             {"--unresolved", &CommandLine::unresolved},
        {"--terms", &CommandLine::terms_law},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        const auto missing_value = [&] {
            cl.error = "velto: " + a + " needs a value";
            cl.error_status = 1;
        };
        const auto option = std::find_if(std::begin(named), std::end(named),
                                         [&](const auto& entry) { return a == entry.first; });
        if (option != std::end(named)) {
            if (!has_value || args[i + 1].empty()) {
                missing_value();
                break;
            }
            cl.*(option->second) = args[++i];
        } else if (a == "--help" || a == "-h") {
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
        } else if ((a == "--goto" || a == "--search" || a == "--cited-by") && !has_value) {
            missing_value();
            break;
        } else if (a == "--goto") {
            cl.go_to = args[++i];
            if (cl.go_to.empty())
                cl.go_to = " "; // asked for, with nothing to go to: told so
        } else if (a == "--search") {
            cl.search = args[++i];
            cl.has_search = true;
        } else if (a == "--cited-by") {
            cl.cited_by = args[++i];
            if (cl.cited_by.empty())
                cl.cited_by = " "; // asked for, with no page: told so
        } else if (a == "--term-at") {
            if (i + 2 >= args.size() || args[i + 1].empty() || args[i + 2].empty()) {
                cl.error = "velto: --term-at needs a sentence and a term";
                cl.error_status = 1;
                break;
            }
            cl.term_at = {args[i + 1], args[i + 2]};
            i += 2;
        } else if (a == "--diff") {
            if (i + 3 >= args.size()) {
                cl.error = "velto: --diff needs a law or page and two dates";
                cl.error_status = 1;
                break;
            }
            cl.diff.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.begin() + static_cast<std::ptrdiff_t>(i) + 4);
            i += 3;
        } else {
            cl.error = "velto: unknown argument: " + a;
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
        print_text(stdout, doc._status_caption(cl.caption_id) + "\n");
    } else if (cl.tree) {
        ContentsTree tree;
        if (!tree.build(doc.database(), doc, reporter))
            status = 1;
        print_text(stdout, tree.listing());
    } else if (!cl.list_law.empty()) {
        status = print_list(doc, reporter, cl.list_law);
    } else if (cl.version) {
        print_text(stdout, about_text(doc.editions(), doc.editions_readable()) + "\n");
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
    } else if (!cl.links.empty()) {
        status = print_citation_links(doc, cl.links);
    } else if (!cl.unresolved.empty()) {
        status = print_unresolved_citations(doc, cl.unresolved);
    } else if (!cl.terms_law.empty()) {
        status = print_law_terms(doc, cl.terms_law);
    } else if (!cl.term_at.empty()) {
        status = print_term_at(doc, cl.term_at[0], cl.term_at[1]);
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
