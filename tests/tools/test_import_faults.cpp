// velto-import: bad input, and the database written whole or not at all.
#include "core/database.h"
#include "core/identifiers.h"
#include "compose/velto_doc.h"
#include "tests/fixtures.h"
#include "tests/tools/import_fixture.h"
#include "tools/dbbuild/file_replacement.h"
#include "tools/import/importer.h"
#include "tools/import/references.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <sqlite3.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

using namespace velto;
using namespace velto::import;
using velto::test::TempDir;
using namespace velto::test;

// --- bad input ---

namespace {

struct BadInput {
    const char* name;
    std::string bytes;
    std::vector<std::string> message; // parts the message must hold
};

std::vector<BadInput> bad_inputs()
{
    const std::string json = api_json(kLaw);
    return {
        {"not XML or JSON", "Law: 試験法\n", {"law.in", "neither law XML nor law JSON"}},
        {"empty", "", {"law.in", "empty"}},
        {"truncated XML", kLaw.substr(0, kLaw.size() / 2), {"law.in", "line", "not well-formed XML"}},
        {"truncated JSON", json.substr(0, json.size() / 2), {"law.in", "line", "not valid JSON"}},
        {"foreign root", "<Gesetz><Titel/></Gesetz>", {"root element is Gesetz"}},
        {"not UTF-8", replaced(kLaw, "違反建築物", "違反\xff建築物"), {"law.in", "line 34, column 115", "not UTF-8"}},
        {"no MainProvision",
         replaced(replaced(kLaw, "<MainProvision>", "<Preamble>"), "</MainProvision>", "</Preamble>"),
         {"Law/LawBody", "no MainProvision"}},
        {"unknown element", replaced(kLaw, "違反建築物に対する措置", "違反<Foo>建築物</Foo>"),
         {"Article[9]/Paragraph[1]/ParagraphSentence/Sentence/Foo", "line 34", "unknown element <Foo>"}},
        {"chapter number", replaced(kLaw, "<Chapter Num=\"4_2\">", "<Chapter Num=\"100\">"),
         {"MainProvision/Chapter[100]", "two digits"}},
        {"article number", replaced(kLaw, "<Article Num=\"9\">", "<Article Num=\"10000\">"),
         {"Article[10000]", "four digits"}},
        {"item number", replaced(kLaw, "<Item Num=\"1_2\">", "<Item Num=\"100\">"),
         {"Article[2]/Paragraph[1]/Item[100]", "two digits"}},
        {"article twice", replaced(kLaw, "<Article Num=\"17:18\">", "<Article Num=\"9\">"),
         {"Section[1]/Article[9]", "a second article 01A-00090000-00"}},
        {"article number that is no number", replaced(kLaw, "<Article Num=\"9\">", "<Article Num=\"九\">"),
         {"Article[九]", "not a number"}},
        {"NUL escaped in JSON", replaced(json, "違反建築物", "違反\\u0000建築物"), {"law.in", "Sentence", "a NUL character"}},
        {"NUL in a JSON attribute", replaced(json, "\"Num\": \"9\"", "\"Num\": \"9\\u0000\""), {"law.in", "a NUL character"}},
        {"NUL byte", replaced(json, "違反建築物", std::string("違反\0建築物", 16)), {"law.in", "line", "a NUL character"}},
        {"NUL reference in XML", replaced(kLaw, "違反建築物", "違反&#0;建築物"), {"law.in", "line 34"}},
    };
}

std::string outcome_of(const std::string& input, const std::string& database)
{
    ImportOptions options;
    options.database = database;
    options.input = input;
    options.law_id = "01A";
    ImportSummary summary;
    std::string error;
    EXPECT_FALSE(import_law(options, summary, error));
    return error;
}

int run_import(const std::string& args, const TempDir& scratch, std::string& err)
{
    const std::string command =
        std::string(VELTO_BINARY_DIR) + "/velto-import " + args + " >" + scratch.file("out") + " 2>" + scratch.file("err");
    const int raw = std::system(command.c_str());
    err = velto::test::read_file(scratch.file("err"));
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

} // namespace

TEST(ImportBadInput, FailsWithThePlaceAndLeavesTheDatabaseAsItWas)
{
    TempDir dir;
    const std::string existing = dir.file("VT2014.m88");
    velto::test::build_fixture_db(existing, {velto::test::standard_fixture_sql()});
    velto::test::write_file(dir.file("good.xml"), kLaw);
    ImportOptions good{existing, dir.file("good.xml"), "01A", {}, 60, {}};
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law(good, summary, error)) << error;
    const std::string before = velto::test::read_file(existing);

