// Composition speed against the size of the database and against SQLite.
//
// Builds a database of sample size and one of the size of a real law
// collection (their first law is the same, page for page), composes the same
// typical pages on both and prints the median time of a page on each and
// their ratio. Composition must not grow with the database: every statement
// of a page reads through an index.
//
// Then it reads, with bare SQLite (statements prepared once, one read
// transaction a page, every column of every row fetched), exactly the rows the
// composition of each page reads: its title row, its sentences, the tables and
// reference links of those sentences. Composition over that raw read is the
// cost of everything the reader adds to the database; it is printed last.
#include "bench/bench_support.h"
#include "compose/velto_doc.h"
#include "core/sql_dialect.h"
#include "settings/settings_store.h"
#include "tools/dbgen/db_generator.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Setup {
    std::string dir;
    velto::MemorySettingsStore settings;
    velto::CapturingReporter reporter;
    std::unique_ptr<velto::CVeltoDoc> doc;
};

bool start(Setup& s, const std::string& dir, const velto::GeneratorScale& scale)
{
    s.dir = dir;
    std::filesystem::create_directories(dir);
    const std::string db = dir + "/VT2014.m88";
    std::string error;
    if (!std::filesystem::exists(db) && !velto::generate_database(db, scale, error)) {
        std::fprintf(stderr, "cannot generate %s: %s\n", db.c_str(), error.c_str());
        return false;
    }
    s.doc = std::make_unique<velto::CVeltoDoc>(s.settings, s.reporter);
    velto::DocumentOptions options;
    options.program_dir = dir + "/";
    options.use_working_folder = false;
    return s.doc->OnNewDocument(options);
}

using velto::bench::median;

// Median over rounds of the time to compose one page, in microseconds.
double measure(velto::CVeltoDoc& doc, const std::vector<std::string>& pages, int rounds, std::size_t& bytes)
{
    std::vector<double> times;
    std::string html;
    for (int r = 0; r < rounds; ++r) {
        for (const std::string& id : pages) {
            const auto t0 = Clock::now();
            if (!doc._html_build(id, html)) {
                std::fprintf(stderr, "composition of %s failed\n", id.c_str());
                std::exit(1);
            }
            times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
            bytes = html.size();
        }
    }
    return median(times);
}

// The page's rows read with bare SQLite: the reader's own statements (in
// SQLite's dialect) with the identifier bound, prepared once.
class RawReader {
public:
    explicit RawReader(const std::string& file)
    {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
            velto::register_sql_functions(db_) != SQLITE_OK) {
            std::fprintf(stderr, "cannot open %s\n", file.c_str());
            std::exit(1);
        }
        title_ = prepare("SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = ? ");
        sentences_ = prepare("SELECT * FROM T_文 WHERE LEFT([ID_BN], 15) = ? ORDER BY [ID_BN]");
        table_ = prepare("SELECT * FROM T_表 WHERE ID_BN = ? ORDER BY 順序");
        links_ = prepare("SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN WHERE T_参.ID_BN = ? AND "
                         "T_参.表示 = YES ORDER BY T_参.順序");
    }
    ~RawReader()
    {
        for (sqlite3_stmt* s : {title_, sentences_, table_, links_})
            sqlite3_finalize(s);
        sqlite3_close(db_);
    }

    // Reads the rows of one page; with `sentences_only` the T_文 rows alone.
    // Returns the number of rows read.
    std::size_t read_page(const std::string& id, bool sentences_only)
    {
        sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
        std::size_t rows = sentences_only ? 0 : read(title_, id);
        sqlite3_bind_text(sentences_, 1, id.data(), static_cast<int>(id.size()), SQLITE_STATIC);
        while (sqlite3_step(sentences_) == SQLITE_ROW) {
            ++rows;
            touch(sentences_);
            if (sentences_only)
                continue;
            // 表式 and 参照 are columns 3 and 5 of T_文.
            const std::string id_bn(reinterpret_cast<const char*>(sqlite3_column_text(sentences_, 0)));
            if (sqlite3_column_int(sentences_, 3) != 0)
                rows += read(table_, id_bn);
            if (sqlite3_column_int(sentences_, 5) != 0)
                rows += read(links_, id_bn);
        }
        sqlite3_reset(sentences_);
        sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        return rows;
    }

    std::size_t checksum() const { return checksum_; }

private:
    sqlite3_stmt* prepare(const std::string& statement)
    {
        const std::string sql = velto::sql_for_sqlite(statement);
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "cannot prepare %s: %s\n", sql.c_str(), sqlite3_errmsg(db_));
            std::exit(1);
        }
        return stmt;
    }

    std::size_t read(sqlite3_stmt* stmt, const std::string& key)
    {
        std::size_t rows = 0;
        sqlite3_bind_text(stmt, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            touch(stmt);
        }
        sqlite3_reset(stmt);
        return rows;
    }

    // Fetches every column as the reader would (text and its length).
    void touch(sqlite3_stmt* stmt)
    {
        for (int i = 0, n = sqlite3_column_count(stmt); i < n; ++i) {
            if (sqlite3_column_text(stmt, i))
                checksum_ += static_cast<std::size_t>(sqlite3_column_bytes(stmt, i));
        }
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* title_ = nullptr;
    sqlite3_stmt* sentences_ = nullptr;
    sqlite3_stmt* table_ = nullptr;
    sqlite3_stmt* links_ = nullptr;
    std::size_t checksum_ = 0;
};

