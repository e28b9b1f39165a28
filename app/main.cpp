#include "app/command_line.h"
#include "app/velto_app.h"
#include "core/terminal_text.h"
#include "core/user_folders.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <cstdio>
#include <filesystem>

namespace {

// The folder of the executable, ending in "/".
std::string executable_folder(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string() + "/";
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    velto::CommandLine cl = velto::parse_command_line(args);
    if (!cl.error.empty()) {
        velto::print_text(stderr, cl.error + "\n" + velto::usage_text());
        return cl.error_status;
    }
    if (cl.help) {
        std::fputs(velto::usage_text().c_str(), stdout);
        return 0;
    }
    const velto::ProgramFolder program = velto::program_folder_of(executable_folder(argv[0]), cl.program_dir);
    cl.program_dir = program.path;
    // An installation keeps the user's files in the user's data folder.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    cl.user_dir = velto::user_folder_for(
        program, data.isEmpty() ? std::string() : data.toStdString() + "/" + std::string(velto::kUserFolderName));
    if (!cl.has_verb())
        return velto::CVeltoApp::run(argc, argv, cl);
    QCoreApplication app(argc, argv);
    return velto::run_command_line(cl);
}
