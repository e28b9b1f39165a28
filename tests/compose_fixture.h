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

// Counts the occurrences of `needle` in `text`.
std::size_t count_of(const std::string& text, const std::string& needle);

} // namespace velto::test
