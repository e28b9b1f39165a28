// velto-import: writes one law, or a collection of laws, from the official law
// data into a law database.
#include "tools/import/collection.h"
#include "tools/import/importer.h"

#include "core/terminal_text.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void usage(std::FILE* out)
{
    std::fputs(
        "usage: velto-import --db FILE --law-id HHH [--name-short TEXT] [--large N]\n"
        "                    [--refer ALIAS=HHH ...] [--earlier | --keep-replaced] INPUT\n"
        "       velto-import --db FILE --manifest LIST [--dir DIR] [--large N]\n"
        "\n"
        "Writes the law in INPUT (the official law XML, 法令標準XML, or the JSON of the\n"
        "law API, with the tree under \"law_full_text\") into the law database FILE as\n"
        "law HHH. FILE is created with the reader's schema when it does not exist.\n"
        "Importing a law again replaces all of its rows. The new database is written\n"
        "beside FILE and renamed over it when complete, so a failed or killed import\n"
        "leaves the database as it was. INPUT must be a regular file.\n"
        "\n"
        "  --db FILE          the law database (for example VT2014.m88)\n"
        "  --law-id HHH       the law's three-character identifier (ID_HN), e.g. 01A\n"
        "  --name-short TEXT  the abbreviated name (法名略式); default: the title's Abbrev\n"
        "  --large N          articles with more than N sentences are marked 大型 (60)\n"
        "  --refer ALIAS=HHH  references after the word ALIAS point into law HHH, e.g.\n"
        "                     --refer 法=01A; may be repeated. ALIAS: one to ten\n"
        "                     characters, no blanks, brackets, quotes or =. Without it,\n"
        "                     法 and 令 in an order or rule (…施行令, …施行規則) mean its\n"
        "                     act and order, found by title among the database's laws\n"
        "  --earlier          INPUT is an earlier edition of law HHH: kept beside its\n"
        "                     current text (T_旧版, T_旧条, T_旧文, T_旧表, by revision id)\n"
        "  --keep-replaced    keep the law's current edition as an earlier edition\n"
        "                     before INPUT replaces it\n"
        "  --manifest LIST    import every file LIST names, in one run and one write:\n"
        "                     a line \"CODE current|earlier FILE [SHORT-NAME]\" per file,\n"
        "                     # for comments. A fault in any file changes nothing.\n"
        "  --dir DIR          where the files of LIST are (default: LIST's folder)\n"
        "\n"
        "Mapping:\n"
        "  T_法  法名一般 = LawTitle, 法名略式 = --name-short or Abbrev,\n"
        "        法名正式 = LawTitle（LawNum）\n"
        "  T_版  the revision the text is: title, law number, law ID, revision ID,\n"
        "        施行日 and amending law, from the law API answer or from an e-Gov\n"
        "        file name (325AC0000000201_20251201_507AC0000000035.xml)\n"
        "  T_章  Chapter, Section, Subsection, Division: HHH-CCcc-SSss-KKkk-MMmm, the\n"
        "        Num as two digits and branch codes 1-9, A-Z (Num 4_2 -> 0420); names\n"
        "        without their 第N章 label. A law divided into Part (編) puts 編, 章, 節\n"
        "        and 款/目 into the four groups, numbered in order, and keeps the labels\n"
        "        in the names (告示 set).\n"
        "  T_条  one page per Article: Num 6_2 -> HHH-00060200-00, 条名 = caption\n"
        "        without parentheses; a range (Num 17:18) takes its first article and\n"
        "        keeps the rest of its title in 補足; Hide=\"true\" articles are not shown.\n"
        "  T_文  a sentence per Paragraph, Item, Subitem1 (イ), Subitem2 ((1)) and\n"
        "        Subitem3 ((ⅰ)): ID PPp0-IIi0-AAbc-0000 after the page; deeper levels,\n"
        "        lists and figures continue the sentence above; Column texts joined\n"
        "        with a full-width space; Ruby as its base text. Items whose official\n"
        "        title the reader's numbering cannot write carry it in their text.\n"
        "        References 第二十条, 第六条の二 become [第20条], [第6条の2] when they\n"
        "        point to an article of this law; after an ALIAS of --refer they become\n"
        "        [第N条/HHH]; after the name of any other law they stay plain text.\n"
        "  附則  the original SupplProvision and then every amendment SupplProvision\n"
        "        (AmendLawNum) become pages HHH-FGGG0000-PP in order, split in groups\n"
        "        of 100; numbers and captions are part of their text.\n"
        "  別表  AppdxTable N (別表第NのBのC) becomes page HHH-TNNNBBCC-00 with the\n"
        "        table in T_表; tables in sentences are T_表 rows of their sentence\n"
        "        (表式).\n"
        "  別記  forms, figures and notes (AppdxStyle, AppdxFormat, AppdxFig, AppdxNote)\n"
        "        become page HHH-T9990000-00, a line each; a form the data holds only\n"
        "        as a picture is named with （省略）.\n"
        "  Every text is stored as HTML that shows it as text (& < > \" ' [ ] as\n"
        "  character references). 検索用データ holds the plain text with single-byte\n"
        "  upper-case Latin letters and digits.\n"
        "\n"

        "Exit status: 0 done, 1 the import failed (the database is unchanged), 2 usage.\n",
        out);
}

