// The command line, run as a user runs it.
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

using velto::test::TempDir;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome run_velto(const std::string& args, const TempDir& scratch)
{
    const std::string out = scratch.file("stdout.txt");
    const std::string err = scratch.file("stderr.txt");
    const std::string command = std::string(VELTO_BINARY_DIR) + "/velto " + args + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    Outcome r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = velto::test::read_file(out);
    r.err = velto::test::read_file(err);
    return r;
}

} // namespace

TEST(CommandLine, PrintsTheCaptionOfAPage)
{
    TempDir program;
    TempDir scratch;
    velto::test::build_fixture_db(program.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
    const std::string settings = scratch.file("settings.ini");

    Outcome r = run_velto("--program-dir " + program.path() + " --settings " + settings + " --caption 01A-00010000-00", scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "建築基準法 第1条\n");
    EXPECT_EQ(r.err, "");
    // It only reads: no working folder, no settings written.
    EXPECT_FALSE(std::filesystem::exists(program.path() + "temp"));
    EXPECT_FALSE(std::filesystem::exists(settings));
}

TEST(CommandLine, ShowsStartUpFailuresOnStandardError)
{
    TempDir program;
    TempDir scratch;
    Outcome r = run_velto("--program-dir " + program.path() + " --settings " + scratch.file("s.ini") + " --caption 01A-00010000-00",
                      scratch);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("データベースの接続\n#importによって生成されたクラスに対し例外が生成されました。", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("\nヴェルト　エラー情報\n環境条件に不備があるため"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(program.path() + "VT2014.m88"));
}

TEST(CommandLine, RunsOnTheBundledSampleByDefault)
{
    TempDir scratch;
    Outcome r = run_velto("--settings " + scratch.file("s.ini") + " --caption 01A-00020000-00", scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "建築基準法 第2条\n");
}

TEST(CommandLine, RefusesUnknownArguments)
{
    TempDir scratch;
    EXPECT_EQ(run_velto("--no-such-option", scratch).status, 2);
    EXPECT_EQ(run_velto("--caption", scratch).status, 2);
    Outcome help = run_velto("--help", scratch);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--caption ID"), std::string::npos);
}
