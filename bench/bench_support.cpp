#include "bench/bench_support.h"

#include "tools/dbgen/db_generator.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velto::bench {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

Timing timing(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.empty() ? Timing{} : Timing{median(times), times.front(), times.back()};
}

double run_process(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

Timing over_version(const std::vector<std::string>& base, const std::vector<std::string>& args, int rounds)
{
    std::vector<std::string> version = base, with_args = base;
    version.push_back("--version");
    with_args.insert(with_args.end(), args.begin(), args.end());
    std::vector<double> differences;
    for (int r = 0; r <= rounds; ++r) {
        const double v = run_process(version), a = run_process(with_args);
        if (r > 0)
            differences.push_back(a - v);
    }
    return timing(std::move(differences));
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
