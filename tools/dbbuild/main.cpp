// velto-dbbuild: compiles the law database from its text sources.
#include "tools/dbbuild/db_builder.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void usage()
{
    std::fputs("usage: velto-dbbuild --output FILE [CONTENT.sql ...]\n"
               "Creates a new law database FILE with the reader's schema and fills it\n"
               "with the SQL content scripts, in the order given.\n",
               stderr);
}

} // namespace

int main(int argc, char** argv)
{
    std::string output;
    std::vector<velto::ContentScript> scripts;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--output" && i + 1 < argc) {
            output = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            usage();
            return 2;
        } else {
            velto::ContentScript script{arg, {}};
            if (!velto::read_text_file(arg, script.sql)) {
                std::fprintf(stderr, "velto-dbbuild: cannot read %s\n", arg.c_str());
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
    if (!velto::build_database(output, scripts, error)) {
        std::fprintf(stderr, "velto-dbbuild: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
