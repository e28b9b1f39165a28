#include "app/command_line.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    velto::CommandLine cl = velto::parse_command_line(args);
    if (!cl.error.empty()) {
        std::fprintf(stderr, "%s\n%s", cl.error.c_str(), velto::usage_text().c_str());
        return 2;
    }
    if (cl.help || !cl.has_verb()) {
        std::fputs(velto::usage_text().c_str(), cl.help ? stdout : stderr);
        return cl.help ? 0 : 2;
    }
    if (cl.program_dir.empty())
        cl.program_dir = QCoreApplication::applicationDirPath().toStdString() + "/";
    return velto::run_command_line(cl);
}
