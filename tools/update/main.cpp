// velto-update: brings the laws of a law database up to date from the e-Gov
// law API, or adds a law from it.
#include "core/terminal_text.h"
#include "core/user_folders.h"
#include "tools/update/api_address.h"
#include "tools/update/stored_laws.h"
#include "tools/update/updater.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void usage(std::FILE* out)
{
    std::fputs(
        "usage: velto-update [--api URL] [--program-dir DIR | --db FILE] [--timeout SECONDS] COMMAND\n"
        "\n"
        "Commands:\n"
        "  --check                  for every law with an e-Gov law id, a line: code, title,\n"
        "                           施行日 of the stored text, 施行日 of the edition in force,\n"
        "                           最新です or 新しい版があります, and 未施行の改正があります\n"
        "                           （YYYY-MM-DD施行） when a later edition is not yet in force\n"
        "                           (tab-separated). The database is not touched.\n"
        "  --update [CODE ...]      replaces the text of each law named (default: every law\n"
        "                           with a newer edition) by the edition in force, keeps the\n"
        "                           replaced text as an earlier edition, and prints per law:\n"
        "                           code, title, old and new 施行日, the articles of the main\n"
        "                           provision added, deleted and changed.\n"
        "  --add LAW [--law-code HHH]\n"
        "                           adds the law of that e-Gov law id (325CO0000000338) or\n"
        "                           title (建築基準法施行令) in its edition in force, as law\n"
        "                           HHH or with a free code in its family (an order next to\n"
        "                           its act).\n"
        "\n"
        "  --api URL          the law API (default: $VELTO_LAW_API, else https://laws.e-gov.go.jp/api/2);\n"
        "                     https:// only, http:// only to 127.0.0.1 or localhost\n"
        "  --program-dir DIR  the program folder whose VT2014.m88 is updated (default:\n"
        "                     the folder of velto-update, or ../share/velto/ beside it);\n"
        "                     for an installation, or a folder you may not write, the\n"
        "                     copy of the user, ~/.local/share/mokume88/ヴェルト/VT2014.m88,\n"
        "                     made from the installed one\n"
        "  --db FILE          the law database itself\n"
        "  --timeout SECONDS  give up a request when the server sends nothing for this\n"
        "                     long (30)\n"
        "\n"
        "Progress (per request: law, address, status, bytes, seconds) and a summary go to\n"
        "standard error. Every text is checked and mapped before anything is written, and\n"
        "the database is written in one piece: on any fault the database is unchanged.\n"
        "Exit status: 0 done, 1 failed (the database is unchanged), 2 usage.\n",
        out);
}

int usage_error(const std::string& message)
{
    velto::print_text(stderr, "velto-update: " + message + "\n\n");
    usage(stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::string api, program_dir, db, command, added, code;
    std::vector<std::string> codes;
    int timeout_ms = 30000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else if (arg == "--api" && has_value) {
            api = argv[++i];
        } else if (arg == "--program-dir" && has_value) {
            program_dir = argv[++i];
        } else if (arg == "--db" && has_value) {
            db = argv[++i];
        } else if (arg == "--timeout" && has_value) {
            const std::string value = argv[++i];
            char* end = nullptr;
            const double seconds = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(seconds > 0) || seconds > 3600)
                return usage_error("--timeout \"" + value + "\" is not a number of seconds (up to 3600)");
            timeout_ms = static_cast<int>(seconds * 1000);
        } else if (arg == "--law-code" && has_value) {
            code = argv[++i];
        } else if ((arg == "--check" || arg == "--update") && command.empty()) {
            command = arg;
        } else if (arg == "--add" && has_value && command.empty()) {
            command = arg;
            added = argv[++i];
        } else if (command == "--update" && !arg.empty() && arg[0] != '-') {
            codes.push_back(arg);
        } else {
            return usage_error("unknown, repeated or incomplete argument " + arg);
        }
    }
    if (command.empty())
        return usage_error("no command (--check, --update or --add)");
    if (!db.empty() && !program_dir.empty())
        return usage_error("--db and --program-dir name the database twice: give one");
    if (!code.empty() && command != "--add")
        return usage_error("--law-code goes with --add");
    if (api.empty()) {
        const char* from_environment = std::getenv("VELTO_LAW_API");
        api = from_environment && *from_environment ? from_environment : velto::update::kDefaultApi;
    }

    velto::update::UpdaterOptions options;
    std::string error;
    if (!velto::update::parse_api_address(api, options.api, error)) {
        velto::print_text(stderr, "velto-update: " + error + "\n");
        return 1;
    }
    // An installed reader's user files, and the user's copy of the database, are in the user's data folder.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const std::string user_data_dir =
        data.isEmpty() ? std::string() : data.toStdString() + "/" + std::string(velto::kUserFolderName);
    std::string notice;
    if (!velto::update::law_database_path(db, program_dir, QCoreApplication::applicationDirPath().toStdString(),
                                          user_data_dir, command != "--check", options.database, notice, error)) {
        velto::print_text(stderr, "velto-update: " + error + "\n");
        return 1;
    }
    if (!notice.empty())
        velto::print_text(stderr, "velto-update: " + notice + "\n");
    options.client.timeout_ms = timeout_ms;
    velto::update::Updater updater(
        // Titles and server answers are printed without a control character that could drive the terminal.
        options, [](const std::string& line) { velto::print_text(stdout, line + "\n"); },
        [](const std::string& line) { velto::print_text(stderr, line + "\n"); });
    if (command == "--check")
        return updater.check();
    if (command == "--update")
        return updater.update(codes);
    return updater.add(added, code);
}
