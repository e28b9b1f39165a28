// velto-dbbuild: compiles the law database from its text sources.
#include "tools/dbbuild/db_builder.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void usage()
{
    std::fputs("usage: velto-dbbuild --output FILE [--from BASE] [--attach NAME=DB ...] [CONTENT.sql ...]\n"
               "Builds the law database FILE: a copy of BASE (or an empty database), the\n"
               "reader's schema, then the SQL content scripts in the order given. The\n"
               "scripts may read each DB, attached read-only as schema NAME. FILE is\n"
               "replaced only when all went well.\n",
               stderr);
}

} // namespace

int main(int argc, char** argv)
{
    std::string output;
    velto::BuildSource source;
    std::vector<velto::ContentScript> scripts;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--output" && i + 1 < argc) {
            output = argv[++i];
        } else if (arg == "--from" && i + 1 < argc) {
            source.base = argv[++i];
        } else if (arg == "--attach" && i + 1 < argc) {
            const std::string value = argv[++i];
            const std::size_t eq = value.find('=');
            if (eq == std::string::npos || eq == 0 || eq + 1 == value.size()) {
                std::fprintf(stderr, "velto-dbbuild: --attach \"%s\": write NAME=DB\n", value.c_str());
                return 2;
            }
            source.attached.emplace_back(value.substr(0, eq), value.substr(eq + 1));
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            usage();
            return 2;
        } else {
            velto::ContentScript script{arg, {}};
            std::string error;
            if (!velto::read_input_file(arg, script.sql, error)) {
                std::fprintf(stderr, "velto-dbbuild: %s\n", error.c_str());
                return 1;
            }
            scripts.push_back(std::move(script));
        }
    }
    if (output.empty()) {
        usage();
        return 2;
    }
    std::string error;
    if (!velto::build_database(output, scripts, error, source)) {
        std::fprintf(stderr, "velto-dbbuild: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
