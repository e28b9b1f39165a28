#include "core/database.h"
#include "core/sql_dialect.h"
#include "tests/fixtures.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

using namespace velto;
using velto::test::TempDir;

namespace {

std::string connection_for(const std::string& path)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Jet OLEDB:Database Password=mur-4618;";
}

std::string format(const char* pattern, auto... args)
{
    char buffer[2048];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

std::vector<std::string> column(Database& db, const std::string& sql, const char* field)
{
    std::vector<std::string> values;
    for (auto rs = db.execute(sql); !rs->eof(); rs->move_next())
        values.push_back(rs->text(field));
    return values;
}

// Statements compiled on the connection.
int compiled_statements(Database& db)
{
    int n = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(db.handle(), nullptr); s; s = sqlite3_next_stmt(db.handle(), s))
        ++n;
    return n;
}

std::vector<std::string> listing(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The description of the refusal to open `path`; empty when it opens.
std::string refusal_of(const std::string& path)
{
    Database db;
    try {
        db.open(connection_for(path), "admin", "");
    } catch (const ComponentError& e) {
        EXPECT_FALSE(db.is_open());
        return e.description.value_or("(null)");
    }
    return {};
}

class LawDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("VT2014.m88");
        velto::test::build_fixture_db(path, {velto::test::standard_fixture_sql()});
        db.open(connection_for(path), "admin", "");
    }

    TempDir dir;
    std::string path;
    Database db;
};

} // namespace

TEST(SqlDialect, RewritesOnlyWhatSqliteReadsDifferently)
{
    EXPECT_EQ(sql_for_sqlite("SELECT * FROM T WHERE LEFT([ID_FN], 3) = 'x'"),
              "SELECT * FROM T WHERE [LEFT]([ID_FN], 3) = 'x'");
    EXPECT_EQ(sql_for_sqlite("SELECT Left (a,1), right(b,2) FROM T"), "SELECT [Left] (a,1), [right](b,2) FROM T");
    EXPECT_EQ(sql_for_sqlite("SELECT * FROM A LEFT JOIN B ON A.x = B.x"), "SELECT * FROM A LEFT JOIN B ON A.x = B.x");
    EXPECT_EQ(sql_for_sqlite("WHERE T.[表示] = YES AND [表示]=yes"), "WHERE T.[表示] <> 0 AND [表示]<> 0");
    // Literals and bracketed names are left as they are.
    EXPECT_EQ(sql_for_sqlite("WHERE a = 'LEFT(x) = YES' AND [LEFT] = 1"), "WHERE a = 'LEFT(x) = YES' AND [LEFT] = 1");
    EXPECT_EQ(sql_for_sqlite("WHERE a = 'it''s = YES'"), "WHERE a = 'it''s = YES'");
    // Not a comparison with YES: the words stay.
    EXPECT_EQ(sql_for_sqlite("SELECT YES, LEFTOVER(1), a >= YES"), "SELECT YES, LEFTOVER(1), a >= YES");
    // An unterminated literal is copied, never overrun.
    EXPECT_EQ(sql_for_sqlite("WHERE a = 'LEFT("), "WHERE a = 'LEFT(");

    // Literals standing as values become parameters, their quotes undone.
    std::vector<std::string> literals;
    EXPECT_EQ(sql_for_sqlite("WHERE LEFT(a, 3) = '01A' AND b Like '%it''s%' AND c = X'00' AND d = 'x", &literals),
              "WHERE [LEFT](a, 3) = ? AND b Like ? AND c = X'00' AND d = 'x");
    EXPECT_EQ(literals, (std::vector<std::string>{"01A", "%it's%"}));
}

