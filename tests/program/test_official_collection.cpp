// The reader's own folder against the official collection it is built from
// (data/official/collection.txt): every law in the edition its file is, the
// earlier editions beside it, and as many pages as the official files have
// articles and appended tables; as the database, `velto --version` and the
// pages show them.
#include "catalog/law_editions.h"
#include "compose/velto_doc.h"
#include "settings/settings_store.h"
#include "tests/fixtures.h"
#include "tests/program/official_collection.h"
#include "tests/program/program_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

using namespace velto;
using namespace velto::test;

namespace {

std::string value(Database& db, const std::string& sql)
{
    auto rs = db.execute(sql);
    return rs->eof() ? std::string("(none)") : rs->text("v");
}

int number(Database& db, const std::string& sql) { return std::stoi(value(db, sql)); }

// Article pages (the first page of each) and appended-table pages of law `law`
// among the pages of `table` that `where` selects.
std::string article_pages(const std::string& table, const std::string& law, const std::string& where)
{
    return "SELECT count(*) AS v FROM " + table + " WHERE " + where + " AND ID_FN > '" + law + "-0' AND ID_FN < '" + law +
           "-A' AND substr(ID_FN, 14, 2) = '00'";
}
std::string table_pages(const std::string& table, const std::string& law, const std::string& where)
{
    return "SELECT count(*) AS v FROM " + table + " WHERE " + where + " AND ID_FN >= '" + law + "-T' AND ID_FN < '" + law +
           "-T999' AND substr(ID_FN, 14, 2) = '00'";
}

} // namespace

TEST(OfficialCollection, EveryFileIsInTheDatabaseWithItsEditionAndItsArticles)
{
    const std::vector<OfficialFile>& files = official_collection();
    ASSERT_FALSE(files.empty()) << "the build unpacks the official data into " << kOfficialDir;
    std::set<std::string> laws;
    int earlier = 0;
    auto db = open_db(kProgramDir);
    for (const OfficialFile& f : files) {
        SCOPED_TRACE(f.law + " " + f.file);
        ASSERT_GT(f.main_articles, 0);
        const std::string in_edition = "版ID = '" + f.revision + "'";
        if (f.earlier) {
            ++earlier;
            EXPECT_EQ(value(*db, "SELECT ID_HN || ' ' || 施行日 || ' ' || 題名 AS v FROM T_旧版 WHERE " + in_edition),
                      f.law + " " + f.enforced + " " + f.title.toStdString());
            EXPECT_EQ(number(*db, article_pages("T_旧条", f.law, in_edition)), f.main_articles);
            EXPECT_EQ(number(*db, table_pages("T_旧条", f.law, in_edition)), f.appendix_tables);
            continue;
        }
        laws.insert(f.law);
        EXPECT_EQ(value(*db, "SELECT 版ID || ' ' || 施行日 || ' ' || 題名 || ' ' || 法令番号 AS v FROM T_版 WHERE ID_HN = '" +
                                 f.law + "'"),
                  f.revision + " " + f.enforced + " " + f.title.toStdString() + " " + f.number.toStdString());
        EXPECT_EQ(value(*db, "SELECT 法名一般 AS v FROM T_法 WHERE [表示] = YES AND ID_HN = '" + f.law + "'"),
                  f.title.toStdString());
        // One page per Article element; a range of deleted articles (第十七条及び第十八条) is one.
        EXPECT_EQ(number(*db, article_pages("T_条", f.law, "1 = 1")), f.main_articles);
        EXPECT_EQ(number(*db, table_pages("T_条", f.law, "1 = 1")), f.appendix_tables);
    }
    EXPECT_EQ(laws.size(), 42u) << "the collection";
    EXPECT_EQ(number(*db, "SELECT count(*) AS v FROM T_版"), static_cast<int>(laws.size()));
    EXPECT_EQ(number(*db, "SELECT count(*) AS v FROM T_旧版"), earlier);
}

