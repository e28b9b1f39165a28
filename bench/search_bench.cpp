// Full-text search through the database's search index, on generated
// databases of 12,000 and 60,000 pages and on the build's program folder (the
// whole 建築基準法 and 施行令), against the raw components.
//
// For each database it prints, each a median of several rounds with its range:
//   - raw: a bare sweep of the searchable text held in memory (the titles,
//     sentences and tables read once; memchr for a byte that is not there),
//     the least any scan of the text can take; and one SQLite LIKE scan of T_文;
//   - the search statements (the way of a database without the index);
//   - the index as the search tab runs it (the service's thread, its
//     connection open): one, two and three words (耐火 容積 採光), long words,
//     single characters, Latin letters, rare words and a word found nowhere;
//   - the first search of a new service, which opens its connection and the
//     index itself;
//   - the command line: `velto --search` and `velto --version` on the same
//     folder, started in turn; the search is their difference;
//   - the resident memory the searches added to this process.
// Every list is checked against the statements'. Last, the three-word search
// against the sweep of the text, and the goals: 20 ms at 12,000 pages and on
// the build's folder, 40 ms at 60,000, in the window and on the command line.
// Exit status 1 when a list differs or a goal is missed.
//
//   velto_search_bench [WORK-FOLDER [PROGRAM-DIR]]
//
// The generated databases are written into WORK-FOLDER once (real/ and
// real60000/) and reused by later runs.
#include "bench/bench_support.h"
#include "search/page_search.h"
#include "search/search_service.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Words = std::vector<std::string>;
using velto::bench::median;
using velto::bench::Timing;
using velto::bench::timing;

const Words kThreeWords{"耐火", "容積", "採光"};

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

Timing time_rounds(int rounds, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = Clock::now();
        run();
        times.push_back(ms_since(t0));
    }
    return timing(std::move(times));
}

std::string connection(const std::string& db) { return "Data Source=" + db + ";"; }

std::string joined(const Words& words)
{
    std::string text;
    for (const std::string& w : words)
        text += (text.empty() ? "" : " ") + w;
    return text;
}

// Resident memory of this process, in MB.
double resident_mb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

// The searchable text of every page, read into memory once, and its sweep.
struct TextInMemory {
    std::vector<std::string> texts;
    std::size_t bytes = 0;

    void read(const std::string& path)
    {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            return;
        for (const char* sql : {"SELECT 条名 FROM T_条", "SELECT 検索用データ FROM T_文", "SELECT 検索用データ FROM T_表"}) {
            sqlite3_stmt* stmt = nullptr;
            sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
                if (p)
                    texts.emplace_back(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt, 0)));
            }
            sqlite3_finalize(stmt);
        }
        sqlite3_close(db);
        for (const std::string& t : texts)
            bytes += t.size();
    }
    // True when the byte 0x01 is anywhere (it never is): every byte is looked at.
    bool sweep() const
    {
        bool found = false;
        for (const std::string& t : texts)
            found = found || std::memchr(t.data(), 0x01, t.size()) != nullptr;
        return found;
    }
};

// One SQLite LIKE scan of every sentence, with nothing around it.
Timing raw_like_scan(const std::string& path, int rounds)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return {};
    const Timing t = time_rounds(rounds, [db] {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM T_文 WHERE 検索用データ LIKE '%耐火%'", -1, &stmt, nullptr);
        sqlite3_step(stmt);
        sqlite3_finalize(stmt);
    });
    sqlite3_close(db);
    return t;
}

struct Result {
    std::string name;
    double sweep = 0;        // median
    Timing three;            // three words through the index, in the window
    Timing first;            // the first search of a new service
    Timing command_line;     // velto --search less velto --version
    double memory_added = 0; // MB
    bool same = true;
};

void print(const char* what, const Timing& t, const std::string& extra = {})
{
    std::printf("  %-44s median %8.2f ms  (%.2f-%.2f)%s\n", what, t.median, t.low, t.high, extra.c_str());
}

