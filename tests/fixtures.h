// Shared helpers for the tests: temporary folders and fixture databases.
#pragma once

#include "tools/dbbuild/db_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velto::test {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending in "/".
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Builds a database from SQL content scripts; fails the test when the builder fails.
void build_fixture_db(const std::string& file, const std::vector<std::string>& sql);

// The small law collection most tests use: laws 00A, 01A, 01B (hidden), 02K;
// pages with continuation captions, a three-page split article, a row with a
// short identifier and rows hidden by their own or their law's switch.
std::string standard_fixture_sql();

// A program (VELTO_BINARY_DIR "/velto" ...) run as from a shell, with `args` as
// written there; its output is kept in files of `scratch`.
struct ToolRun {
    int status = -1; // the exit status; -1 when it did not exit
    std::string out;
    std::string err;
};
ToolRun run_tool(const std::string& program, const std::string& args, const TempDir& scratch);
// The reader of the build folder `build_dir` on that folder (the whole laws),
// with a settings file of its own in `scratch`, then `args`.
ToolRun run_reader(const std::string& build_dir, const std::string& args, const TempDir& scratch);

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

} // namespace velto::test