TEST(OfficialCollection, VersionListsEachLawWithItsEditionAndTheEarlierOnes)
{
    TempDir scratch;
    const ToolRun version = run_reader(VELTO_BINARY_DIR, "--version", scratch);
    ASSERT_EQ(version.status, 0) << version.err;
    // The lines under each law's heading.
    std::map<std::string, std::vector<std::string>> listed;
    std::istringstream lines(version.out);
    std::string heading;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("　", 0) == 0)
            listed[heading].push_back(line);
        else
            heading = line;
    }
    std::map<std::string, std::string> title_of;
    for (const OfficialFile& f : official_collection())
        if (!f.earlier)
            title_of[f.law] = f.title.toStdString() + "（" + f.number.toStdString() + "）";
    ASSERT_FALSE(title_of.empty());
    std::map<std::string, std::vector<std::string>> expected;
    for (const OfficialFile& f : official_collection()) {
        const std::string date = japanese_date(f.enforced) + "施行";
        if (!f.earlier)
            expected[title_of[f.law]].insert(expected[title_of[f.law]].begin(), "　" + date);
        else
            expected[title_of[f.law]].push_back("　旧版　" + date +
                                                (title_of[f.law].rfind(f.title.toStdString() + "（", 0) == 0
                                                     ? std::string()
                                                     : "（" + f.title.toStdString() + "）"));
    }
    for (auto& [law, want] : expected) {
        SCOPED_TRACE(law);
        ASSERT_TRUE(listed.count(law)) << version.out;
        std::vector<std::string> got = listed[law];
        // The edition line may carry the mark of an outdated text.
        const std::string mark = "　※古い版です。それ以後の改正は含まれていません。";
        if (!got.empty() && got[0].size() > mark.size() && got[0].compare(got[0].size() - mark.size(), mark.size(), mark) == 0)
            got[0].resize(got[0].size() - mark.size());
        EXPECT_EQ(got, want);
    }
    // The 施行規則 of 2019 is marked; the whole text of the current act is not (it is of 2026).
    EXPECT_NE(version.out.find("建築基準法施行規則（昭和二十五年建設省令第四十号）\n　令和元年6月25日施行　※古い版です。"),
              std::string::npos);
}

// --- the notice of an outdated edition ---

class OutdatedEditions : public ::testing::Test {
protected:
    // The reader's folder as the document composes it on `today`.
    std::string page(const std::string& id, const std::string& today)
    {
        MemorySettingsStore settings;
        CapturingReporter reporter;
        CVeltoDoc doc(settings, reporter);
        DocumentOptions options;
        options.program_dir = kProgramDir;
        options.use_working_folder = false;
        options.today = today;
        DetachedPageView view(true);
        view.id = id;
        std::string html;
        if (doc.OnNewDocument(options)) {
            doc.set_page_view(&view);
            EXPECT_TRUE(doc._html_build(id, html)) << id;
            doc.set_page_view(nullptr);
        }
        EXPECT_TRUE(reporter.messages().empty()) << reporter.messages().front().text;
        return html;
    }
};

TEST_F(OutdatedEditions, EveryPageOfAnOutdatedLawSaysWhichEditionItIsAtItsTop)
{
    const std::string rule = "この法令の本文は2019年6月25日施行時点のものです。それ以後の改正は含まれていません。";
    // An article, the supplementary provisions, an appended table and the 別記 of the 施行規則.
    for (const char* id : {"01C-00010000-00", "01C-F0000000-00", "01C-T0010000-00", "01C-T9990000-00"}) {
        const std::string html = page(id, "2026-12-07");
        const std::size_t at = html.find(rule);
        ASSERT_NE(at, std::string::npos) << id;
        EXPECT_LT(at, html.find("-0000-0000-0000")) << id << ": before the first sentence";
        EXPECT_EQ(html.find(rule, at + 1), std::string::npos) << id << ": once";
    }
    // The act of 2026-04-01 is current until two years have passed. Its main
    // provision is that of 2025-12-01 (the newest edition changed supplementary
    // provisions only), so the order of 2025-12-01 carries out the act as it
    // reads now, and is current until its own two years have passed.
    EXPECT_EQ(page("01A-00010000-00", "2026-12-07").find("この法令の本文は"), std::string::npos);
    EXPECT_EQ(page("01A-00010000-00", "2028-04-01").find("この法令の本文は"), std::string::npos);
    EXPECT_NE(page("01A-00010000-00", "2028-04-02").find("この法令の本文は2026年4月1日施行時点のものです。"),
              std::string::npos);
    EXPECT_EQ(page("01B-00010000-00", "2026-12-07").find("この法令の本文は"), std::string::npos);
    EXPECT_NE(page("01B-00010000-00", "2027-12-02").find("この法令の本文は2025年12月1日施行時点のものです。"),
              std::string::npos);
    // Not a law of the official data: no edition, no notice.
    EXPECT_EQ(page("10A-00010000-00", "2026-12-07").find("この法令の本文は"), std::string::npos);

    // Composed, never stored: the search does not find it.
    auto db = open_db(kProgramDir);
    EXPECT_EQ(number(*db, "SELECT count(*) AS v FROM T_文 WHERE 検索用データ LIKE '%それ以後の改正は含まれていません%'"), 0);
}
