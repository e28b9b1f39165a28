#include "bench/bench_support.h"

#include "tools/dbgen/db_generator.h"

#include <QDir>
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

bool generated_real_scale(const std::string& dir)
{
    std::filesystem::create_directories(dir);
    const std::string db = dir + "/VT2014.m88";
    std::string error;
    if (!std::filesystem::exists(db) && !generate_database(db, real_scale(), error)) {
        std::fprintf(stderr, "cannot generate %s: %s\n", db.c_str(), error.c_str());
        return false;
    }
    return true;
}

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