Result bench(const std::string& name, const std::string& folder, const std::string& velto, const std::string& settings,
             bool full_statements)
{
    Result out;
    out.name = name;
    const std::string path = folder + "/VT2014.m88";
    std::printf("%s (%s)\n", name.c_str(), path.c_str());

    const std::vector<Words> word_sets{
        {"耐火"}, {"耐火", "容積"}, kThreeWords, {"建築物", "耐火構造", "準防火地域"}, {"耐", "火", "率"},
        {"日影", "避雷"}, {"JIS", "m"}, {"鉄道車両"}, {"耐火", "容積", "鉄道車両"}};

    // The index as the search tab runs it.
    const double memory_before = resident_mb();
    velto::SearchService service(connection(path));
    service.preload();
    service.wait_for_preload();
    const auto run = [&service](const Words& words) {
        std::promise<velto::SearchOutcome> result;
        service.start(words, {}, [&](velto::SearchOutcome o) { result.set_value(std::move(o)); });
        return result.get_future().get();
    };
    std::vector<std::vector<std::string>> found;
    std::vector<Timing> times;
    for (const Words& words : word_sets) {
        times.push_back(time_rounds(15, [&] { run(words); }));
        found.push_back(run(words).pages);
    }
    out.memory_added = resident_mb() - memory_before;
    if (!service.index_ready())
        std::printf("  THE DATABASE HAS NO SEARCH INDEX\n");

    // The first search of a new service: the connection and the index opened by the search.
    std::vector<double> first;
    for (int r = 0; r < 9; ++r) {
        velto::SearchService fresh(connection(path));
        std::promise<velto::SearchOutcome> result;
        const auto t0 = Clock::now();
        fresh.start(kThreeWords, {}, [&](velto::SearchOutcome o) { result.set_value(std::move(o)); });
        result.get_future().get();
        first.push_back(ms_since(t0));
    }
    out.first = timing(first);

    // The command line, the search against a start that only prints the version.
    out.command_line = velto::bench::over_version({velto, "--program-dir", folder + "/", "--settings", settings},
                                                  {"--search", joined(kThreeWords)}, 9);

    // The statements, and the check of every list.
    velto::Database db;
    db.open(connection(path), "admin", "");
    velto::FullTextSearch by_statements(db, nullptr);
    for (std::size_t i = 0; i < word_sets.size(); ++i) {
        const bool timed = i < 3 && (full_statements || i == 2);
        std::vector<std::string> expected;
        const Timing t = time_rounds(timed ? 3 : 1, [&] { expected = velto::search_words(by_statements, word_sets[i]).pages; });
        const bool equal = expected == found[i];
        out.same = out.same && equal;
        char label[160];
        std::snprintf(label, sizeof label, "index, %zu word(s) %s", word_sets[i].size(), joined(word_sets[i]).c_str());
        print(label, times[i], " " + std::to_string(found[i].size()) + " pages" + (equal ? "" : "  DIFFERENT FROM THE STATEMENTS"));
        if (timed) {
            std::snprintf(label, sizeof label, "statements, %zu word(s)", word_sets[i].size());
            print(label, t);
        }
    }
    out.three = times[2];
    print("index, first search of a new service", out.first);
    print("command line: velto --search less --version", out.command_line);
    std::printf("  resident memory added by the index searches  %.1f MB\n", out.memory_added);

    // The raw components.
    print("raw SQLite LIKE scan of T_文", raw_like_scan(path, 3));
    TextInMemory text;
    text.read(path);
    const Timing sweep = time_rounds(9, [&] {
        if (text.sweep())
            std::printf("?");
    });
    out.sweep = sweep.median;
    print("raw sweep of the text in memory", sweep, " " + std::to_string(text.bytes / 1000000) + " MB");
    std::fflush(stdout);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string root = argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "velto-bench").string();
    const std::string program = argc > 2 ? argv[2] : VELTO_PROGRAM_DIR;
    const std::string velto = std::string(VELTO_PROGRAM_DIR) + "/velto";
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    if (!velto::bench::generated_real_scale(root + "/real") ||
        !velto::bench::generated_database(root + "/real60000", 1000))
        return 1;
    struct Goal {
        Result result;
        double limit;
    };
    std::vector<Goal> goals;
    // Settings the command line only reads: a file that is not there.
    const std::string settings = root + "/no-settings.ini";
    goals.push_back({bench("建築基準法 + 施行令 (the build's program folder)", program, velto, settings, true), 20});
    goals.push_back({bench("generated, 12,000 pages", root + "/real", velto, settings, true), 20});
    goals.push_back({bench("generated, 60,000 pages", root + "/real60000", velto, settings, false), 40});

    bool ok = true;
    std::printf("three words (%s): index / raw sweep of the text, and the goals\n", joined(kThreeWords).c_str());
    for (const Goal& g : goals) {
        const Result& r = g.result;
        const bool met = r.same && r.three.median <= g.limit && r.command_line.median <= g.limit;
        ok = ok && met;
        std::printf("  %-48s window %6.2f ms, first %6.2f ms, command line %6.2f ms (goal %.0f ms): x%.2f of the "
                    "sweep (%.2f ms); +%.1f MB; rows as the statements: %s%s\n",
                    r.name.c_str(), r.three.median, r.first.median, r.command_line.median, g.limit,
                    r.three.median / r.sweep, r.sweep, r.memory_added, r.same ? "yes" : "NO", met ? "" : "  MISSED");
    }
    return ok ? 0 : 1;
}
