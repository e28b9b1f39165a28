// The command line, run as a user runs it.
#include "compose/content_policy.h"
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

    // An option without its value (missing or empty) is a usage error: no
    // window, no settings, nothing written.
    const std::string settings = scratch.file("settings.ini");
    for (const std::string args : {"--caption", "--caption ''", "--html ''", "--export-html ''", "--list ''",
                                   "--settings '' --tree", "--program-dir '' --tree", "--goto"}) {
        const Outcome r = run_velto("--settings " + settings + " " + args, scratch);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.rfind("velto: --", 0), 0u) << args << r.err;
        EXPECT_NE(r.err.find(" needs a value\n"), std::string::npos) << args << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(settings));
    Outcome help = run_velto("--help", scratch);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--caption ID"), std::string::npos);
}

TEST(CommandLine, PrintsAndExportsComposedPages)
{
    TempDir program;
    TempDir scratch;
    velto::test::build_fixture_db(program.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
    const std::string common = "--program-dir " + program.path() + " --settings " + scratch.file("s.ini");

    Outcome page = run_velto(common + " --html 01A-00010000-00", scratch);
    EXPECT_EQ(page.status, 0) << page.err;
    EXPECT_EQ(page.out.rfind("<html>\n<head>\n", 0), 0u);
    EXPECT_NE(page.out.find("この法律は、建築物の敷地に関する最低の基準を定める。"), std::string::npos);

    // A large page comes abbreviated, in full with --from-link.
    Outcome brief = run_velto(common + " --html 01A-00060200-00", scratch);
    Outcome full = run_velto(common + " --html 01A-00060200-00 --from-link", scratch);
    EXPECT_NE(brief.out.find("ココをクリックすると全文が表示されます"), std::string::npos);
    EXPECT_EQ(full.status, 1); // the fixture has no sentences for it
    EXPECT_NE(full.err.find("データベースのテーブル(T_文)内に法文データを"), std::string::npos);

    Outcome missing = run_velto(common + " --html 01A-00990000-00", scratch);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("HTML形式の法文を作成\nデータベースに法文タイトルを", 0), 0u) << missing.err;

    const std::string out = scratch.path() + "export";
    Outcome exported = run_velto(common + " --export-html " + out, scratch);
    EXPECT_EQ(exported.status, 1); // some fixture pages have no sentences
    EXPECT_TRUE(std::filesystem::exists(out + "/01A-00010000-00.html"));
    EXPECT_FALSE(std::filesystem::exists(out + "/01A-00030000-00.html"));
    // Each page not written is named with its reason; the program's own pages
    // the fixture lacks are no failures.
    EXPECT_NE(exported.err.find("velto: 01A-00030000-00.html not written: HTML形式の法文を作成: "
                                "データベースのテーブル(T_文)内に法文データを見つけることができませんでした。\n"),
              std::string::npos)
        << exported.err;
    EXPECT_NE(exported.err.find("\n4 pages written, 9 failed (4 of the program's own pages are not in this database)\n"),
              std::string::npos)
        << exported.err;
    EXPECT_EQ(exported.err.find("00A-Z002"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(program.path() + "temp"));
}

TEST(CommandLine, PrintsTheBookmarkListWithoutWritingIt)
{
    TempDir program;
    TempDir scratch;
    velto::test::build_fixture_db(program.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
    const std::string common = "--program-dir " + program.path() + " --settings " + scratch.file("s.ini");
    const std::string file = "VERSION 14.03\r\n02K-KD180543-01, book_mark_root\r\n01A-00990000-00, book_mark_root\r\n"
                             "\x81\x40" "01A-00030000-01, book_mark_root\r\n01A-F0000000-00, book_mark_root\r\n\r\n";
    velto::test::write_file(program.file("velto14.bmk"), file);

    Outcome r = run_velto(common + " --bookmarks", scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "01A-00030000-01\t建築基準法\t3条　(02/03)\t適用の除外\t\n"
                     "01A-F0000000-00\t建築基準法\t附則\t\t\n"
                     "02K-KD180543-01\t告示\t平18年 543号　(02/02)\t告示\t\n");
    EXPECT_EQ(velto::test::read_file(program.file("velto14.bmk")), file);

    // No file: no rows. A file that cannot be read is said to be so.
    std::filesystem::remove(program.file("velto14.bmk"));
    EXPECT_EQ(run_velto(common + " --bookmarks", scratch).out, "");
    std::filesystem::create_directory(program.file("velto14.bmk"));
    Outcome unreadable = run_velto(common + " --bookmarks", scratch);
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_NE(unreadable.err.find("velto14.bmk"), std::string::npos);
}

TEST(CommandLine, ExportsAnImportedLawAloneAndNamesThePagesItCannotWrite)
{
    TempDir program;
    TempDir scratch;
    velto::test::build_fixture_db(program.file("VT2014.m88"),
                                  {velto::test::standard_fixture_sql(),
                                   "DELETE FROM T_法 WHERE ID_HN <> '01A'; DELETE FROM T_他; DELETE FROM T_条 WHERE ID_FN "
                                   "NOT IN ('01A-00010000-00', '01A-00020000-00', '01A-00020000-01');"});
    const std::string common = "--program-dir " + program.path() + " --settings " + scratch.file("s.ini");
    const std::string out = scratch.path() + "export";

    Outcome exported = run_velto(common + " --export-html " + out, scratch);
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.err, "3 pages written, 0 failed (5 of the program's own pages are not in this database)\n");

    // A page whose file cannot be put in place: named, with the system's reason, and no partial file left.
    std::filesystem::remove(out + "/01A-00020000-00.html");
    std::filesystem::create_directories(out + "/01A-00020000-00.html/in-the-way");
    exported = run_velto(common + " --export-html " + out, scratch);
    EXPECT_EQ(exported.status, 1);
    EXPECT_EQ(exported.err.rfind("velto: 01A-00020000-00.html not written: ", 0), 0u) << exported.err;
    EXPECT_NE(exported.err.find("\n2 pages written, 1 failed"), std::string::npos) << exported.err;
    EXPECT_FALSE(std::filesystem::exists(out + "/01A-00020000-00.html.part"));
    std::filesystem::remove_all(out + "/01A-00020000-00.html");

    // Links planted in the folder by someone who may write it are replaced,
    // never written through; every page carries the reader's policy first.
    const std::string victim = scratch.file("victim");
    velto::test::write_file(victim, "the victim's file");
    const std::string page = out + "/01A-00010000-00.html";
    std::filesystem::remove(page);
    std::filesystem::create_symlink(victim, page);
    std::filesystem::create_symlink(victim, page + ".part");
    exported = run_velto(common + " --export-html " + out, scratch);
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(velto::test::read_file(victim), "the victim's file");
    EXPECT_FALSE(std::filesystem::is_symlink(page));
    for (const char* id : {"01A-00010000-00", "01A-00020000-00", "01A-00020000-01"})
        EXPECT_EQ(velto::test::read_file(out + "/" + id + ".html").rfind(velto::content_policy_meta() + "<html>", 0), 0u)
            << id;
}

TEST(CommandLine, PrintsNoControlCharacterOfTheDatabase)
{
    TempDir program;
    TempDir scratch;
    // ESC ] 0 ; ... BEL retitles a terminal; BS rewrites what was printed.
    velto::test::build_fixture_db(
        program.file("VT2014.m88"),
        {velto::test::standard_fixture_sql(),
         "UPDATE T_法 SET 法名一般 = '建築' || char(27) || ']0;pwned' || char(7) || '基準法' WHERE ID_HN = '01A';"
         "UPDATE T_条 SET 条名 = '目' || char(8) || char(8) || '的' WHERE ID_FN = '01A-00010000-00';"});
    const std::string common = "--program-dir " + program.path() + " --settings " + scratch.file("s.ini");
    for (const char* verb : {" --caption 01A-00010000-00", " --tree", " --list 01A", " --html 01A-00010000-00"}) {
        const Outcome r = run_velto(common + verb, scratch);
        EXPECT_EQ(r.status, 0) << verb << r.err;
        EXPECT_NE(r.out.find("建築"), std::string::npos) << verb;
        for (const char control : {'\x1b', '\x07', '\x08'})
            EXPECT_EQ(r.out.find(control), std::string::npos) << verb;
    }
}

TEST(CommandLine, SearchesTheFullTextAsTheSearchTabDoes)
{
    TempDir program;
    TempDir scratch;
    velto::test::build_fixture_db(program.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
    const std::string common = "--program-dir " + program.path() + " --settings " + scratch.file("s.ini") + " --search ";
    struct Case {
        const char* text;
        int status;
        const char* out;
        const char* err;
    };
    const Case cases[] = {
        {"'建築'", 0,
         "01A-00020000-00\t建築基準法\t2条\n01A-00020000-01\t建築基準法\t2条\n"
         "01A-00060200-00\t建築基準法\t6条の2\n3件見つかりました。\n",
         ""},
        {"' 適用　除外 '", 0, "01A-00030000-00\t建築基準法\t3条 (P.01/03)\n1件見つかりました。\n", ""},
        {"'ｘｙｚ'", 0, "見つかりませんでした。\n", ""},
        {"'a b c d'", 1, "", "検索できる単語は３個までです。\n"},
        {"'　'", 1, "", "検索する語句を入力して下さい。\n"},
        {"\"構造'\"", 1, "", "次の文字が含まれる語句は検索できません。\n\n[  ]  <  >  \"  '  !  ?  |  :  ;  \\  #  $  &  ^  ~  \n"},
    };
    for (const Case& c : cases) {
        const Outcome r = run_velto(common + c.text, scratch);
        EXPECT_EQ(r.status, c.status) << c.text;
        EXPECT_EQ(r.out, c.out) << c.text;
        EXPECT_EQ(r.err, c.err) << c.text;
    }
}

TEST(CommandLine, DiffListsWhatChangedBetweenTwoEditionsAndRefusesOthers)
{
    TempDir scratch;
    const std::string folder = "--program-dir " + std::string(VELTO_BINARY_DIR) + "/ --settings " + scratch.file("s.ini");
    Outcome list = run_velto(folder + " --diff 01B 2023-05-26 2025-12-01", scratch);
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find("追加\t01B-01080300-00\t\t第108条の3\n移動\t01B-01080400-00\t01B-01080300-00\t第108条の4\n"),
              std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("削除\t\t01B-00020300-00\t第2条の3\n"), std::string::npos);
    EXPECT_EQ(list.out.find("01B-00010000-00"), std::string::npos); // 第1条 is as it was

    Outcome article = run_velto(folder + " --diff 01B-01080400-00 2023-05-26 2025-12-01", scratch);
    EXPECT_EQ(article.status, 0) << article.err;
    EXPECT_NE(article.out.find("\n［第108条の4］\t［第108条の3］\n"), std::string::npos) << article.out;
    EXPECT_NE(article.out.find("技術的基準は、［特定］主要構造部が"), std::string::npos);

    Outcome missing = run_velto(folder + " --diff 建築基準法施行令 2024-01-01 2025-12-01", scratch);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("収録している版: 2020-04-01、2023-05-26、2025-12-01（現行）"), std::string::npos) << missing.err;
    Outcome twice = run_velto(folder + " --diff 01A 2023-06-16 2023-06-16", scratch);
    EXPECT_EQ(twice.status, 1);
    EXPECT_NE(twice.err.find("同じ版"), std::string::npos) << twice.err;
    // A subject with terminal controls is quoted without them; a subject without its dates is a usage error.
    Outcome crafted = run_velto(folder + " --diff '法\x1b]0;x\x07' 2024-01-01 2025-12-01", scratch);
    EXPECT_EQ(crafted.status, 1);
    EXPECT_NE(crafted.err.find("法令「法]0;x」は収録されていません"), std::string::npos) << crafted.err;
    Outcome incomplete = run_velto(folder + " --diff 01B 2023-05-26", scratch);
    EXPECT_EQ(incomplete.status, 1);
    EXPECT_EQ(incomplete.err.rfind("velto: --diff needs a law or page and two dates\n", 0), 0u) << incomplete.err;
}
