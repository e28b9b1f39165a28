// Composition speed against the size of the database.
//
// Builds a database of sample size and one of the size of a real law
// collection (their first law is the same, page for page), composes the same
// typical pages on both and prints the median time of a page on each and
// their ratio. Composition must not grow with the database: every statement
// of a page reads through an index.
#include "compose/velto_doc.h"
#include "core/settings_store.h"
#include "tools/dbgen/db_generator.h"

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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

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

} // namespace

int main(int argc, char** argv)
{
    const std::string root = argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "velto-bench").string();
    Setup small, large;
    if (!start(small, root + "/sample", velto::sample_scale()) || !start(large, root + "/real", velto::real_scale()))
        return 1;

    // Typical pages: the first twenty articles of law 01A that are composed in full.
    std::vector<std::string> pages;
    for (const velto::HistoryEntry& e : small.doc->pages().pages()) {
        if (e.id.rfind("01A-", 0) != 0)
            continue;
        std::string html;
        small.doc->_html_build(e.id, html);
        if (!small.doc->_is_abbreviated(e.id))
            pages.push_back(e.id);
        if (pages.size() == 20)
            break;
    }
    std::size_t bytes = 0;
    measure(*small.doc, pages, 2, bytes); // warm the caches of both
    measure(*large.doc, pages, 2, bytes);
    const double t_small = measure(*small.doc, pages, 15, bytes);
    const double t_large = measure(*large.doc, pages, 15, bytes);
    std::printf("pages composed: %zu typical articles of about %zu bytes of HTML\n", pages.size(), bytes);
    std::printf("sample scale (%zu pages): median %.0f us per page\n", small.doc->pages().pages().size(), t_small);
    std::printf("real scale   (%zu pages): median %.0f us per page\n", large.doc->pages().pages().size(), t_large);
    std::printf("ratio real/sample: %.2f\n", t_large / t_small);
    return 0;
}
