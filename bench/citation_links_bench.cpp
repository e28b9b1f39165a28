// The citation links of the real collection: the link pass against SQLite
// reading the sentences it reads, and composing pages full of citation links
// against the raw read of the rows they are made of.
//
// On a copy of the build's own database (the 42 laws): runs the link pass
// (citations/citation_links.h) a few times, each in a transaction that is
// rolled back, and prints its median time, the links it wrote and its ratio
// to one bare scan of the sentences' text. Prints the share of the relative
// citations (前条, 同項 …) of the main provisions of 建築基準法 and its order
// that became links. Then composes article pages of the order, each in full,
// and prints the median page time over the median raw read of the page's
// sentences and citation rows (bare SQLite, statements prepared once).
#include "bench/bench_support.h"
#include "citations/citation_links.h"
#include "core/sql_dialect.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

sqlite3* open_copy(const std::string& from, const std::string& to)
{
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    sqlite3* db = nullptr;
    if (sqlite3_open(to.c_str(), &db) != SQLITE_OK || velto::register_sql_functions(db) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", to.c_str());
        std::exit(1);
    }
    return db;
}

// One bare read of what the pass reads most: every sentence's text.
double raw_scan(sqlite3* db)
{
    const auto t0 = Clock::now();
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID_BN, 法文 FROM T_文 ORDER BY ID_BN", -1, &s, nullptr);
    std::size_t bytes = 0;
    while (sqlite3_step(s) == SQLITE_ROW)
        bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, 1));
    sqlite3_finalize(s);
    return bytes > 0 ? ms_since(t0) : 0;
}

// The rows a page's composition reads: its title, its sentences, their
// tables and their citation rows.
double raw_page(sqlite3* db, const std::vector<sqlite3_stmt*>& statements, const std::string& page)
{
    const auto t0 = Clock::now();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const std::string end = page + "~";
    for (sqlite3_stmt* s : statements) {
        sqlite3_bind_text(s, 1, page.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(s, 2, end.c_str(), -1, SQLITE_STATIC);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                sqlite3_column_text(s, c);
        sqlite3_reset(s);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return ms_since(t0);
}

} // namespace

int main()
{
    const std::string program = VELTO_PROGRAM_DIR;
    const std::string copy = (std::filesystem::temp_directory_path() / "velto_citation_bench.m88").string();
    sqlite3* db = open_copy(program + "VT2014.m88", copy);

    std::vector<double> pass, scans;
    velto::CitationFigures figures;
    for (int round = 0; round < 4; ++round) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        const auto t0 = Clock::now();
        figures = velto::write_citation_links(db);
        const double t = ms_since(t0);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        scans.push_back(raw_scan(db));
        if (round > 0)
            pass.push_back(t);
    }
    const double pass_ms = velto::bench::median(pass), scan_ms = velto::bench::median(scans);
    std::printf("link pass, whole collection: %.0f ms for %zu citations, %zu links (raw scan of the text %.0f ms, "
                "ratio %.1f)\n",
                pass_ms, figures.citations, figures.links, scan_ms, scan_ms > 0 ? pass_ms / scan_ms : 0);
    for (const char* law : {"01A", "01B"}) {
        const auto [all, linked] = figures.relative[law];
        std::printf("relative citations of %s (main provision): %zu of %zu linked (%.1f %%)\n", law, linked, all,
                    all ? 100.0 * static_cast<double>(linked) / static_cast<double>(all) : 0.0);
    }
    sqlite3_close(db);
    std::filesystem::remove(copy);

    velto::bench::BenchDocument bench;
    if (!bench.open(program))
        return 1;
    sqlite3* raw = nullptr;
    sqlite3_open_v2((program + "VT2014.m88").c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::vector<sqlite3_stmt*> statements;
    for (const char* sql :
         {"SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = ?1 AND ?2 <> ''",
          "SELECT * FROM T_文 WHERE ID_BN >= ?1 AND ID_BN < ?2 ORDER BY ID_BN",
          "SELECT * FROM T_表 WHERE ID_BN >= ?1 AND ID_BN < ?2 ORDER BY ID_BN, 順序",
          "SELECT * FROM T_引用 WHERE ID_BN >= ?1 AND ID_BN < ?2 AND 引用先 <> '' ORDER BY ID_BN, 開始"}) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(raw, sql, -1, &s, nullptr);
        statements.push_back(s);
    }
    const std::vector<std::string> pages = {"01B-01120000-00", "01B-01290000-00", "01B-01300000-00", "01B-00200000-00",
                                            "01B-01260200-00", "01A-00060000-00", "01A-00480000-00", "01A-00270000-00"};
    std::vector<double> composed, read;
    std::string html;
    for (int round = 0; round < 20; ++round) {
        for (const std::string& page : pages) {
            const auto t0 = Clock::now();
            if (!bench.doc._html_build(page, true, html)) {
                bench.print_reports();
                return 1;
            }
            composed.push_back(ms_since(t0));
            read.push_back(raw_page(raw, statements, page));
        }
    }
    for (sqlite3_stmt* s : statements)
        sqlite3_finalize(s);
    sqlite3_close(raw);
    const double page_ms = velto::bench::median(composed), raw_ms = velto::bench::median(read);
    std::printf("composition of a page with its citation links: %.2f ms (raw read of its rows %.2f ms, ratio %.1f)\n",
                page_ms, raw_ms, raw_ms > 0 ? page_ms / raw_ms : 0);
    return 0;
}