TEST_F(LawDatabase, StringFunctionsCountCharacters)
{
    auto rs = db.execute("SELECT LEFT('建築基準法', 2) AS a, MID('建築基準法', 3, 2) AS b, RIGHT('建築基準法', 1) AS c, "
                         "MID('建築基準法', 4) AS d, LEFT(NULL, 1) AS e, RIGHT('ab', 9) AS f, MID('ab', 0, 1) AS g");
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->text("a"), "建築");
    EXPECT_EQ(rs->text("b"), "基準");
    EXPECT_EQ(rs->text("c"), "法");
    EXPECT_EQ(rs->text("d"), "準法");
    EXPECT_TRUE(rs->is_null("e"));
    EXPECT_EQ(rs->text("f"), "ab");
    EXPECT_EQ(rs->text("g"), "");
}

TEST_F(LawDatabase, LawAndPageListsHonourYesWithAnyNonZeroValue)
{
    EXPECT_EQ(column(db, "SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]", "ID_HN"),
              (std::vector<std::string>{"00A", "01A", "02K"}));

    const auto pages = column(db,
                              "SELECT * FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND  T_条.[表示] = YES "
                              "AND  T_法.[表示] = YES ORDER BY [ID_FN]",
                              "ID_FN");
    ASSERT_EQ(pages.size(), 14u);
    EXPECT_EQ(pages.front(), "00A-Z0010000-00");
    EXPECT_EQ(pages[8], "01A-0005000-00");
    EXPECT_EQ(pages[9], "01A-00060200-00"); // 表示 = 2 is yes as well; 01A-00060000-00 (0) is not
    EXPECT_EQ(pages.back(), "02K-KD180543-01");
    EXPECT_TRUE(std::is_sorted(pages.begin(), pages.end()));
    for (const auto& id : pages)
        EXPECT_NE(id.substr(0, 3), "01B");
}

TEST_F(LawDatabase, NullFieldsReadAsEmptyTextAndZero)
{
    auto rs = db.execute("SELECT * FROM T_条 WHERE ID_FN = '01A-00020000-00'");
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->text("条名"), "");
    EXPECT_EQ(rs->number("分割"), 0);
    EXPECT_EQ(rs->number("大型"), 0);
    EXPECT_EQ(rs->text("分割"), "");
    EXPECT_THROW(rs->text("存在しない"), ComponentError);
    rs->move_next();
    EXPECT_TRUE(rs->eof());
}

TEST_F(LawDatabase, ContentsTreeStatementsSelectOneLevelEach)
{
    const auto level = [&](const char* pattern) { return column(db, format(pattern, "01A"), "ID_SN"); };
    EXPECT_EQ(level("SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN], 5, 4) <> '0000' AND "
                    "RIGHT([ID_SN], 14) = '0000-0000-0000' ORDER BY [ID_SN]"),
              (std::vector<std::string>{"01A-0100-0000-0000-0000", "01A-0200-0000-0000-0000"}));
    EXPECT_EQ(level("SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND "
                    "MID([ID_SN], 10, 4) <> '0000' AND RIGHT([ID_SN], 9) = '0000-0000' ORDER BY [ID_SN]"),
              (std::vector<std::string>{"01A-0200-0100-0000-0000"}));
    EXPECT_EQ(level("SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND "
                    "MID([ID_SN], 10, 4) <> '0000' AND MID([ID_SN], 15, 4) <> '0000' AND RIGHT([ID_SN], 4) = "
                    "'0000' ORDER BY [ID_SN]"),
              (std::vector<std::string>{"01A-0200-0100-0100-0000"}));
    EXPECT_EQ(level("SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND "
                    "MID([ID_SN], 10, 4) <> '0000' AND MID([ID_SN], 15, 4) <> '0000' AND MID([ID_SN], 20, 4) <> "
                    "'0000' ORDER BY [ID_SN]"),
              (std::vector<std::string>{"01A-0200-0100-0100-0100"}));

    EXPECT_EQ(column(db, format("SELECT * FROM T_条 WHERE LEFT([ID_FN], 3) = '%s' AND [表示] = YES ORDER BY [ID_FN]", "02K"),
                     "ID_FN"),
              (std::vector<std::string>{"02K-KD180543-00", "02K-KD180543-01"}));
    EXPECT_EQ(column(db, "SELECT * FROM T_条 WHERE [表示] = YES ORDER BY [ID_FN]", "ID_FN").size(), 15u);
}

