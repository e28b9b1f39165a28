// velto-update against a local stand-in of the law API: each command on real
// law texts, and each fault ending with exit status 1, a message naming the
// law and the status, and the database byte for byte as it was.
#include "catalog/law_family.h"
#include "tests/fixtures.h"
#include "tests/tools/import_fixture.h"
#include "tests/tools/law_api_server.h"
#include "tools/import/importer.h"
#include "tools/update/api_address.h"
#include "tools/update/law_codes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

using namespace velto;
using namespace velto::test;
using Answer = LawApiServer::Answer;
using Behaviour = LawApiServer::Behaviour;

namespace {

constexpr char kAct2019[] = "collection/code4sabae_laws-jp/data/laws/325AC0000000201_20191201_501AC0000000037.xml";
constexpr char kAct2026[] =
    "collection/aluqas_gitlaw-jp/5bafb5812e9594ba878ad2dbbb1cbf8e54e4d532/laws/325/325AC0000000201/current.xml";
constexpr char kAct2026Id[] = "325AC0000000201_20260401_507AC0000000068";
constexpr char kActNum[] = "昭和二十五年法律第二百一号";
constexpr char kSeismic2019[] = "collection/code4sabae_laws-jp/data/laws/407AC0000000123_20190626_430AC0000000067.xml";
constexpr char kSeismic2025[] =
    "collection/aluqas_gitlaw-jp/73fd054496f03a21672e1c6c8ced27eca5f49653/laws/407/407AC0000000123/current.xml";
constexpr char kQuality[] = "collection/code4sabae_laws-jp/data/laws/412CO0000000064_20150801_000000000000000.xml";
constexpr char kOrder[] = "collection/code4sabae_laws-jp/data/laws/325CO0000000338_20200401_501CO0000000181.xml";
constexpr char kFireAct[] = "collection/code4sabae_laws-jp/data/laws/323AC1000000186_20190701_430AC0000000033.xml";
constexpr char kProcedure[] = "xml/405AC0000000088_20240401_504AC0100000052.xml";

const std::string kActFile = std::string("/law_file/xml/") + kAct2026Id;

// A database of three laws in old texts: 建築基準法 of 2019-12-01 (01A), the
// 耐震改修促進法 of 2019-06-26 (11A) and the 品確法施行令 of 2015 (12B), made once.
const std::string& base_database()
{
    static TempDir dir;
    static const std::string path = [] {
        const std::string db = dir.file("VT2014.m88");
        for (const auto& [code, file] : {std::pair{"01A", kAct2019}, {"11A", kSeismic2019}, {"12B", kQuality}}) {
            import::ImportOptions options;
            options.database = db;
            options.input = std::string(VELTO_SHARED_DIR) + "/data/egov/" + file;
            options.law_id = code;
            import::ImportSummary summary;
            std::string error;
            EXPECT_TRUE(import::import_law(options, summary, error)) << error;
        }
        return db;
    }();
    return path;
}

Answer xml(const std::string& file) { return {200, "application/xml", egov_file(file)}; }

class UpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy_file(base_database(), db_);
        server_.answer("/law_revisions/325AC0000000201",
                       {200, "application/json",
                        LawApiServer::revisions_json("325AC0000000201", kActNum, "建築基準法",
                                                     {std::string(kAct2026Id) + " CurrentEnforced",
                                                      "325AC0000000201_20251201_507AC0000000035 PreviousEnforced",
                                                      "325AC0000000201_20191201_501AC0000000037 PreviousEnforced"})});
        server_.answer(kActFile, xml(kAct2026));
        server_.answer("/law_revisions/407AC0000000123",
                       {200, "application/json",
                        LawApiServer::revisions_json("407AC0000000123", "平成七年法律第百二十三号",
                                                     "建築物の耐震改修の促進に関する法律",
                                                     {"407AC0000000123_20260401_507AC0000000047 UnEnforced",
                                                      "407AC0000000123_20250530_507AC0000000047 CurrentEnforced",
                                                      "407AC0000000123_20190626_430AC0000000067 PreviousEnforced"})});
        server_.answer("/law_file/xml/407AC0000000123_20250530_507AC0000000047", xml(kSeismic2025));
        server_.answer("/law_revisions/412CO0000000064",
                       {200, "application/json",
                        LawApiServer::revisions_json("412CO0000000064", "平成十二年政令第六十四号",
                                                     "住宅の品質確保の促進等に関する法律施行令",
                                                     {"412CO0000000064_20150801_000000000000000 CurrentEnforced"})});
        before_ = read_file(db_);
    }

    ToolRun update(const std::string& args, const std::string& api = {})
    {
        return run_tool(std::string(VELTO_BINARY_DIR) + "/velto-update",
                        "--api " + (api.empty() ? server_.api() : api) + " --db " + db_ + " " + args, dir_);
    }
    std::string current_revision(const std::string& law)
    {
        const auto ids = ids_in(db_, "SELECT 版ID AS id FROM T_版 WHERE ID_HN = '" + law + "'");
        return ids.empty() ? std::string() : ids.front();
    }

    TempDir dir_;
    const std::string db_ = dir_.file("VT2014.m88");
    LawApiServer server_;
    std::string before_;
};

} // namespace

