// Resolving citations on the reader's own program folder (the whole 建築基準法
// and 施行令), against SQLite alone reading the sentences that each citation
// needs.
//
// Prints the median time of one resolve (typed citations of every kind, found
// and not found) and the median time of the raw read, and their ratio. A
// resolve reads the sentences of one article at most, and a law's page list
// the first time the law is cited.
//
// Then `velto --goto` on the build's folder and on generated databases of
// 12,000 and 60,000 pages (written into WORK-FOLDER once): what a citation
// adds to a start of the reader that only prints its version, median and
// range; last the ratio of each to the whole laws' (flat: about 1).
//
//   velto_citation_bench [PROGRAM-DIR [WORK-FOLDER]]
#include "bench/bench_support.h"
#include "citations/citation_resolver.h"
#include "compose/velto_doc.h"
#include "settings/settings_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

using velto::bench::median;

// The citations: as the official text and as readers write them, of every kind.
const char* const kCitations[] = {
    "令第百十二条第十八項", "法第六条第一項第一号", "第百八条の二",     "法第二条第九号の二ロ", "令129条の2の4",
    "令112条19項1号ロ",     "法6条の2",             "法別表第2",        "法附則第2項第一号",   "平12建告1400",
    "告示1400",             "令第百五十一条",       "令112条30項",      "ハートビル第1条",     "",
    "建築基準法施行令第八十条の二", "1項2号",       "法第八十七条の三第八項",
};

// The time SQLite alone takes to step through the sentences of an article
// with a statement prepared once, as the resolver's sentence read does.
double raw_read(sqlite3* db, const std::vector<std::string>& articles, int rounds)
{
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID_BN FROM T_文 WHERE ID_BN > ?1 AND ID_BN < ?2 ORDER BY ID_BN", -1, &stmt, nullptr);
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        for (const std::string& article : articles) {
            const std::string low = article + "-", high = article + ".";
            const auto t0 = Clock::now();
            sqlite3_bind_text(stmt, 1, low.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 2, high.c_str(), -1, SQLITE_TRANSIENT);
            std::size_t bytes = 0;
            while (sqlite3_step(stmt) == SQLITE_ROW)
                bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, 0));
            sqlite3_reset(stmt);
            times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
            if (bytes == 0)
                std::fprintf(stderr, "no sentences for %s\n", article.c_str());
        }
    }
    sqlite3_finalize(stmt);
    return median(times);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : VELTO_PROGRAM_DIR;
    velto::bench::BenchDocument bench;
    if (!bench.open(dir))
        return 1;
    velto::CVeltoDoc& doc = bench.doc;

    const auto t_index = Clock::now();
    const auto resolver = velto::open_citation_resolver(doc);
    const double index_ms = std::chrono::duration<double, std::milli>(Clock::now() - t_index).count();

    constexpr int kRounds = 200;
    std::vector<double> times, anchored; // all citations; those of a paragraph or item
    std::vector<std::string> articles; // the articles whose sentences the citations read
    int found = 0;
    for (int r = 0; r < kRounds; ++r) {
        for (const char* text : kCitations) {
            const auto t0 = Clock::now();
            const velto::CitationResult result = resolver->resolve(text, "01B-00010000-00");
            const double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
            times.push_back(us);
            if (!result.target.anchor.empty())
                anchored.push_back(us);
            if (r == 0) {
                found += result.found;
                if (!result.target.anchor.empty())
                    articles.push_back(result.target.anchor.substr(0, 12));
            }
        }
    }
    std::sort(times.begin(), times.end());
    const double t_resolve = median(times);
    const double t_worst = times[times.size() * 99 / 100];

    sqlite3* db = nullptr;
    if (sqlite3_open_v2((dir + "/VT2014.m88").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return 1;
    raw_read(db, articles, 5); // warm
    const double t_raw = raw_read(db, articles, kRounds);
    sqlite3_close(db);

    std::printf("resolver opened in %.1f ms\n", index_ms);
    std::printf("citations: %zu (%d found), %d rounds\n", std::size(kCitations), found, kRounds);
    std::printf("resolve, every citation: median %.1f us, 99th percentile %.1f us\n", t_resolve, t_worst);
    std::printf("resolve, a paragraph or item: median %.1f us\n", median(anchored));
    std::printf("raw SQLite read of the article's sentences: median %.1f us\n", t_raw);

    // The command line, on databases of three sizes.
    const std::string root = argc > 2 ? argv[2] : (std::filesystem::temp_directory_path() / "velto-bench").string();
    if (!velto::bench::generated_real_scale(root + "/real") ||
        !velto::bench::generated_database(root + "/real60000", 1000))
        return 1;
    const std::string velto = std::string(VELTO_PROGRAM_DIR) + "/velto";
    const std::string settings = root + "/no-settings.ini"; // only read: a file that is not there
    struct Goto {
        const char* name;
        std::string folder;
        const char* citation;
    };
    const Goto gotos[] = {{"whole laws (build folder)", dir, "令第百十二条第十八項"},
                          {"generated, 12,000 pages", root + "/real", "生成法令30号第150条第1項"},
                          {"generated, 60,000 pages", root + "/real60000", "生成法令30号第150条第1項"}};
    std::vector<velto::bench::Timing> goto_times;
    for (const Goto& g : gotos) {
        const auto t = velto::bench::over_version({velto, "--program-dir", g.folder + "/", "--settings", settings},
                                                  {"--goto", g.citation}, 9);
        std::printf("velto --goto %s, %s: median %.1f ms (%.1f-%.1f) over --version\n", g.citation, g.name, t.median,
                    t.low, t.high);
        goto_times.push_back(t);
    }
    std::printf("ratio paragraph-or-item resolve/raw read: %.2f\n", median(anchored) / t_raw);
    for (std::size_t i = 1; i < goto_times.size(); ++i)
        std::printf("ratio velto --goto %s / whole laws: %.2f\n", gotos[i].name,
                    goto_times[i].median / std::max(goto_times[0].median, 1.0));
    return t_worst < 1000.0 ? 0 : 1;
}