TEST_F(LawDatabase, SearchStatementsFindPagesByCaptionSentenceAndTable)
{
    EXPECT_EQ(column(db,
                     format("SELECT [ID_FN] FROM T_条, T_法 WHERE ([T_条].[条名]) Like '%%%s%%' AND "
                            "LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY "
                            "[T_条].[ID_FN] ",
                            "用語", 3),
                     "ID_FN"),
              std::vector<std::string>{}); // 用語の定義 is a page of the hidden law 01B
    EXPECT_EQ(column(db,
                     format("SELECT [ID_FN] FROM T_条, T_法 WHERE ([T_条].[条名]) Like '%%%s%%' AND "
                            "LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY "
                            "[T_条].[ID_FN] ",
                            "適用", 3),
                     "ID_FN"),
              (std::vector<std::string>{"01A-00030000-00"}));

    const char* sentences =
        "SELECT T_条.[ID_FN] FROM T_条, T_法 WHERE T_条.[ID_FN] in (SELECT Left([ID_BN],%d) AS ID_FN FROM %s WHERE "
        "(%s.[検索用データ]) Like '%%%s%%' GROUP BY Left([ID_BN],%d) ) AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND "
        "T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";
    EXPECT_EQ(column(db, format(sentences, 15, "T_文", "T_文", "建築", 15, 3), "ID_FN"),
              (std::vector<std::string>{"01A-00020000-00", "01A-00020000-01"}));
    EXPECT_EQ(column(db, format(sentences, 15, "T_表", "T_表", "二", 15, 3), "ID_FN"),
              (std::vector<std::string>{"01A-00020000-00"}));
}

TEST_F(LawDatabase, PageStatementsReadJoinedFieldsByTable)
{
    auto title = db.execute("SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = '01A-00010000-00' ");
    ASSERT_FALSE(title->eof());
    EXPECT_EQ(title->text("T_条.ID_SN"), "01A-0100-0000-0000-0000");
    EXPECT_EQ(title->text("章名"), "総則");

    auto orphan = db.execute("SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = '00A-Z0010000-00' ");
    ASSERT_FALSE(orphan->eof());
    EXPECT_EQ(orphan->text("T_章.ID_SN"), "");
    EXPECT_EQ(orphan->text("条名"), "表紙");

    EXPECT_EQ(column(db, format("SELECT * FROM T_文 WHERE LEFT([ID_BN], %d) = '%s' ORDER BY [ID_BN]", 15, "01A-00020000-00"),
                     "ID_BN"),
              (std::vector<std::string>{"01A-00020000-00-0100-0000-0000-0000", "01A-00020000-00-0100-0100-0000-0000",
                                        "01A-00020000-00-0100-0200-0000-0000"}));
    EXPECT_EQ(column(db, "SELECT * FROM T_表 WHERE ID_BN = '01A-00020000-00-0100-0100-0000-0000' ORDER BY 順序", "表式データ"),
              (std::vector<std::string>{"<tr><td>一</td></tr>", "<tr><td>二</td></tr>"}));
    EXPECT_EQ(column(db, "SELECT * FROM T_他 WHERE ID_FN = '00A-Z0010000-00' ORDER BY 順序", "HTMLデータ"),
              (std::vector<std::string>{"<p>前</p>", "<p>後</p>"}));
    EXPECT_EQ(column(db, "SELECT * FROM T_告 WHERE ID_FN = '02K-KD180543-00' ", "公布年月日"),
              (std::vector<std::string>{"2006-05-31"}));

    // Reference links: hidden rows are left out; a link to a missing page has no joined page.
    auto refs = db.execute("SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN WHERE T_参.ID_BN = "
                           "'01A-00020000-00-0100-0000-0000-0000' AND T_参.表示 = YES ORDER BY T_参.順序");
    ASSERT_FALSE(refs->eof());
    EXPECT_EQ(refs->text("T_参.ID_FN"), "01A-00990000-00");
    EXPECT_EQ(refs->text("T_条.ID_FN"), "");
    refs->move_next();
    ASSERT_FALSE(refs->eof());
    EXPECT_EQ(refs->text("T_条.ID_FN"), "01A-00010000-00");
    EXPECT_EQ(refs->text("条名"), "目的");
    refs->move_next();
    EXPECT_TRUE(refs->eof());
}