    const std::string input = dir.file("law.in");
    for (const BadInput& bad : bad_inputs()) {
        SCOPED_TRACE(bad.name);
        velto::test::write_file(input, bad.bytes);
        for (const std::string& message : {outcome_of(input, existing), outcome_of(input, dir.file("new.m88"))})
            for (const std::string& part : bad.message)
                EXPECT_NE(message.find(part), std::string::npos) << "\"" << part << "\" not in: " << message;
        EXPECT_EQ(velto::test::read_file(existing), before);
        EXPECT_FALSE(std::filesystem::exists(dir.file("new.m88")));
        EXPECT_FALSE(std::filesystem::exists(dir.file("new.m88.importing")));
    }
    EXPECT_NE(outcome_of(dir.file("missing.xml"), existing).find("missing.xml: no such file"), std::string::npos);
}

TEST(ImportBadInput, TheCommandLineSaysWhatFailed)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::build_fixture_db(db, {velto::test::standard_fixture_sql()});
    const std::string before = velto::test::read_file(db);
    velto::test::write_file(dir.file("bad.xml"), replaced(kLaw, "<Chapter Num=\"4_2\">", "<Chapter Num=\"100\">"));
    std::string err;
    EXPECT_EQ(run_import("--db " + db + " --law-id 01A " + dir.file("bad.xml"), dir, err), 1);
    EXPECT_NE(err.find("bad.xml: Law/LawBody/MainProvision/Chapter[100]"), std::string::npos) << err;
    EXPECT_NE(err.find("the database is unchanged"), std::string::npos) << err;
    EXPECT_EQ(velto::test::read_file(db), before);

    velto::test::write_file(dir.file("good.xml"), kLaw);
    EXPECT_EQ(run_import("--db " + db + " --law-id 1A " + dir.file("good.xml"), dir, err), 2);
    EXPECT_NE(err.find("--law-id \"1A\""), std::string::npos) << err;
    EXPECT_EQ(run_import("--db " + db + " --law-id 01B --refer 法 " + dir.file("good.xml"), dir, err), 2);
    EXPECT_EQ(run_import("--db " + db + " --law-id 01B --large x " + dir.file("good.xml"), dir, err), 2);
    EXPECT_EQ(velto::test::read_file(db), before);

    // A file that is no law database is not touched either.
    velto::test::write_file(dir.file("notes.txt"), "notes");
    EXPECT_EQ(run_import("--db " + dir.file("notes.txt") + " --law-id 01B " + dir.file("good.xml"), dir, err), 1);
    EXPECT_NE(err.find("notes.txt"), std::string::npos) << err;
    EXPECT_EQ(velto::test::read_file(dir.file("notes.txt")), "notes");
}

