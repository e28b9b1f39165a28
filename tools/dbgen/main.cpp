// velto-dbgen: writes a synthetic law database of a chosen size.
#include "tools/dbgen/db_generator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    velto::GeneratorScale scale = velto::real_scale();
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool value = i + 1 < argc;
        if (arg == "--output" && value)
            output = argv[++i];
        else if (arg == "--laws" && value)
            scale.laws = std::atoi(argv[++i]);
        else if (arg == "--pages" && value)
            scale.pages_per_law = std::atoi(argv[++i]);
        else if (arg == "--sentences" && value)
            scale.sentences_per_page = std::atoi(argv[++i]);
        else if (arg == "--seed" && value)
            scale.seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else {
            std::fputs("usage: velto-dbgen --output FILE [--laws N] [--pages N] [--sentences N] [--seed N]\n"
                       "Writes a synthetic law database (default: 60 laws of 200 pages, about 10 sentences\n"
                       "a page) for measuring the reader at the size of a real law collection.\n",
                       stderr);
            return 2;
        }
    }
    if (output.empty() || scale.laws < 1 || scale.laws > 199 || scale.pages_per_law < 1 || scale.pages_per_law > 9999 ||
        scale.sentences_per_page < 1 || scale.sentences_per_page > 99) {
        std::fputs("velto-dbgen: --output is required; laws 1-199, pages 1-9999, sentences 1-99\n", stderr);
        return 2;
    }
    std::string error;
    if (!velto::generate_database(output, scale, error)) {
        std::fprintf(stderr, "velto-dbgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
