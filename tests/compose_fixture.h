// A program folder with a law collection that exercises every kind of page,
// and a document started on it.
#pragma once

#include "compose/velto_doc.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <memory>

namespace velto::test {

std::string compose_fixture_sql();

class ComposeFixture : public ::testing::Test {
protected:
    void SetUp() override;
    // Starts (again) a document on the fixture with the current settings. A running
    // document writes its settings when it goes: call stop() before changing them.
    void stop() { doc.reset(); }
    void start();
    // Builds the database again with `extra_sql` run after the fixture's own, and starts.
    void rebuild(const std::string& extra_sql);
    // Composes a page and expects no report.
    std::string page(const std::string& id);

    TempDir dir;
    MemorySettingsStore settings;
    CapturingReporter reporter;
    std::unique_ptr<CVeltoDoc> doc;
};

// A document started on a program folder (the build's own, the sample) as
// the command line starts it: nothing is written to the folder.
struct Reader {
    explicit Reader(const std::string& folder)
    {
        DocumentOptions options;
        options.program_dir = folder;
        options.use_working_folder = false;
        started = doc.OnNewDocument(options);
    }
    MemorySettingsStore settings;
    CapturingReporter reporter;
    CVeltoDoc doc{settings, reporter};
    bool started = false;
};

// Counts the occurrences of `needle` in `text`.
std::size_t count_of(const std::string& text, const std::string& needle);

} // namespace velto::test