bool take_value(int argc, char** argv, int& i, std::string& value)
{
    if (i + 1 >= argc)
        return false;
    value = argv[++i];
    return true;
}

// Says why an import failed; its exit status.
int failed(const std::string& error)
{
    velto::print_text(stderr, "velto-import: " + error + "\nvelto-import: the database is unchanged\n");
    return 1;
}

// Tells what was left out; the seconds since `start`.
double finish(const std::vector<std::string>& notes, std::chrono::steady_clock::time_point start)
{
    for (const std::string& note : notes)
        velto::print_text(stderr, "velto-import: note: " + note + "\n");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int import_manifest(const velto::import::CollectionOptions& options)
{
    const auto start = std::chrono::steady_clock::now();
    velto::import::CollectionSummary summary;
    std::string error;
    if (!velto::import::import_collection(options, summary, error))
        return failed(error);
    const double seconds = finish(summary.notes, start);
    std::printf("%s: %d laws, %d earlier editions, %d pages, %d sentences (%.2f s)\n", options.manifest.c_str(),
                summary.laws, summary.earlier, summary.pages, summary.sentences, seconds);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    velto::import::ImportOptions options;
    velto::import::CollectionOptions collection;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else if (arg == "--db" && take_value(argc, argv, i, value)) {
            options.database = value;
        } else if (arg == "--law-id" && take_value(argc, argv, i, value)) {
            options.law_id = value;
        } else if (arg == "--name-short" && take_value(argc, argv, i, value)) {
            options.name_short = value;
        } else if (arg == "--large" && take_value(argc, argv, i, value)) {
            char* end = nullptr;
            const long n = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || n < 0 || n > 1000000) {
                std::fprintf(stderr, "velto-import: --large \"%s\" is not a count\n", value.c_str());
                return 2;
            }
            options.large = static_cast<int>(n);
        } else if (arg == "--manifest" && take_value(argc, argv, i, value)) {
            collection.manifest = value;
        } else if (arg == "--dir" && take_value(argc, argv, i, value)) {
            collection.folder = value;
        } else if (arg == "--earlier") {
            options.earlier = true;
        } else if (arg == "--keep-replaced") {
            options.keep_replaced = true;
        } else if (arg == "--refer" && take_value(argc, argv, i, value)) {
            const std::size_t eq = value.find('=');
            if (eq == std::string::npos || value.find('=', eq + 1) != std::string::npos) {
                std::fprintf(stderr, "velto-import: --refer \"%s\": write ALIAS=HHH\n", value.c_str());
                return 2;
            }
            options.aliases.emplace_back(value.substr(0, eq), value.substr(eq + 1));
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "velto-import: unknown or incomplete option %s\n\n", arg.c_str());
            usage(stderr);
            return 2;
        } else if (options.input.empty()) {
            options.input = arg;
        } else {
            std::fprintf(stderr, "velto-import: one input file only (%s, %s)\n", options.input.c_str(), arg.c_str());
            return 2;
        }
    }
    std::string error;
    if (!collection.manifest.empty() || !collection.folder.empty()) {
        if (collection.manifest.empty() || options.database.empty() || !options.input.empty() ||
            !options.law_id.empty() || options.name_short || !options.aliases.empty() || options.earlier ||
            options.keep_replaced) {
            std::fprintf(stderr, "velto-import: --manifest takes --db, --dir and --large only\n\n");
            usage(stderr);
            return 2;
        }
        collection.database = options.database;
        collection.large = options.large;
        return import_manifest(collection);
    }
    if (options.earlier && options.keep_replaced) {
        std::fprintf(stderr, "velto-import: --earlier keeps the current text; --keep-replaced replaces it\n\n");
        usage(stderr);
        return 2;
    }
    if (!velto::import::check_options(options, error)) {
        std::fprintf(stderr, "velto-import: %s\n\n", error.c_str());
        usage(stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    velto::import::ImportSummary summary;
    if (!velto::import::import_law(options, summary, error))
        return failed(error);
    const double seconds = finish(summary.notes, start);
    char counts[256];
    std::snprintf(counts, sizeof counts,
                  " -> %s: %d articles, %d headings, %d 附則 pages, %d 別表 pages, %d sentences, %d tables (%.2f s)\n",
                  options.law_id.c_str(), summary.articles, summary.headings, summary.supplement_pages,
                  summary.table_pages, summary.sentences, summary.tables, seconds);
    velto::print_text(stdout, summary.law_name + counts);
    return 0;
}
