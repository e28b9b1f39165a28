// What cites an article, and the preview of what a link points to, on the
// reader's own program folder (the whole 建築基準法 and 施行令), against
// SQLite alone reading the rows each needs.
//
// Prints the median time of the list of sentences citing the most cited
// article (from the index the build stores), of building that index in
// memory for a database without it, and of composing the preview of a link
// (with the link slowest to preview);
// then the ratios to the raw reads. Exits 1 when the list takes 50 ms or the
// preview 5 ms or more.
#include "bench/bench_support.h"
#include "citations/cited_by.h"
#include "citations/link_peek.h"
#include "compose/velto_doc.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using velto::bench::median;

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// Steps through a statement's rows, touching every text; the time in ms.
double step_all(sqlite3_stmt* stmt, std::size_t& rows)
{
    const auto t0 = Clock::now();
    std::size_t bytes = 0;
    rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, c));
    }
    sqlite3_reset(stmt);
    static volatile std::size_t sink = 0;
    sink = sink + bytes; // the reads are not optimised away
    return ms_since(t0);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : VELTO_PROGRAM_DIR;
    velto::bench::BenchDocument bench;
    if (!bench.open(dir))
        return 1;
    velto::CVeltoDoc& doc = bench.doc;
    doc.load_pages();

    sqlite3* db = nullptr;
    if (sqlite3_open_v2((dir + "/VT2014.m88").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return 1;
    sqlite3_stmt* most = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT 引用先, count(*) FROM T_引 GROUP BY 引用先 ORDER BY 2 DESC LIMIT 1", -1, &most,
                           nullptr) != SQLITE_OK || sqlite3_step(most) != SQLITE_ROW) {
        std::fprintf(stderr, "the database has no link index\n");
        return 1;
    }
    const std::string target = reinterpret_cast<const char*>(sqlite3_column_text(most, 0));
    const int citing = sqlite3_column_int(most, 1);
    sqlite3_finalize(most);

    constexpr int kRounds = 50;

    // The list of the most cited article, from the stored index.
    velto::ReverseLinkIndex index(doc);
    index.open(true);
    std::vector<double> list_times;
    std::size_t listed = 0;
    for (int r = 0; r < kRounds; ++r) {
        const auto t0 = Clock::now();
        listed = velto::cited_by(doc, index, target + "-00").sentences.size();
        list_times.push_back(ms_since(t0));
    }
    sqlite3_stmt* raw_list = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT t.ID_BN, t.アンカー, s.法文 FROM T_引 t LEFT JOIN T_文 s ON s.ID_BN = t.ID_BN "
                       "WHERE t.引用先 = ?1 ORDER BY t.ID_BN",
                       -1, &raw_list, nullptr);
    sqlite3_bind_text(raw_list, 1, target.c_str(), -1, SQLITE_TRANSIENT);
    std::vector<double> raw_list_times;
    std::size_t raw_rows = 0;
    for (int r = 0; r < kRounds; ++r)
        raw_list_times.push_back(step_all(raw_list, raw_rows));
    sqlite3_finalize(raw_list);

    // The index built in memory, as for a database without it.
    std::vector<double> build_times;
    for (int r = 0; r < 5; ++r) {
        const auto t0 = Clock::now();
        std::size_t links = 0;
        velto::scan_sentence_links(db, [&](velto::SentenceLink&&) { return ++links > 0; });
        build_times.push_back(ms_since(t0));
    }

    // Previews of the links to the most cited article and of those of its own text.
    std::vector<std::pair<std::string, std::string>> links; // anchor, page
    for (const velto::SentenceLink& link : index.links_to(target))
        links.emplace_back(link.anchor, link.target + "-00");
    velto::LinkPeek peek(doc);
    velto::PeekTarget warm;
    std::string html;
    peek.compose(links.front().first, links.front().second, warm, html); // the resolver is made once
    std::vector<double> peek_times;
    std::vector<std::vector<double>> per_link(links.size()); // each link's times over the rounds
    std::vector<std::string> shown_pages;
    int composed = 0;
    for (int r = 0; r < kRounds; ++r) {
        for (std::size_t i = 0; i < links.size(); ++i) {
            const auto& [anchor, page] = links[i];
            velto::PeekTarget t;
            const auto t0 = Clock::now();
            composed += peek.compose(anchor, page, t, html) ? 1 : 0;
            peek_times.push_back(ms_since(t0));
            per_link[i].push_back(peek_times.back());
            if (r == 0)
                shown_pages.push_back(t.page);
        }
    }
    sqlite3_stmt* raw_page = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM T_文 WHERE ID_BN > ?1 AND ID_BN < ?2 ORDER BY ID_BN", -1, &raw_page,
                       nullptr);
    std::vector<double> raw_page_times;
    for (int r = 0; r < kRounds; ++r) {
        for (const std::string& page : shown_pages) {
            const std::string low = page + "-", high = page + ".";
            sqlite3_bind_text(raw_page, 1, low.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(raw_page, 2, high.c_str(), -1, SQLITE_TRANSIENT);
            std::size_t rows = 0;
            raw_page_times.push_back(step_all(raw_page, rows));
        }
    }
    sqlite3_finalize(raw_page);
    sqlite3_close(db);

    const double t_list = median(list_times), t_raw_list = median(raw_list_times);
    const double t_peek = median(peek_times), t_raw_peek = median(raw_page_times);
    std::sort(peek_times.begin(), peek_times.end());
    std::printf("most cited article: %s, %d citing sentences in the index, %zu listed (%zu raw rows)\n",
                target.c_str(), citing, listed, raw_rows);
    std::printf("cited-by list, stored index: median %.2f ms\n", t_list);
    std::printf("index built in memory (no stored index): median %.1f ms\n", median(build_times));
    std::printf("preview of a link: %zu links, %d composed, median %.3f ms, 99th percentile %.3f ms\n", links.size(),
                composed / kRounds, t_peek, peek_times[peek_times.size() * 99 / 100]);
    std::size_t worst = 0;
    for (std::size_t i = 0; i < links.size(); ++i)
        if (median(per_link[i]) > median(per_link[worst]))
            worst = i;
    std::printf("slowest link to preview: median %.3f ms (%s)\n", median(per_link[worst]), links[worst].first.c_str());
    std::printf("raw SQLite: citing rows with their sentences %.3f ms, a page's sentences %.3f ms\n", t_raw_list,
                t_raw_peek);
    std::printf("ratio cited-by list/raw SQLite: %.1f\n", t_list / t_raw_list);
    std::printf("ratio preview/raw SQLite: %.1f\n", t_peek / t_raw_peek);
    return t_list < 50.0 && t_peek < 5.0 ? 0 : 1;
}