// --- the commands ---

TEST_F(UpdateTest, CheckListsEveryLawWithTheEditionInForceAndTouchesNothing)
{
    const ToolRun run = update("--check");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "01A\t建築基準法\t2019-12-01\t2026-04-01\t新しい版があります\n"
                       "11A\t建築物の耐震改修の促進に関する法律\t2019-06-26\t2025-05-30\t新しい版があります\t"
                       "未施行の改正があります（2026-04-01施行）\n"
                       "12B\t住宅の品質確保の促進等に関する法律施行令\t2015-08-01\t2015-08-01\t最新です\n");
    // Progress for every request, then the summary.
    EXPECT_NE(run.err.find("01A 建築基準法: /law_revisions/325AC0000000201: 200, "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("3 laws checked, 2 with a newer edition; 3 requests"), std::string::npos) << run.err;
    EXPECT_EQ(read_file(db_), before_);
    EXPECT_EQ(server_.requests().size(), 3u);
}

TEST_F(UpdateTest, UpdateReplacesTheTextAndKeepsTheReplacedEdition)
{
    const ToolRun run = update("--update 01A");
    ASSERT_EQ(run.status, 0) << run.err;
    // As 改正比較 counts the two official files: 第六十条の二の二 came,
    // 第七十七条の五十九の二 went, 82 others read differently and 4 kept their
    // words under another number.
    EXPECT_EQ(run.out, "01A\t建築基準法\t2019-12-01\t2026-04-01\t追加 1件、削除 1件、改正 82件、移動 4件\n");
    EXPECT_EQ(current_revision("01A"), kAct2026Id);
    EXPECT_EQ(ids_in(db_, "SELECT 版ID AS id FROM T_旧版 WHERE ID_HN = '01A'"),
              std::vector<std::string>{"325AC0000000201_20191201_501AC0000000037"});
    EXPECT_EQ(current_revision("11A"), "407AC0000000123_20190626_430AC0000000067"); // not named: not touched
    // Only the two requests of the law named.
    EXPECT_EQ(server_.requests(), (std::vector<std::string>{"/law_revisions/325AC0000000201", kActFile}));
}

TEST_F(UpdateTest, UpdateWithoutCodesTakesEveryLawWithANewerEditionInOneWrite)
{
    // A redirect on the same host is followed.
    server_.answer(kActFile, {302, "text/html", "", Behaviour::Answer, server_.api() + kActFile + "?again"});
    server_.answer(kActFile + "?again", xml(kAct2026));
    const ToolRun run = update("--update");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(current_revision("01A"), kAct2026Id);
    EXPECT_EQ(current_revision("11A"), "407AC0000000123_20250530_507AC0000000047");
    EXPECT_EQ(current_revision("12B"), "412CO0000000064_20150801_000000000000000");
    EXPECT_NE(run.out.find("11A\t建築物の耐震改修の促進に関する法律\t2019-06-26\t2025-05-30\t追加 "), std::string::npos);
    EXPECT_EQ(run.out.find("12B"), std::string::npos) << "a law in its edition in force is left alone";
    // Nothing newer any more.
    const ToolRun again = update("--update");
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_NE(again.err.find("none to update"), std::string::npos);
}

