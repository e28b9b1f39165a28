// Defined terms on the reader's own folder (the whole laws): composing a page
// with the uses of its terms underlined, against composing it without and
// against a raw SQLite read of the rows the page needs (its title, sentences,
// tables and reference links); the first page of a law, which reads the law's
// terms; then the preview of a term (its definition composed for the link
// preview window).
//
// The pages are every article of 建築基準法, its order and its rule that is
// composed in full; the previews, every term underlined on a sample of them.
// Figures are medians per page (and the 99th percentile of the previews).
#include "bench/bench_support.h"
#include "citations/term_peek.h"
#include "compose/term_marks.h"
#include "core/sql_dialect.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using velto::bench::median;

double micros_since(Clock::time_point t0) { return std::chrono::duration<double, std::micro>(Clock::now() - t0).count(); }

// The rows a page needs, read with bare SQLite: statements prepared once, one
// read transaction a page, every column of every row fetched.
class RawPageRead {
public:
    explicit RawPageRead(const std::string& file)
    {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
            velto::register_sql_functions(db_) != SQLITE_OK) {
            std::fprintf(stderr, "cannot open %s\n", file.c_str());
            std::exit(1);
        }
        title_ = prepare("SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = ?1");
        sentences_ = prepare("SELECT * FROM T_文 WHERE LEFT([ID_BN], 15) = ?1 ORDER BY [ID_BN]");
        table_ = prepare("SELECT * FROM T_表 WHERE ID_BN = ?1 ORDER BY 順序");
        links_ = prepare("SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN WHERE T_参.ID_BN = ?1 AND "
                         "T_参.表示 = YES ORDER BY T_参.順序");
    }
    ~RawPageRead()
    {
        for (sqlite3_stmt* s : {title_, sentences_, table_, links_})
            sqlite3_finalize(s);
        sqlite3_close(db_);
    }

    std::size_t read_page(const std::string& id)
    {
        sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
        std::size_t rows = read(title_, id);
        sqlite3_bind_text(sentences_, 1, id.data(), static_cast<int>(id.size()), SQLITE_STATIC);
        while (sqlite3_step(sentences_) == SQLITE_ROW) {
            ++rows;
            touch(sentences_);
            const std::string id_bn(reinterpret_cast<const char*>(sqlite3_column_text(sentences_, 0)));
            if (sqlite3_column_int(sentences_, 3) != 0) // 表式
                rows += read(table_, id_bn);
            if (sqlite3_column_int(sentences_, 5) != 0) // 参照
                rows += read(links_, id_bn);
        }
        sqlite3_reset(sentences_);
        sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        return rows;
    }

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
    void touch(sqlite3_stmt* stmt)
    {
        for (int i = 0, n = sqlite3_column_count(stmt); i < n; ++i)
            if (sqlite3_column_text(stmt, i))
                checksum_ += static_cast<std::size_t>(sqlite3_column_bytes(stmt, i));
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt *title_ = nullptr, *sentences_ = nullptr, *table_ = nullptr, *links_ = nullptr;
    std::size_t checksum_ = 0;
};

// Median time to compose each page, with TermMarks on or off.
double compose_median(velto::CVeltoDoc& doc, const std::vector<std::string>& pages, bool marks, int rounds,
                      std::vector<double>* per_page = nullptr)
{
    doc.toggles().TermMarks = marks ? 1 : 0;
    std::vector<double> times;
    std::string html;
    for (int r = 0; r < rounds; ++r)
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const auto t0 = Clock::now();
            if (!doc._html_build(pages[i], html)) {
                std::fprintf(stderr, "composition of %s failed\n", pages[i].c_str());
                std::exit(1);
            }
            times.push_back(micros_since(t0));
            if (per_page && r == rounds - 1)
                (*per_page)[i] = times.back();
        }
    doc.toggles().TermMarks = 1;
    return median(times);
}

} // namespace

