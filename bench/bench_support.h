// What the benchmarks share: medians, generated databases, private program
// folders and documents opened the way the command line opens them.
#pragma once

#include "compose/velto_doc.h"
#include "settings/settings_store.h"

#include <QString>

#include <string>
#include <vector>

namespace velto::bench {

// The middle value (the upper of the two middles); 0 for no values.
double median(std::vector<double> values);

// A median with the range it comes from.
struct Timing {
    double median = 0, low = 0, high = 0;
};
Timing timing(std::vector<double> times);

// Milliseconds a process of `args` (the program first) takes from its start
// to its end; its output is dropped.
double run_process(const std::vector<std::string>& args);

// What `args` add to a start of the reader of `base` (the program and its
// options) that only prints its version: the two started in turn `rounds`
// times, the first round left out as a warm-up.
Timing over_version(const std::vector<std::string>& base, const std::vector<std::string>& args, int rounds);

// `dir` holding a generated database of 60 laws of `pages_per_law` pages
// (VT2014.m88); the database is written only when missing or made before the
// search index, so repeated runs measure the same rows. False (told on
// standard error) when it cannot be written.
bool generated_database(const std::string& dir, int pages_per_law);
// The same at real scale: 12,000 pages.
bool generated_real_scale(const std::string& dir);

// Makes `folder` a private program folder of `source`: its database and
// pictures linked, its own working folder, so a benchmark never writes into
// the program folder it measures.
void link_program_files(const QString& source, const QString& folder);

// A document with settings in memory and its reports kept, as the command line
// opens one: no working folder.
struct BenchDocument {
    MemorySettingsStore settings;
    CapturingReporter reporter;
    CVeltoDoc doc{settings, reporter};

    // False, with the reports on standard error, when the folder does not open.
    bool open(const std::string& program_dir);
    void print_reports() const;
};

} // namespace velto::bench
