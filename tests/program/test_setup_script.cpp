// scripts/setup.sh, which ./run.sh and ./test.sh start with: the package
// tool runs only for what is missing, and never when nothing is.
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <unistd.h>

namespace {

using velto::test::read_file;
using velto::test::TempDir;
using velto::test::ToolRun;
using velto::test::write_file;

// The programs the script runs and looks for, besides the stubs.
const char* const kPrograms[] = {"dirname", "id",       "nproc",     "g++",     "make",    "ninja",
                                 "pkg-config", "sqlite3", "xz",       "fc-match", "Xvfb",   "xvfb-run",
                                 "xauth",   "pdftotext", "pdftoppm", "clang++"};

std::string on_path(const std::string& name)
{
    std::stringstream dirs(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::filesystem::path candidate = std::filesystem::path(dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

class SetupScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.file("repo/scripts"));
        std::filesystem::copy_file(VELTO_SOURCE_DIR "/scripts/setup.sh", dir.file("repo/scripts/setup.sh"));
        // apt-get, sudo and cmake record what they were asked; sudo runs the rest.
        std::filesystem::create_directories(dir.file("stubs"));
        for (const char* tool : {"apt-get", "cmake"})
            stub(tool, std::string("echo \"") + tool + " $*\" >>\"" + dir.file("calls") + "\"\n");
        stub("sudo", "exec \"$@\"\n");
    }

    void stub(const std::string& name, const std::string& body)
    {
        const std::string file = dir.file("stubs/" + name);
        write_file(file, "#!/bin/sh\n" + body);
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }

    // A folder of the programs of kPrograms but `left_out`; its path.
    std::string programs_without(std::initializer_list<std::string> left_out)
    {
        const std::string bin = dir.file("bin");
        std::filesystem::create_directories(bin);
        for (const char* program : kPrograms) {
            if (std::find(left_out.begin(), left_out.end(), program) != left_out.end())
                continue;
            const std::string found = on_path(program);
            EXPECT_FALSE(found.empty()) << program << " is needed by the tests and the build";
            if (!found.empty())
                std::filesystem::create_symlink(found, bin + "/" + program);
        }
        return bin;
    }

    ToolRun run(const std::string& path, const std::string& environment = {})
    {
        return velto::test::run_tool("env PATH=" + path + " " + environment + " /bin/bash",
                                     dir.file("repo/scripts/setup.sh"), dir);
    }

    std::string calls() { return std::filesystem::exists(dir.file("calls")) ? read_file(dir.file("calls")) : ""; }

    TempDir dir;
};

TEST_F(SetupScript, WithEverythingThereNoPackageToolRuns)
{
    const ToolRun done = run(dir.file("stubs") + ":" + std::getenv("PATH"));
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out, "");
    // Only the build.
    EXPECT_EQ(calls().find("apt-get"), std::string::npos) << calls();
    EXPECT_NE(calls().find("cmake --build build"), std::string::npos) << calls();
}

TEST_F(SetupScript, OnlyWhatIsMissingIsInstalled)
{
    const std::string path = dir.file("stubs") + ":" + programs_without({"xauth", "pdftotext"});
    const ToolRun done = run(path);
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out, "Installing: xauth poppler-utils\n");
    EXPECT_NE(calls().find("apt-get update -qq\napt-get install -y -qq --no-install-recommends xauth poppler-utils\n"),
              std::string::npos)
        << calls();

    // The fuzz targets' tools come along when asked for.
    std::filesystem::remove(dir.file("calls"));
    std::filesystem::remove(dir.file("bin/clang++"));
    const ToolRun fuzz = run(path, "VELTO_FUZZ_TOOLS=1");
    EXPECT_EQ(fuzz.status, 0) << fuzz.err;
    EXPECT_EQ(fuzz.out.rfind("Installing: xauth poppler-utils clang", 0), 0u) << fuzz.out;
}

} // namespace