TEST_F(LawDatabase, PageStatementsSearchAnIndex)
{
    const auto plan = [&](const std::string& sql) {
        // The form that runs: literals bound as parameters.
        std::vector<std::string> literals;
        const std::string explain = "EXPLAIN QUERY PLAN " + sql_for_sqlite(sql, &literals);
        sqlite3_stmt* stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db.handle(), explain.c_str(), -1, &stmt, nullptr), SQLITE_OK) << explain;
        std::string text;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            text += std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3))) + "\n";
        sqlite3_finalize(stmt);
        return text;
    };
    const std::string sentences = plan("SELECT * FROM T_文 WHERE LEFT([ID_BN], 15) = '01A-00020000-00' ORDER BY [ID_BN]");
    EXPECT_NE(sentences.find("USING INDEX"), std::string::npos) << sentences;
    EXPECT_EQ(sentences.find("SCAN T_文"), std::string::npos) << sentences;

    for (const char* sql : {"SELECT * FROM T_表 WHERE ID_BN = 'x' ORDER BY 順序", "SELECT * FROM T_他 WHERE ID_FN = 'x' ORDER BY 順序",
                            "SELECT * FROM T_告 WHERE ID_FN = 'x' ",
                            "SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN WHERE T_参.ID_BN = 'x' AND "
                            "T_参.表示 = YES ORDER BY T_参.順序",
                            "SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = 'x' "}) {
        const std::string p = plan(sql);
        EXPECT_EQ(p.find("SCAN"), std::string::npos) << sql << "\n" << p;
    }
}

TEST_F(LawDatabase, FailuresAreComponentErrorsWithSqliteDetails)
{
    try {
        db.execute("SELECT * FROM T_無い");
        FAIL() << "no error";
    } catch (const ComponentError& e) {
        EXPECT_EQ(e.code, SQLITE_ERROR);
        EXPECT_EQ(e.source, "SQLite");
        EXPECT_EQ(e.meaning, sqlite3_errstr(SQLITE_ERROR));
        ASSERT_TRUE(e.description.has_value());
        EXPECT_NE(e.description->find("T_無い"), std::string::npos);
    }
    // The connection stays usable after a failed statement.
    EXPECT_EQ(column(db, "SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]", "ID_HN").size(), 3u);
    // Nothing can be written through it.
    EXPECT_THROW(db.execute("DELETE FROM T_法"), ComponentError);
}

TEST_F(LawDatabase, CompilesEachStatementOnceWhateverItsLiterals)
{
    const char* sentences = "SELECT * FROM T_文 WHERE LEFT([ID_BN], %d) = '%s' ORDER BY [ID_BN]";
    column(db, format(sentences, 15, "01A-00010000-00"), "ID_BN");
    EXPECT_EQ(compiled_statements(db), 1); // kept after its recordset closed
    for (const char* page : {"01A-00020000-00", "01A-00020000-01", "01A-00990000-00", "it's"})
        column(db, format(sentences, 15, sql_escape(page).c_str()), "ID_BN");
    EXPECT_EQ(compiled_statements(db), 1);

    // Two recordsets of one statement open at once read their own rows.
    auto first = db.execute(format(sentences, 15, "01A-00020000-00"));
    auto second = db.execute(format(sentences, 15, "01A-00020000-01"));
    first->move_next();
    EXPECT_EQ(second->text("id_bn"), "01A-00020000-01-0100-0300-0000-0000");
    EXPECT_EQ(first->text("ID_BN"), "01A-00020000-00-0100-0100-0000-0000");
    second->close();
    EXPECT_THROW(second->text("ID_BN"), ComponentError);

    // Statements SQLite takes no parameters in run as written; a quote inside a literal stays one quote.
    const struct {
        const char* sql;
        const char* field;
        const char* value;
    } cases[] = {
        {"SELECT 'it''s' AS v", "v", "it's"},
        {"SELECT 1 AS 'alias'", "alias", "1"},
        {"SELECT ? AS a, 'x' AS b", "b", "x"},
        {"SELECT 条名 FROM T_条 WHERE ID_FN = '01A-00010000-00' AND 'a' = 'a'", "条名", "目的"},
    };
    for (const auto& c : cases) {
        auto rs = db.execute(c.sql);
        ASSERT_FALSE(rs->eof()) << c.sql;
        EXPECT_EQ(rs->text(c.field), c.value) << c.sql;
    }
    EXPECT_THROW(db.execute("   "), ComponentError);

    // A recordset outlives the connection's close.
    auto pages = db.execute("SELECT * FROM T_条 WHERE [表示] = YES ORDER BY [ID_FN]");
    db.close();
    EXPECT_EQ(pages->text("ID_FN"), "00A-Z0010000-00");
    pages->move_next();
    EXPECT_EQ(pages->text("ID_FN"), "01A-00010000-00");
}

