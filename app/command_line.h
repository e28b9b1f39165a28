// The reader's command line: verbs that work on the law database without a
// window. They only read: the working folder and the settings stay untouched,
// so they can run beside a running reader.
#pragma once

#include <string>
#include <vector>

namespace velto {

struct CommandLine {
    std::string program_dir;   // --program-dir DIR (default: the executable's folder)
    std::string settings_file; // --settings FILE (default: the per-user settings)
    std::string user_dir;      // the folder of the user's files, chosen at start (core/user_folders.h)
    std::string caption_id;    // --caption ID
    std::string html_id;       // --html ID
    bool from_link = false;    // --from-link: compose as when reached through a link
    std::string export_dir;    // --export-html OUTDIR
    bool tree = false;         // --tree: print the contents tree
    std::string list_law;      // --list HHH: print the article list of a law
    bool version = false;      // --version: the program's version and the laws' editions
    std::string go_to;         // --goto TEXT: the page and anchor of a citation
    bool bookmarks = false;    // --bookmarks: print the rows of the bookmark list
    std::string search;        // --search TEXT: the pages a full-text search lists
    bool has_search = false;
    std::string cited_by;      // --cited-by ID: the sentences that cite the article of page ID
    std::vector<std::string> diff; // --diff LAW|ID OLD NEW: what changed between two editions
    std::string links;         // --links ID|LAW: the citation links of a page or a law
    std::string unresolved;    // --unresolved LAW: the citations of a law left plain
    std::string terms_law;     // --terms LAW: the terms law LAW defines
    std::vector<std::string> term_at; // --term-at SENTENCE TERM: the sentence that defines TERM there
    bool no_splash = false;    // --no-splash: no start-up picture
    bool help = false;
    std::string error;         // set when the arguments cannot be understood
    int error_status = 2;      // the exit status of that error: 1 for an option without its value

    bool has_verb() const
    {
        return !caption_id.empty() || !html_id.empty() || !export_dir.empty() || tree || !list_law.empty() || version ||
               !go_to.empty() || bookmarks || has_search || !cited_by.empty() || !diff.empty() || !links.empty() ||
               !unresolved.empty() || !terms_law.empty() || !term_at.empty();
    }
};

CommandLine parse_command_line(const std::vector<std::string>& args);

// Runs the verb of the command line; returns the exit status.
int run_command_line(const CommandLine& cl);

std::string usage_text();

} // namespace velto