TEST(ImportBadInput, ReferTakesAPlainWordAndALawIdentifier)
{
    const std::vector<std::pair<std::pair<std::string, std::string>, bool>> cases = {
        {{"法", "01A"}, true},       {{"規則", "01c"}, true},      {{"", "01A"}, false},
        {{"[法]", "01A"}, false},    {{"法'", "01A"}, false},      {{"法\"", "01A"}, false},
        {{"a=b", "01A"}, false},     {{"法　令", "01A"}, false},   {{"法 令", "01A"}, false},
        {{"「法」", "01A"}, false},  {{"（法）", "01A"}, false},   {{"法<", "01A"}, false},
        {{"法\n", "01A"}, false},    {{"一二三四五六七八九十", "01A"}, true},
        {{"一二三四五六七八九十一", "01A"}, false},                 {{"法", "01A=x"}, false},
        {{"法", "0'1"}, false},      {{"\xff", "01A"}, false},
    };
    for (const auto& [refer, sane] : cases) {
        ImportOptions options{"db", "in", "01B", {}, 60, {refer}};
        std::string error;
        EXPECT_EQ(check_options(options, error), sane) << refer.first << "=" << refer.second;
        if (!sane)
            EXPECT_NE(error.find("--refer"), std::string::npos) << error;
    }
    TempDir dir;
    velto::test::write_file(dir.file("law.xml"), kLaw);
    std::string err;
    EXPECT_EQ(run_import("--db " + dir.file("db") + " --law-id 01B --refer 法=01A=01B " + dir.file("law.xml"), dir, err), 2);
    EXPECT_NE(err.find("ALIAS=HHH"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("db")));
}

