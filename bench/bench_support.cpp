#include "bench/bench_support.h"

#include "tools/dbgen/db_generator.h"

#include <QDir>

#include <sqlite3.h>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace velto::bench {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

namespace {

// Whether the database at `path` holds a search index (a database generated
// before it had none, and an older vocabulary).
bool has_search_index(const std::string& path)
{
    sqlite3* db = nullptr;
    bool found = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE name = 'T_索引情報'", -1, &stmt, nullptr) ==
            SQLITE_OK)
            found = sqlite3_step(stmt) == SQLITE_ROW;
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return found;
}

} // namespace

bool generated_database(const std::string& dir, int pages_per_law)
{
    std::filesystem::create_directories(dir);
    const std::string db = dir + "/VT2014.m88";
    if (std::filesystem::exists(db) && has_search_index(db))
        return true;
    GeneratorScale scale = real_scale();
    scale.pages_per_law = pages_per_law;
    std::printf("writing %s (%d pages) ...\n", db.c_str(), scale.laws * pages_per_law);
    std::fflush(stdout);
    std::string error;
    if (!generate_database(db, scale, error)) {
        std::fprintf(stderr, "cannot generate %s: %s\n", db.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool generated_real_scale(const std::string& dir) { return generated_database(dir, real_scale().pages_per_law); }

void link_program_files(const QString& source, const QString& folder)
{
    const QDir from(source);
    const QDir to(folder);
    for (const char* file : {"VT2014.m88", "images14"}) {
        const QString name = QString::fromLatin1(file);
        if (from.exists(name))
            QFile::link(from.absoluteFilePath(name), to.filePath(name));
    }
}

bool BenchDocument::open(const std::string& program_dir)
{
    DocumentOptions options;
    options.program_dir = program_dir;
    options.use_working_folder = false;
    if (doc.OnNewDocument(options))
        return true;
    print_reports();
    return false;
}

void BenchDocument::print_reports() const
{
    for (const auto& m : reporter.messages())
        std::fprintf(stderr, "%s\n%s\n", m.caption.c_str(), m.text.c_str());
}

} // namespace velto::bench