TEST_F(LawDatabase, ReadTransactionSpansTheStatementsOfItsGuard)
{
    {
        const ReadTransaction page(db);
        EXPECT_EQ(sqlite3_get_autocommit(db.handle()), 0);
        {
            const ReadTransaction nested(db);
            column(db, "SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]", "ID_HN");
        }
        EXPECT_EQ(sqlite3_get_autocommit(db.handle()), 0);
    }
    EXPECT_EQ(sqlite3_get_autocommit(db.handle()), 1);

    // A recordset left open when the guard ends keeps reading; the transaction ends with it.
    std::unique_ptr<Recordset> open_rows;
    {
        const ReadTransaction page(db);
        open_rows = db.execute("SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]");
    }
    open_rows->move_next();
    EXPECT_EQ(open_rows->text("ID_HN"), "01A");
    open_rows.reset();
    EXPECT_EQ(sqlite3_get_autocommit(db.handle()), 1);

    Database closed;
    const ReadTransaction nothing(closed); // no connection: does nothing
}

TEST(DatabaseOpen, RefusesMissingEmptyCorruptAndForeignFilesWithoutTouchingThem)
{
    TempDir dir;
    const auto open_error = [&](const std::string& path) -> std::optional<ComponentError> {
        Database db;
        try {
            db.open(connection_for(path), "admin", "");
        } catch (const ComponentError& e) {
            EXPECT_FALSE(db.is_open());
            return e;
        }
        return std::nullopt;
    };

    const std::string missing = dir.file("missing.m88");
    auto e = open_error(missing);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code & 0xFF, SQLITE_CANTOPEN);
    EXPECT_FALSE(std::filesystem::exists(missing));

    const std::string empty = dir.file("empty.m88");
    velto::test::write_file(empty, "");
    e = open_error(empty);
    ASSERT_TRUE(e);
    EXPECT_NE(e->description.value_or("").find("T_法"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);

    const std::string corrupt = dir.file("corrupt.m88");
    velto::test::write_file(corrupt, std::string(4096, '\x5a'));
    e = open_error(corrupt);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, SQLITE_NOTADB);
    EXPECT_EQ(velto::test::read_file(corrupt), std::string(4096, '\x5a'));

    // A real database of another schema, and one whose table lacks a field.
    const std::string foreign = dir.file("foreign.m88");
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.c_str(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "CREATE TABLE T_法 (ID_HN TEXT, 表示 INTEGER)", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    e = open_error(foreign);
    ASSERT_TRUE(e);
    EXPECT_NE(e->description.value_or("").find("法名一般"), std::string::npos);

}