TEST(ImportBadInput, OnlyRegularFilesAreRead)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::write_file(dir.file("law.xml"), kLaw);
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder"));
    for (const std::string& input : {dir.file("fifo"), std::string("/dev/zero"), dir.file("folder")}) {
        const std::string error = outcome_of(input, db);
        EXPECT_NE(error.find(input + ": "), std::string::npos) << error;
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    for (const std::string& database : {dir.file("fifo"), dir.file("folder")}) {
        ImportSummary summary;
        std::string error;
        EXPECT_FALSE(import_law({database, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error));
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(db));
}

// --- the database ---

TEST(ImportDatabase, ReimportReplacesTheLawAndKeepsTheOthers)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::build_fixture_db(db, {velto::test::standard_fixture_sql()});
    velto::test::write_file(dir.file("law.xml"), kLaw);
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law({db, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_EQ(summary.articles, 5);

    EXPECT_EQ(ids_in(db, "SELECT ID_FN AS id FROM T_条 WHERE LEFT(ID_FN, 3) = '01A' ORDER BY ID_FN"),
              (std::vector<std::string>{"01A-00010000-00", "01A-00020000-00", "01A-00060200-00", "01A-00090000-00",
                                        "01A-00170000-00", "01A-F0000000-00", "01A-F0000000-01", "01A-T0020000-00"}));
    EXPECT_EQ(ids_in(db, "SELECT 法名一般 AS id FROM T_法 ORDER BY ID_HN"),
              (std::vector<std::string>{"ヴェルト", "試験法", "建築基準法施行令", "告示"}));
    // The fixture's own rows of 01A are gone, those of the other laws stay.
    EXPECT_TRUE(ids_in(db, "SELECT ID_BN AS id FROM T_参").empty());
    EXPECT_EQ(ids_in(db, "SELECT ID_FN AS id FROM T_条 WHERE LEFT(ID_FN, 3) <> '01A' ORDER BY ID_FN"),
              (std::vector<std::string>{"00A-Z0010000-00", "01B-00010000-00", "02K-KD180543-00", "02K-KD180543-01"}));
    EXPECT_EQ(ids_in(db, "SELECT ID_FN AS id FROM T_告").size(), 1u);
    EXPECT_EQ(ids_in(db, "SELECT ID_BN AS id FROM T_表 ORDER BY ID_BN"),
              (std::vector<std::string>{"01A-00060200-00-0100-0000-0000-0000", "01A-T0020000-00-0000-0000-0000-0000"}));

    // Once more without 第九条: its page and sentences go.
    velto::test::write_file(dir.file("law.xml"),
                            replaced(kLaw, "<Article Num=\"9\"><ArticleTitle>第九条</ArticleTitle>", "<Article Num=\"10\"><ArticleTitle>第十条</ArticleTitle>"));
    ASSERT_TRUE(import_law({db, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_TRUE(ids_in(db, "SELECT ID_BN AS id FROM T_文 WHERE ID_BN LIKE '01A-0009%'").empty());
    EXPECT_EQ(ids_in(db, "SELECT ID_BN AS id FROM T_文 WHERE ID_BN LIKE '01A-0010%'").size(), 1u);
    // Citations follow the articles the law now has.
    EXPECT_EQ(citations_in(db, "01A-00010000-00-0100-0000-0000-0000"),
              (std::vector<std::string>{"第六条の二 01A-00060200-00", "第九条 (存在しない規定)", "第八条 (存在しない規定)"}));
}

TEST(ImportDatabase, CreatesAMissingDatabaseThatTheReaderOpens)
{
    TempDir dir;
    velto::test::write_file(dir.file("law.json"), api_json(kLaw));
    ImportSummary summary;
    std::string error;
    const std::string db = dir.file("new.m88");
    ASSERT_TRUE(import_law({db, dir.file("law.json"), "01A", {}, 60, {}}, summary, error)) << error;
    Database reader;
    reader.open("Data Source=" + db + ";", "admin", "");
    auto rs = reader.execute("SELECT * FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND  T_条.[表示] = YES "
                             "AND  T_法.[表示] = YES ORDER BY [ID_FN]");
    int pages = 0;
    for (; !rs->eof(); rs->move_next())
        ++pages;
    EXPECT_EQ(pages, 8);
}

namespace {

// What a reader finds in the database: the name of law 01A and whether the
// file is sound; "(none)" when there is no file.
std::string reader_view(const std::string& path)
{
    if (!std::filesystem::exists(path))
        return "(none)";
    sqlite3* db = nullptr;
    std::string seen;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT 法名一般 FROM T_法 WHERE ID_HN = '01A'", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            seen = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            seen += std::string(" ") + reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    // The reader's own connection opens it too.
    try {
        Database reader;
        reader.open("Data Source=" + path + ";", "admin", "");
    } catch (const ComponentError& e) {
        seen += " (the reader cannot open it: " + e.description.value_or("") + ")";
    }
    return seen;
}

} // namespace

TEST(ImportDatabase, AKilledImportLeavesADatabaseTheReaderOpens)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    const std::string law = VELTO_BINARY_DIR "/official/building_act.json";
    velto::test::write_file(dir.file("small.xml"), kLaw);
    const auto start_from_small = [&] {
        std::filesystem::remove(db);
        ImportSummary summary;
        std::string error;
        ASSERT_TRUE(import_law({db, dir.file("small.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    };
    char* const argv[] = {const_cast<char*>(VELTO_BINARY_DIR "/velto-import"), const_cast<char*>("--db"),
                          const_cast<char*>(db.c_str()), const_cast<char*>("--law-id"), const_cast<char*>("01A"),
                          const_cast<char*>(law.c_str()), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto spawn = [&] {
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &quiet, nullptr, argv, environ), 0);
        return pid;
    };

    // How long a whole import takes here: the kills fall anywhere in it.
    start_from_small();
    const auto begin = std::chrono::steady_clock::now();
    int status = 0;
    ASSERT_EQ(waitpid(spawn(), &status, 0) > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begin);
    ASSERT_EQ(reader_view(db), "建築基準法 ok");

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, whole.count() * 6 / 5);
    std::map<std::string, int> seen;
    for (int round = 0; round < 16; ++round) {
        const bool fresh = round % 4 == 0; // no database yet: the import creates it
        if (fresh)
            std::filesystem::remove(db);
        else
            start_from_small();
        const pid_t pid = spawn();
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        const std::string view = reader_view(db);
        ++seen[view];
        if (fresh)
            EXPECT_TRUE(view == "(none)" || view == "建築基準法 ok") << "round " << round << ": " << view;
        else
            EXPECT_TRUE(view == "試験法 ok" || view == "建築基準法 ok") << "round " << round << ": " << view;
        EXPECT_FALSE(std::filesystem::exists(db + "-journal")) << "round " << round;
    }
    posix_spawn_file_actions_destroy(&quiet);
    std::string outcomes;
    for (const auto& [view, count] : seen)
        outcomes += view + " x" + std::to_string(count) + "; ";
    RecordProperty("outcomes", outcomes);

    // What a killed run left beside the database is taken over by the next one.
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law({db, dir.file("small.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_EQ(reader_view(db), "試験法 ok");
    EXPECT_FALSE(std::filesystem::exists(db + ".importing"));
}

TEST(ImportDatabase, StoresWhichRevisionOfTheLawItHolds)
{
    const auto answer = [](const QJsonObject& law_info, const QJsonObject& revision_info) {
        QJsonObject answer = QJsonDocument::fromJson(QByteArray::fromStdString(api_json(kLaw))).object();
        answer["law_info"] = law_info;
        answer["revision_info"] = revision_info;
        return QJsonDocument(answer).toJson().toStdString();
    };
    struct Case {
        const char* file;
        std::string bytes;
        std::string row; // 題名|法令番号|法令ID|版ID|施行日|改正法令番号|出典
    };
    const std::vector<Case> cases = {
        {"act.json",
         answer({{"law_id", "325AC0000000201"}, {"law_num", "昭和二十五年法律第二百一号"}},
                {{"law_revision_id", "325AC0000000201_20251201_507AC0000000035"},
                 {"amendment_enforcement_date", "2025-12-01"},
                 {"amendment_law_num", "令和七年法律第三十五号"}}),
         "試験法|昭和二十五年法律第二百一号|325AC0000000201|325AC0000000201_20251201_507AC0000000035|2025-12-01|"
         "令和七年法律第三十五号|act.json"},
        {"325AC0000000201_20240401_505AC0000000063.xml", kLaw,
         "試験法|昭和二十五年法律第二百一号|325AC0000000201|325AC0000000201_20240401_505AC0000000063|2024-04-01||"
         "325AC0000000201_20240401_505AC0000000063.xml"},
        {"law.xml", kLaw, "試験法|昭和二十五年法律第二百一号|||||law.xml"},
        // Facts not of their form are left out, not stored.
        {"odd.json",
         answer({{"law_id", "325AC'0201"}}, {{"law_revision_id", 7}, {"amendment_enforcement_date", "2025-12-01<b>"},
                                               {"amendment_law_num", "令和<b>七年"}}),
         "試験法|昭和二十五年法律第二百一号|||||odd.json"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        velto::test::write_file(dir.file(c.file), c.bytes);
        ImportSummary summary;
        std::string error;
        ASSERT_TRUE(import_law({dir.file("VT2014.m88"), dir.file(c.file), "01A", {}, 60, {}}, summary, error)) << error;
        EXPECT_EQ(ids_in(dir.file("VT2014.m88"), "SELECT 題名 || '|' || 法令番号 || '|' || 法令ID || '|' || 版ID || '|' || 施行日 "
                                                 "|| '|' || 改正法令番号 || '|' || 出典 AS id FROM T_版"),
                  std::vector<std::string>{c.row});
    }
}

TEST(ImportDatabase, ADatabaseInWalModeComesBackInRollbackMode)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::build_fixture_db(db, {velto::test::standard_fixture_sql()});
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode = WAL; UPDATE T_法 SET 法名略式 = 'wal' WHERE ID_HN = '02K'", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    ASSERT_EQ(velto::test::read_file(db).substr(18, 2), std::string("\2\2", 2));

    velto::test::write_file(dir.file("law.xml"), kLaw);
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law({db, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_EQ(velto::test::read_file(db).substr(18, 2), std::string("\1\1", 2)) << "the file format bytes of a rollback journal";
    EXPECT_EQ(ids_in(db, "SELECT 法名略式 AS id FROM T_法 WHERE ID_HN = '02K'"), std::vector<std::string>{"wal"});
    for (const char* beside : {"-wal", "-shm", "-journal", ".importing"})
        EXPECT_FALSE(std::filesystem::exists(db + beside)) << beside;
}

TEST(ImportDatabase, AnotherImportIntoTheSameDatabaseIsRefusedWhileOneRuns)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    velto::test::write_file(dir.file("law.xml"), kLaw);
    velto::FileReplacement running;
    std::string error;
    ASSERT_TRUE(running.begin(db, ".importing", error)) << error;
    ImportSummary summary;
    EXPECT_FALSE(import_law({db, dir.file("law.xml"), "01A", {}, 60, {}}, summary, error));
    EXPECT_NE(error.find("another program is writing this database"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(db));
}

TEST(ImportBadInput, ControlCharactersAreLeftOutAndCountedAndImpossibleDatesRefused)
{
    TempDir dir;
    const std::string db = dir.file("VT2014.m88");
    // ESC ] 0 ; ... BEL retitles a terminal, BS rewrites it: 5 in all, tab and line feed stay.
    std::string json = replaced(api_json(kLaw), "違反建築物", "違反\\u001b]0;x\\u0007建\\t築\\b物");
    json = replaced(json, "試験法", "試\\u0001験法");
    json = replaced(json, "\"Num\": \"9\"", "\"Num\": \"9\\u001b\"");
    velto::test::write_file(dir.file("law.json"), json);
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(import_law({db, dir.file("law.json"), "01A", {}, 60, {}}, summary, error)) << error;
    EXPECT_NE(std::find(summary.notes.begin(), summary.notes.end(),
                        "5 control characters (other than tab and line feed) left out of the text"),
              summary.notes.end())
        << ::testing::PrintToString(summary.notes);
    EXPECT_EQ(ids_in(db, "SELECT 法名一般 AS id FROM T_法"), std::vector<std::string>{"試験法"});
    EXPECT_EQ(ids_in(db, "SELECT ID_BN AS id FROM T_文 WHERE instr(法文, char(27)) OR instr(法文, char(7)) OR "
                         "instr(法文, char(8)) OR instr(法文, '建\t築物') = 0 AND instr(法文, '違反') > 0"),
              std::vector<std::string>{});

    // 施行日 that no calendar has, from the answer or from the file name.
    const auto with_date = [&](const char* date) {
        QJsonObject answer = QJsonDocument::fromJson(QByteArray::fromStdString(api_json(kLaw))).object();
        answer["revision_info"] = QJsonObject{{"amendment_enforcement_date", date}};
        return QJsonDocument(answer).toJson().toStdString();
    };
    const struct {
        std::string file;
        std::string bytes;
        std::string error; // empty: imported
    } cases[] = {
        {"a.json", with_date("2025-13-45"), "a.json: revision_info/amendment_enforcement_date: 2025-13-45 is no date"},
        {"b.json", with_date("2025-02-29"), "b.json: revision_info/amendment_enforcement_date: 2025-02-29 is no date"},
        {"c.json", with_date("2024-02-29"), ""},
        {"325AC0000000201_20251345_505AC0000000063.xml", kLaw,
         "325AC0000000201_20251345_505AC0000000063.xml: the file name 325AC0000000201_20251345_505AC0000000063.xml: "
         "20251345 is no date"},
    };
    for (const auto& c : cases) {
        velto::test::write_file(dir.file(c.file), c.bytes);
        error.clear();
        EXPECT_EQ(import_law({db, dir.file(c.file), "01A", {}, 60, {}}, summary, error), c.error.empty()) << c.file;
        EXPECT_TRUE(error.ends_with(c.error)) << error;
    }
}
