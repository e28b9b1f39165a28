// What changed between two editions, on the reader's own program folder (the
// whole 建築基準法施行令 with its earlier editions), against SQLite alone
// reading the rows each needs.
//
// Prints the median time of the list of the articles that changed in the
// whole 施行令 between each two of its editions, and of one article's 新旧対照
// composed as HTML (令第百八条の四 against 第百八条の三); then the ratios to the
// raw reads of the rows. Exits 1 when the whole law takes 1 s or the article
// 50 ms or more.
#include "bench/bench_support.h"
#include "editions/comparison_page.h"
#include "editions/edition_compare.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using velto::bench::median;

constexpr int kRounds = 7;

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// Runs each statement through all its rows, touching every text; the time in ms.
double raw_read(sqlite3* db, const std::vector<std::string>& statements)
{
    const auto t0 = Clock::now();
    std::size_t bytes = 0;
    for (const std::string& sql : statements) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            continue;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, c));
        sqlite3_finalize(stmt);
    }
    static volatile std::size_t sink = 0;
    sink = sink + bytes;
    return ms_since(t0);
}

// The rows an edition of 01B is read from, by SQLite alone.
std::vector<std::string> edition_rows(const velto::Edition& e, const std::string& key = {})
{
    const std::string from = key.empty() ? "01B-" : key, to = key.empty() ? "01B." : key + "~";
    const std::string range = " >= '" + from + "' AND %s < '" + to + "'";
    const auto where = [&](const char* field) {
        std::string r = range;
        r.replace(r.find("%s"), 2, field);
        return std::string(field) + r;
    };
    if (e.current)
        return {"SELECT ID_FN, 条名 FROM T_条 WHERE " + where("ID_FN"),
                "SELECT ID_BN, 法文, 書式コード, 表式 FROM T_文 WHERE " + where("ID_BN"),
                "SELECT ID_BN, 表式データ FROM T_表 WHERE " + where("ID_BN")};
    const std::string of = "版ID = '" + e.revision + "' AND ";
    return {"SELECT ID_FN, 条名 FROM T_旧条 WHERE " + of + where("ID_FN"),
            "SELECT ID_BN, 法文, 書式コード, 表式 FROM T_旧文 WHERE " + of + where("ID_BN"),
            "SELECT ID_BN, 表式データ FROM T_旧表 WHERE " + of + where("ID_BN")};
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : VELTO_PROGRAM_DIR;
    velto::bench::BenchDocument reader;
    if (!reader.open(folder))
        return 1;
    velto::Database& db = reader.doc.database();
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2((folder + "VT2014.m88").c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %sVT2014.m88\n", folder.c_str());
        return 1;
    }
    const std::vector<velto::Edition> editions = velto::stored_editions(db, "01B");
    if (editions.size() < 2) {
        std::fprintf(stderr, "the folder keeps fewer than two editions of 01B\n");
        return 1;
    }
    bool slow = false;
    std::printf("%-44s %10s %10s %8s\n", "", "velto ms", "raw ms", "ratio");
    for (std::size_t i = 0; i + 1 < editions.size(); ++i) {
        for (std::size_t j = i + 1; j < editions.size(); ++j) {
            const velto::Edition& a = editions[i];
            const velto::Edition& b = editions[j];
            std::vector<double> ours, theirs;
            std::size_t listed = 0;
            for (int r = 0; r < kRounds; ++r) {
                auto t0 = Clock::now();
                const velto::EditionComparison c = velto::compare_editions(db, "01B", a.revision, b.revision);
                ours.push_back(ms_since(t0));
                listed = c.articles.size();
                std::vector<std::string> rows = edition_rows(a);
                const std::vector<std::string> more = edition_rows(b);
                rows.insert(rows.end(), more.begin(), more.end());
                theirs.push_back(raw_read(raw, rows));
            }
            const double m = median(ours), raw_ms = median(theirs);
            slow = slow || m >= 1000;
            std::printf("施行令 %s → %s (%3zu articles)      %10.1f %10.1f %8.1f\n", a.enforced.c_str(), b.enforced.c_str(),
                        listed, m, raw_ms, raw_ms > 0 ? m / raw_ms : 0.0);
        }
    }
    const velto::EditionPair pair = velto::choose_editions(db, "01B", "2023-05-26", "2025-12-01");
    if (pair.message.empty()) {
        std::vector<double> ours, theirs;
        std::size_t bytes = 0;
        for (int r = 0; r < kRounds * 3; ++r) {
            auto t0 = Clock::now();
            const velto::ArticleComparison c =
                velto::compare_article(db, reader.doc, pair.older, "01B-01080300-00", pair.newer, "01B-01080400-00");
            bytes = velto::comparison_html(c, "建築基準法施行令", reader.doc.display()).size();
            ours.push_back(ms_since(t0));
            std::vector<std::string> rows = edition_rows(pair.older, "01B-01080300");
            const std::vector<std::string> more = edition_rows(pair.newer, "01B-01080400");
            rows.insert(rows.end(), more.begin(), more.end());
            theirs.push_back(raw_read(raw, rows));
        }
        const double m = median(ours), raw_ms = median(theirs);
        slow = slow || m >= 50;
        std::printf("新旧対照 令108条の4 (%zu bytes of HTML)        %10.2f %10.2f %8.1f\n", bytes, m, raw_ms,
                    raw_ms > 0 ? m / raw_ms : 0.0);
    }
    sqlite3_close(raw);
    if (slow)
        std::printf("too slow: the whole law must take under 1 s, an article under 50 ms\n");
    return slow ? 1 : 0;
}
