// Full-text search of one, two and three words, on a generated database at the
// size of a real law collection and on the build's program folder (the whole
// 建築基準法 and 施行令), against one raw SQLite LIKE scan of the sentences.
//
// For each database it prints: the raw scan; the search by the three
// statements a word; the time to read the searchable text into memory; the
// search through the service as the search tab runs it (from the start to
// the outcome, on the service's thread, with the text in memory), for short,
// long and one-character words; each median with its ratio to the raw scan.
// It checks that the text in memory lists exactly the statements' pages.
// Exit status 1 when a three-word search at real scale takes 200 ms or more.
//
// velto_search_bench [BENCH-FOLDER [PROGRAM-DIR]]
#include "bench/bench_support.h"
#include "search/page_search.h"
#include "search/search_service.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Words = std::vector<std::string>;

constexpr double kLimitMs = 200.0;

double median_ms(int rounds, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = Clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return velto::bench::median(std::move(times));
}

std::string connection(const std::string& db) { return "Data Source=" + db + ";"; }

// One LIKE scan of every sentence, with nothing around it.
double raw_scan(const std::string& db_path, int rounds)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(db_path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return 0;
    const double ms = median_ms(rounds, [db] {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM T_文 WHERE 検索用データ LIKE '%耐火%'", -1, &stmt, nullptr);
        sqlite3_step(stmt);
        sqlite3_finalize(stmt);
    });
    sqlite3_close(db);
    return ms;
}

std::string joined(const Words& words)
{
    std::string text;
    for (const std::string& w : words)
        text += (text.empty() ? "" : " ") + w;
    return text;
}

// Returns the median of the three-word search of short words through the service.
double bench(const char* name, const std::string& db_path, bool& same)
{
    std::printf("%s (%s)\n", name, db_path.c_str());
    const double raw = raw_scan(db_path, 9);
    std::printf("  raw SQLite LIKE scan of T_文          median %7.1f ms\n", raw);

    velto::Database db;
    db.open(connection(db_path), "admin", "");
    const std::vector<Words> short_words{{"耐火"}, {"耐火", "容積"}, {"耐火", "容積", "採光"}};
    const std::vector<Words> other_words{
        {"建築物の敷地", "防火地域又は準防火地域", "特定行政庁"}, {"耐", "火", "率"}, {"JIS", "m", "ない語句"}};

    velto::FullTextSearch by_statements(db, nullptr);
    for (const Words& words : short_words) {
        const double ms = median_ms(3, [&] { velto::search_words(by_statements, words); });
        std::printf("  statements, %zu word(s) %-22s median %7.1f ms  (x%.2f raw)\n", words.size(),
                    joined(words).c_str(), ms, ms / raw);
    }

    velto::SearchCorpus corpus;
    const double load = median_ms(3, [&] { corpus.load(db); });
    std::printf("  reading the text into memory         median %7.1f ms (%zu pages, %.1f MB)\n", load,
                corpus.page_count(), corpus.text_bytes() / 1e6);

    velto::SearchService service(connection(db_path));
    service.preload();
    service.wait_for_preload();
    const auto run = [&service](const Words& words) {
        std::promise<velto::SearchOutcome> result;
        service.start(words, {}, [&](velto::SearchOutcome o) { result.set_value(std::move(o)); });
        return result.get_future().get();
    };
    double three = 0;
    for (const auto* set : {&short_words, &other_words}) {
        for (const Words& words : *set) {
            const double ms = median_ms(15, [&] { run(words); });
            if (set == &short_words && words.size() == 3)
                three = ms;
            const velto::SearchOutcome fast = run(words);
            const velto::SearchOutcome slow = velto::search_words(by_statements, words);
            const bool equal = fast.pages == slow.pages;
            same = same && equal;
            std::printf("  in memory,  %zu word(s) %-22s median %7.1f ms  (x%.2f raw) %zu pages%s\n", words.size(),
                        joined(words).c_str(), ms, ms / raw, fast.pages.size(),
                        equal ? "" : "  DIFFERENT FROM THE STATEMENTS");
        }
    }
    return three;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string root = argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "velto-bench").string();
    const std::string program = argc > 2 ? argv[2] : VELTO_PROGRAM_DIR;

    if (!velto::bench::generated_real_scale(root + "/real"))
        return 1;
    const std::string generated = root + "/real/VT2014.m88";
    bool same = true;
    const double three = bench("generated, real scale", generated, same);
    bench("建築基準法 + 施行令 (the build's program folder)", program + "/VT2014.m88", same);
    std::printf("three words at real scale: %.1f ms (limit %.0f ms); rows as the statements: %s\n", three, kLimitMs,
                same ? "yes" : "NO");
    return three < kLimitMs && same ? 0 : 1;
}