TEST(DatabaseOpen, RefusesWhatIsNotARegularFileWithoutWaiting)
{
    TempDir dir;
    const std::string folder = dir.file("folder.m88");
    std::filesystem::create_directory(folder);
    const std::string fifo = dir.file("fifo.m88");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    velto::test::build_fixture_db(dir.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
    std::filesystem::create_symlink(folder, dir.file("link.m88"));

    // Opening a pipe for reading would wait for a writer that never comes.
    const struct {
        std::string path;
        const char* kind;
    } cases[] = {{folder, "フォルダ"}, {fifo, "名前付きパイプ"}, {"/dev/null", "デバイス"}, {dir.file("link.m88"), "フォルダ"}};
    for (const auto& c : cases) {
        const std::string description = refusal_of(c.path);
        EXPECT_NE(description.find("「" + c.path + "」は通常のファイルではなく"), std::string::npos) << description;
        EXPECT_NE(description.find(c.kind), std::string::npos) << description;
    }
    EXPECT_EQ(refusal_of(dir.file("VT2014.m88")), "");
}

TEST(DatabaseOpen, RefusesAHalfWrittenDatabaseAndLeavesItsJournal)
{
    TempDir dir;
    const std::string path = dir.file("VT2014.m88");
    velto::test::build_fixture_db(path, {velto::test::standard_fixture_sql()});
    const std::string journal(4096, '\x5a'); // only a writer may roll it back
    velto::test::write_file(path + "-journal", journal);

    EXPECT_NE(refusal_of(path).find("「" + path + "-journal」が残っています"), std::string::npos);
    EXPECT_EQ(velto::test::read_file(path + "-journal"), journal);
    EXPECT_EQ(listing(dir.path()), (std::vector<std::string>{"VT2014.m88", "VT2014.m88-journal"}));
}

// A database in write-ahead-log mode, in a folder the reader may not write to.
class WalDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("VT2014.m88");
        velto::test::build_fixture_db(path, {velto::test::standard_fixture_sql()});
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
        ASSERT_EQ(listing(dir.path()), std::vector<std::string>{"VT2014.m88"});
    }
    void TearDown() override { std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all); }

    void make_read_only() { std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read |
                                                                          std::filesystem::perms::owner_exec); }

    TempDir dir;
    std::string path;
};

TEST_F(WalDatabase, IsReadWithoutAFileBesideIt)
{
    const auto before = listing(dir.path());
    make_read_only();
    {
        Database db;
        db.open(connection_for(path), "admin", "");
        const ReadTransaction page(db);
        EXPECT_EQ(column(db, "SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]", "ID_HN").size(), 3u);
        EXPECT_EQ(column(db, "SELECT * FROM T_文 WHERE LEFT([ID_BN], 15) = '01A-00020000-00' ORDER BY [ID_BN]", "ID_BN").size(),
                  3u);
        EXPECT_EQ(listing(dir.path()), before);
    }
    EXPECT_EQ(listing(dir.path()), before);
}

TEST_F(WalDatabase, WithChangesLeftInItsLogIsRefused)
{
    // A writer that has not finished: its changes are in the -wal file only.
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "PRAGMA wal_autocheckpoint = 0; INSERT INTO T_法 VALUES ('03A', '新法', '', '', -1)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    TempDir copy;
    for (const char* name : {"VT2014.m88", "VT2014.m88-wal"})
        std::filesystem::copy_file(dir.file(name), copy.file(name));
    sqlite3_close(writer);

    const std::string description = refusal_of(copy.file("VT2014.m88"));
    EXPECT_NE(description.find("「" + copy.file("VT2014.m88-wal") + "」に残ったまま"), std::string::npos) << description;
    EXPECT_EQ(listing(copy.path()), (std::vector<std::string>{"VT2014.m88", "VT2014.m88-wal"}));
}

TEST(DatabaseOpen, ReadsThePathOutOfTheConnectionString)
{
    EXPECT_EQ(Database::data_source(connection_for("/opt/a;b/VT2014.m88")), "/opt/a;b/VT2014.m88");
    EXPECT_EQ(Database::data_source("Data Source=/x.m88"), "/x.m88");
    EXPECT_EQ(Database::data_source("Provider=x;"), "");
}