// Median over rounds of the time of a raw read of one page, in microseconds.
double measure_raw(RawReader& raw, const std::vector<std::string>& pages, int rounds, bool sentences_only,
                   std::size_t& rows)
{
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        rows = 0;
        for (const std::string& id : pages) {
            const auto t0 = Clock::now();
            rows += raw.read_page(id, sentences_only);
            times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        }
    }
    return median(times);
}

// Pages of law 01A that are composed in full (not in the abbreviated form of large pages), at most `count`.
std::vector<std::string> full_pages(velto::CVeltoDoc& doc, std::size_t count)
{
    std::vector<std::string> pages;
    for (const velto::HistoryEntry& e : doc.pages().pages()) {
        if (e.id.rfind("01A-", 0) != 0)
            continue;
        std::string html;
        doc._html_build(e.id, html);
        if (!doc._is_abbreviated(e.id))
            pages.push_back(e.id);
        if (pages.size() == count)
            break;
    }
    return pages;
}

// Composition of `pages` against a raw read of their rows; returns the ratio.
double against_raw(velto::CVeltoDoc& doc, const std::string& file, const std::vector<std::string>& pages,
                   const char* label)
{
    std::size_t bytes = 0;
    measure(doc, pages, 2, bytes);
    const double t_compose = measure(doc, pages, 15, bytes);
    RawReader raw(file);
    std::size_t rows = 0, sentence_rows = 0;
    measure_raw(raw, pages, 2, false, rows);
    const double t_raw = measure_raw(raw, pages, 15, false, rows);
    const double t_sentences = measure_raw(raw, pages, 15, true, sentence_rows);
    if (raw.checksum() == 0) {
        std::fprintf(stderr, "the raw read of %s read nothing\n", file.c_str());
        std::exit(1);
    }
    std::printf("%s: composition median %.0f us per page (%zu pages of about %zu bytes of HTML)\n", label, t_compose,
                pages.size(), bytes);
    std::printf("%s: raw SQLite read of the rows a page needs (%zu rows): median %.1f us per page\n", label, rows,
                t_raw);
    std::printf("%s: raw SQLite read of its T_文 rows alone (%zu rows): median %.1f us per page\n", label,
                sentence_rows, t_sentences);
    std::printf("%s: ratio composition/raw T_文 rows: %.2f\n", label, t_compose / t_sentences);
    return t_compose / t_raw;
}

} // namespace

// Usage: velto_compose_bench [SCRATCH [PROGRAM_DIR]]: generated databases go to
// SCRATCH; with PROGRAM_DIR (a folder holding VT2014.m88, such as the build
// folder with the whole official laws) its pages are measured against SQLite too.
int main(int argc, char** argv)
{
    const std::string root = argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "velto-bench").string();
    Setup small, large;
    if (!start(small, root + "/sample", velto::sample_scale()) || !start(large, root + "/real", velto::real_scale()))
        return 1;

    // Typical pages: the first twenty articles of law 01A that are composed in full.
    const std::vector<std::string> pages = full_pages(*small.doc, 20);
    std::size_t bytes = 0;
    measure(*small.doc, pages, 2, bytes); // warm the caches of both
    measure(*large.doc, pages, 2, bytes);
    const double t_small = measure(*small.doc, pages, 15, bytes);
    const double t_large = measure(*large.doc, pages, 15, bytes);
    std::printf("pages composed: %zu typical articles of about %zu bytes of HTML\n", pages.size(), bytes);
    std::printf("sample scale (%zu pages): median %.0f us per page\n", small.doc->pages().pages().size(), t_small);
    std::printf("real scale   (%zu pages): median %.0f us per page\n", large.doc->pages().pages().size(), t_large);
    std::printf("ratio real/sample: %.2f\n", t_large / t_small);

    if (argc > 2) {
        Setup folder;
        folder.dir = argv[2];
        folder.doc = std::make_unique<velto::CVeltoDoc>(folder.settings, folder.reporter);
        velto::DocumentOptions options;
        options.program_dir = folder.dir + "/";
        options.use_working_folder = false;
        if (!folder.doc->OnNewDocument(options))
            return 1;
        const double ratio = against_raw(*folder.doc, folder.dir + "/VT2014.m88", full_pages(*folder.doc, 40), "folder");
        std::printf("folder: ratio composition/raw read of the page's rows: %.2f\n", ratio);
    }
    const double ratio = against_raw(*large.doc, large.dir + "/VT2014.m88", pages, "real scale");
    std::printf("ratio composition/raw read of the page's rows: %.2f\n", ratio);
    return 0;
}