// Usage: velto_terms_bench [PROGRAM_DIR] (default: the build folder).
int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : VELTO_PROGRAM_DIR;
    velto::bench::BenchDocument reader;
    if (!reader.open(dir))
        return 1;
    velto::CVeltoDoc& doc = reader.doc;

    std::vector<std::string> pages;
    std::string html;
    for (const velto::HistoryEntry& e : doc.pages().pages()) {
        const std::string law = e.id.substr(0, 3);
        if ((law == "01A" || law == "01B" || law == "01C") && e.id[4] >= '0' && e.id[4] <= '9' &&
            doc._html_build(e.id, html) && !doc._is_abbreviated(e.id))
            pages.push_back(e.id);
    }
    const int rounds = 5;
    std::vector<double> marked_each(pages.size()), raw_each(pages.size());
    compose_median(doc, pages, true, 1);
    const double marked = compose_median(doc, pages, true, rounds, &marked_each);
    const double plain = compose_median(doc, pages, false, rounds);
    RawPageRead raw(dir + "/VT2014.m88");
    std::vector<double> raw_times;
    std::size_t rows = 0;
    for (int r = 0; r <= rounds; ++r)
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const auto t0 = Clock::now();
            rows += raw.read_page(pages[i]);
            if (r > 0) {
                raw_times.push_back(micros_since(t0));
                raw_each[i] = std::min(raw_each[i] > 0 ? raw_each[i] : raw_times.back(), raw_times.back());
            }
        }
    const double raw_median = median(raw_times);
    std::vector<double> ratios;
    for (std::size_t i = 0; i < pages.size(); ++i)
        ratios.push_back(marked_each[i] / raw_each[i]);
    std::sort(ratios.begin(), ratios.end());
    std::printf("pages: %zu articles of 建築基準法, its order and rule, composed in full\n", pages.size());
    std::printf("composition with terms underlined: median %.0f us per page\n", marked);
    std::printf("composition without:               median %.0f us per page (terms add %.0f%%)\n", plain,
                100.0 * (marked - plain) / plain);
    std::printf("raw SQLite read of the page's rows: median %.0f us per page\n", raw_median);
    std::printf("ratio composition with terms/raw read: %.2f (limit 5); page by page: median %.2f, p90 %.2f\n",
                marked / raw_median, ratios[ratios.size() / 2], ratios[ratios.size() * 9 / 10]);

    // The first page of a law reads its terms (its own and its act's) and
    // makes their index; later pages of the law use them.
    std::vector<double> first_page;
    for (const char* law : {"01A", "01B", "01C"})
        for (int r = 0; r < rounds; ++r) {
            velto::TermMarks fresh(doc.database());
            const auto t0 = Clock::now();
            fresh.begin(std::string(law) + "-00010000-00");
            first_page.push_back(micros_since(t0));
        }
    std::printf("the terms of a law, read at its first page: median %.2f ms\n", median(first_page) / 1000);

    // The previews: every term underlined on every tenth page, seen from that page.
    const std::regex mark("data-term=\"([0-9A-Z-]{35})\"[^>]*>([^<]*)</span>");
    std::set<std::pair<std::string, std::string>> uses; // definition + term, page law
    std::vector<std::pair<std::string, std::string>> peeks;
    for (std::size_t i = 0; i < pages.size(); i += 10) {
        doc._html_build(pages[i], html);
        for (auto it = std::sregex_iterator(html.begin(), html.end(), mark); it != std::sregex_iterator(); ++it)
            if (uses.insert({(*it)[1].str() + "\t" + (*it)[2].str(), pages[i].substr(0, 3)}).second)
                peeks.push_back({(*it)[1].str() + "\t" + (*it)[2].str(), pages[i].substr(0, 3)});
    }
    velto::TermPeek peek(doc);
    std::vector<double> peek_times, peek_raw;
    for (int r = 0; r < 3; ++r)
        for (const auto& [use, law] : peeks) {
            const std::string definition = use.substr(0, use.find('\t'));
            velto::PeekTarget target;
            const auto t0 = Clock::now();
            if (!peek.compose(definition, use.substr(use.find('\t') + 1), law, target, html)) {
                std::fprintf(stderr, "no preview of %s\n", use.c_str());
                return 1;
            }
            peek_times.push_back(micros_since(t0));
            const auto t1 = Clock::now();
            raw.read_page(definition.substr(0, 15));
            peek_raw.push_back(micros_since(t1));
        }
    std::sort(peek_times.begin(), peek_times.end());
    std::printf("previews: %zu terms as used on %zu pages: median %.2f ms, p99 %.2f ms (limit 5 ms); "
                "raw read of the defining page median %.2f ms, ratio %.2f\n",
                peeks.size(), (pages.size() + 9) / 10, median(peek_times) / 1000,
                peek_times[peek_times.size() * 99 / 100] / 1000, median(peek_raw) / 1000,
                median(peek_times) / median(peek_raw));
    return rows > 0 ? 0 : 1;
}
