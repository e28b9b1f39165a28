// Builds a law database from the input's rows, then starts the document on it
// and composes every page, the status captions, the contents tree and every
// law's article list, as the reader does.
//
// Input layout: one row a line. The first byte of a line picks the table
// ('0' T_法, '1' T_章, '2' T_条, '3' T_文, '4' T_表, '5' T_他, '6' T_参,
// '7' T_告; any other byte skips the line); the rest holds the row's fields in
// the table's column order, separated by TAB bytes. Missing fields are NULL;
// a field of a number column that is not a number stays text, as a foreign
// writer could leave it. The input's size picks whether large pages come in
// full. Sanitizers catch memory and undefined-behaviour faults, libFuzzer's
// timeouts and memory limit catch runaway loops and growth; every failure must
// end in a report, never in a crash.
#include "catalog/article_rows.h"
#include "catalog/contents_tree.h"
#include "compose/velto_doc.h"
#include "settings/settings_store.h"
#include "core/sql_dialect.h"
#include "tools/dbbuild/db_builder.h"

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

using namespace velto;

namespace {

constexpr std::size_t kMaxRows = 64;
constexpr std::size_t kMaxPages = 48;

struct Table {
    const char* insert;
    int columns;
};

constexpr Table kTables[] = {
    {"INSERT INTO T_法 VALUES (?,?,?,?,?)", 5},
    {"INSERT INTO T_章 VALUES (?,?,?,?,?,?)", 6},
    {"INSERT INTO T_条 VALUES (?,?,?,?,?,?,?)", 7},
    {"INSERT INTO T_文 VALUES (?,?,?,?,?,?,?,?)", 8},
    {"INSERT INTO T_表 VALUES (?,?,?,?)", 4},
    {"INSERT INTO T_他 VALUES (?,?,?)", 3},
    {"INSERT INTO T_参 VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)", 13},
    {"INSERT INTO T_告 VALUES (?,?,?,?,?,?)", 6},
};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The database file and a writing connection to it, made once.
struct Fixture {
    std::string folder;
    sqlite3* writer = nullptr;
    std::vector<sqlite3_stmt*> inserts;

    Fixture()
    {
        char pattern[] = "/tmp/velto-rows-fuzz-XXXXXX";
        check(mkdtemp(pattern) != nullptr);
        folder = std::string(pattern) + "/";
        std::string error;
        check(build_database(folder + "VT2014.m88", {}, error));
        check(sqlite3_open(( folder + "VT2014.m88").c_str(), &writer) == SQLITE_OK);
        check(register_sql_functions(writer) == SQLITE_OK);
        check(sqlite3_exec(writer, "PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY", nullptr, nullptr,
                           nullptr) == SQLITE_OK);
        for (const Table& t : kTables) {
            sqlite3_stmt* stmt = nullptr;
            check(sqlite3_prepare_v2(writer, t.insert, -1, &stmt, nullptr) == SQLITE_OK);
            inserts.push_back(stmt);
        }
    }
    ~Fixture()
    {
        for (sqlite3_stmt* s : inserts)
            sqlite3_finalize(s);
        sqlite3_close(writer);
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    void fill(std::string_view input)
    {
        check(sqlite3_exec(writer,
                           "BEGIN; DELETE FROM T_法; DELETE FROM T_章; DELETE FROM T_条; DELETE FROM T_文; "
                           "DELETE FROM T_表; DELETE FROM T_他; DELETE FROM T_参; DELETE FROM T_告",
                           nullptr, nullptr, nullptr) == SQLITE_OK);
        std::size_t rows = 0;
        while (!input.empty() && rows < kMaxRows) {
            const std::size_t end = std::min(input.find('\n'), input.size());
            std::string_view line = input.substr(0, end);
            input.remove_prefix(std::min(input.size(), end + 1));
            if (line.empty() || line[0] < '0' || line[0] > '7')
                continue;
            const std::size_t table = static_cast<std::size_t>(line[0] - '0');
            line.remove_prefix(1);
            sqlite3_stmt* stmt = inserts[table];
            for (int column = 1; column <= kTables[table].columns && !line.empty(); ++column) {
                const std::size_t tab = std::min(line.find('\t'), line.size());
                sqlite3_bind_text(stmt, column, line.data(), static_cast<int>(tab), SQLITE_TRANSIENT);
                line.remove_prefix(std::min(line.size(), tab + 1));
            }
            sqlite3_step(stmt); // a duplicate key only loses the row
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
            ++rows;
        }
        check(sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK);
    }
};

std::vector<std::string> page_ids(Database& db)
{
    std::vector<std::string> ids;
    for (auto rs = db.execute("SELECT * FROM T_条 WHERE [表示] = YES ORDER BY [ID_FN]"); !rs->eof() && ids.size() < kMaxPages;
         rs->move_next())
        ids.push_back(rs->text("ID_FN"));
    return ids;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Fixture fixture;
    fixture.fill(std::string_view(reinterpret_cast<const char*>(data), size));

    MemorySettingsStore settings;
    CapturingReporter reporter;
    CVeltoDoc doc(settings, reporter);
    DocumentOptions options;
    options.program_dir = fixture.folder;
    options.use_working_folder = false;
    if (!doc.OnNewDocument(options)) {
        check(!reporter.messages().empty());
        return 0;
    }
    DetachedPageView view(size % 2 == 1);
    doc.set_page_view(&view);

    std::vector<std::string> ids;
    try {
        ids = page_ids(doc.database());
    } catch (const ComponentError&) {
    }
    ids.push_back("00A-Z0010000-00");
    for (const std::string& id : ids) {
        view.id = id;
        std::string html;
        reporter.clear();
        if (!doc._html_build(id, html))
            check(html.empty() && !reporter.messages().empty());
        doc._status_caption(id);
    }

    ContentsTree tree;
    tree.build(doc.database(), doc, reporter);
    tree.listing();
    for (const std::string& law : doc.laws().order()) {
        ArticleRows rows;
        rows.build(doc.database(), doc, reporter, law);
        rows.listing();
    }
    doc.set_page_view(nullptr);
    doc.OnCloseDocument();
    return 0;
}