TEST_F(UpdateTest, AddPlacesALawInItsFamilyOrANewOne)
{
    server_.answer("/laws?law_title=建築基準法施行令",
                   {200, "application/json",
                    R"({"laws":[{"law_info":{"law_id":"325CO0000000338","law_num":"昭和二十五年政令第三百三十八号"},
                                  "revision_info":{"law_title":"建築基準法施行令"}},
                                 {"law_info":{"law_id":"999CO0000000001","law_num":"x"},
                                  "revision_info":{"law_title":"建築基準法施行令の特例に関する政令"}}]})"});
    server_.answer("/law_revisions/325CO0000000338",
                   {200, "application/json",
                    LawApiServer::revisions_json("325CO0000000338", "昭和二十五年政令第三百三十八号", "建築基準法施行令",
                                                 {"325CO0000000338_20200401_501CO0000000181 CurrentEnforced"})});
    server_.answer("/law_file/xml/325CO0000000338_20200401_501CO0000000181", xml(kOrder));
    server_.answer("/law_revisions/405AC0000000088",
                   {200, "application/json",
                    LawApiServer::revisions_json("405AC0000000088", "平成五年法律第八十八号", "行政手続法",
                                                 {"405AC0000000088_20240401_504AC0100000052 CurrentEnforced"})});
    server_.answer("/law_file/xml/405AC0000000088_20240401_504AC0100000052", xml(kProcedure));

    struct Case {
        const char* args;
        const char* code;
    } const cases[] = {
        {"--add 建築基準法施行令", "01B"},                  // by title, next to its act
        {"--add 405AC0000000088", "13A"},                  // by law id, a family of its own
        {"--add 405AC0000000088 --law-code 20A", "20A"},   // the code asked for
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        std::filesystem::copy_file(base_database(), db_, std::filesystem::copy_options::overwrite_existing);
        const ToolRun run = update(c.args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.substr(0, 4), std::string(c.code) + "\t");
        EXPECT_NE(run.out.find("追加しました"), std::string::npos);
        EXPECT_FALSE(current_revision(c.code).empty());
    }
    // A law the database has is not added twice.
    const ToolRun twice = update("--add 405AC0000000088");
    EXPECT_EQ(twice.status, 1);
    EXPECT_NE(twice.err.find("in the database already, as 20A 行政手続法"), std::string::npos) << twice.err;
}

TEST(UpdateCodes, AFreeCodeInTheFamily)
{
    LawFamilies families;
    families.add_title("01A", "建築基準法", true);
    families.add_title("01B", "建築基準法施行令", true);
    families.add_title("03A", "消防法", true);
    const std::set<std::string> codes{"00A", "01A", "01B", "01C", "02K", "03A", "10A"};
    struct Case {
        const char* title;
        const char* code;
    } const cases[] = {
        {"消防法施行令", "03B"},
        {"消防法施行規則", "03C"},
        {"建築基準法施行規則", "01D"}, // 01C is taken
        {"建築基準法に基づく指定確認検査機関等に関する省令", "01D"},
        {"都市計画法施行令", "11B"}, // its act is not there: a new family, the order's letter
        {"景観法", "11A"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(update::free_law_code(c.title, codes, families, error), c.code) << c.title << " " << error;
    }
}

// --- faults ---

TEST(UpdateAddress, OnlyHttpsOrThisMachine)
{
    const std::pair<const char*, bool> cases[] = {
        {"https://laws.e-gov.go.jp/api/2", true}, {"http://127.0.0.1:8080/api/2", true},
        {"http://localhost/api", true},           {"http://laws.e-gov.go.jp/api/2", false},
        {"ftp://127.0.0.1/api", false},           {"https://user:pw@laws.e-gov.go.jp/api/2", false},
        {"laws.e-gov.go.jp", false},              {"http://127.0.0.1.example.com/", false},
    };
    for (const auto& [text, accepted] : cases) {
        QUrl base;
        std::string error;
        EXPECT_EQ(update::parse_api_address(text, base, error), accepted) << text << " " << error;
    }
}

TEST_F(UpdateTest, AnAddressRefusedSendsNothing)
{
    const ToolRun run = update("--check", "http://laws.e-gov.go.jp/api/2");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("only https:// is accepted"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(read_file(db_), before_);
}

TEST_F(UpdateTest, EveryFaultEndsWithTheDatabaseAsItWas)
{
    const std::string revisions = "/law_revisions/325AC0000000201";
    const std::string act2026 = egov_file(kAct2026);
    int closed_port = 0;
    {
        const LawApiServer gone;
        closed_port = gone.port();
    }
    struct Fault {
        const char* name;
        std::function<void()> arrange;
        std::vector<std::string> message; // besides the law's name
        std::string args = "--update 01A";
        std::string api = {};
    };
    const std::vector<Fault> faults = {
        // The server's words are quoted without the escape that would retitle the terminal.
        {"HTTP error",
         [&] { server_.answer(kActFile, {500, "application/json", R"({"message":"内部\u001b]0;x\u0007エラー"})"}); },
         {kActFile, "HTTP 500", "内部]0;xエラー"}},
        {"maintenance", [&] { server_.answer(revisions, {403, "text/html", "<html><body>メンテナンス中</body></html>"}); },
         {revisions, "HTTP 403", "maintenance"}},
        {"cut off", [&] { server_.answer(kActFile, {200, "application/xml", act2026, Behaviour::CutOff}); },
         {kActFile, "cut off"}},
        {"malformed answer", [&] { server_.answer(revisions, {200, "application/json", R"({"law_info": {)"}); },
         {revisions, "not JSON"}},
        {"malformed text", [&] { server_.answer(kActFile, {200, "application/xml", act2026.substr(0, 50000)}); },
         {kActFile, "not well-formed"}},
        {"another law's text", [&] { server_.answer(kActFile, xml(kFireAct)); },
         {kActFile, "another law", "消防法", "325AC0000000201"}},
        {"another law id", [&] {
             server_.answer(kActFile, {200, "application/xml", replaced(act2026, "Num=\"201\"", "Num=\"202\"")});
         }, {kActFile, "Num=\"202\"", "325AC0000000201"}},
        {"no answer", [&] { server_.answer(kActFile, {200, "application/xml", "", Behaviour::Silent}); },
         {kActFile, "no answer for 0.5 s"}, "--timeout 0.5 --update 01A"},
        {"no server", [] {}, {"no answer", "refused"}, "--update 01A",
         "http://127.0.0.1:" + std::to_string(closed_port) + "/api/2"},
        {"redirect to another host", [&] {
             server_.answer(kActFile, {302, "text/html", "", Behaviour::Answer,
                                       "http://127.0.0.2:" + std::to_string(server_.port()) + "/api/2" + kActFile});
         }, {kActFile, "another host: not followed"}},
        {"announced over 100 MB", [&] {
             server_.answer(kActFile, {200, "application/xml", act2026, Behaviour::Answer, {}, 200'000'000});
         }, {kActFile, "200000000 bytes, over the limit"}},
        {"over 100 MB", [&] { server_.answer(kActFile, {200, "application/xml", "", Behaviour::Endless}); },
         {kActFile, "passed the limit of 104857600 bytes"}},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        std::filesystem::remove(db_);
        SetUp();
        fault.arrange();
        const ToolRun run = update(fault.args, fault.api);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("01A 建築基準法: "), std::string::npos) << run.err;
        for (const std::string& part : fault.message)
            EXPECT_NE(run.err.find(part), std::string::npos) << part << "\n" << run.err;
        EXPECT_NE(run.err.find("the database is unchanged"), std::string::npos);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.find_first_of("\x1b\x07"), std::string::npos) << run.err;
        EXPECT_TRUE(read_file(db_) == before_) << "the database changed";
    }
}
