#include "citations/link_index.h"

#include "compose/html_format.h"
#include "compose/markup.h"
#include "citations/readable_text.h"
#include "core/database.h"
#include "core/sql_statement.h"

#include <sqlite3.h>

#include <memory>
#include <set>
#include <utility>

namespace velto {

namespace {

constexpr std::size_t kTargetWidth = 12;

void exec(sqlite3* db, const char* sql)
{
    if (const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
        throw sqlite_error(db, rc);
}

} // namespace

std::vector<SentenceLink> links_of_text(std::string_view id_bn, std::string_view stored, bool table)
{
    std::vector<SentenceLink> out;
    if (stored.find('[') == std::string_view::npos)
        return out;
    const std::string html = marked_links_html(id_bn, stored, table);
    for (MarkedLink& link : marked_links(html)) {
        if (link.target.size() != kTargetWidth)
            continue;
        bool known = false;
        for (const SentenceLink& seen : out)
            known = known || seen.target == link.target;
        if (!known)
            out.push_back({std::move(link.target), std::string(id_bn), std::move(link.anchor), table});
    }
    return out;
}

void scan_sentence_links(sqlite3* db, const std::function<bool(SentenceLink&&)>& sink)
{
    // Only texts that hold a marker are marked up; instr() is exact, as LIKE is not for "[L".
    std::set<std::pair<std::string, std::string>> seen; // sentence, target
    {
        Statement texts(db, "SELECT ID_BN, 法文 FROM T_文 WHERE instr(法文, '[第') > 0 OR instr(法文, '[L') > 0");
        while (texts.step()) {
            for (SentenceLink& link : links_of_text(texts.text(0), texts.text(1), false)) {
                seen.emplace(link.sentence, link.target);
                if (!sink(std::move(link)))
                    return;
            }
        }
    }
    // The citations of the imported text (compose/citation_spans.h): the
    // first link of a sentence to an article carries the anchor ...-p01, as a stored reference does.
    if (Statement exists(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'T_引用'"); exists.step()) {
        Statement citations(db, "SELECT ID_BN, substr(引用先, 1, 12) FROM T_引用 WHERE length(引用先) = 15 "
                                "ORDER BY ID_BN, 開始");
        while (citations.step()) {
            SentenceLink link{std::string(citations.text(1)), std::string(citations.text(0)), {}, false};
            link.anchor = link.sentence + "-to-" + link.target + "-p01";
            if (seen.emplace(link.sentence, link.target).second && !sink(std::move(link)))
                return;
        }
    }
    // The tables the pages show: of a sentence that has one (表式), or of a
    // table page, whose table has no sentence of its own.
    Statement tables(db, "SELECT t.ID_BN, t.表式データ FROM T_表 t LEFT JOIN T_文 s ON s.ID_BN = t.ID_BN "
                         "WHERE t.表式データ IS NOT NULL AND (s.ID_BN IS NULL OR s.表式 <> 0) "
                         "ORDER BY t.ID_BN, t.順序");
    std::string sentence, joined;
    const auto flush = [&] {
        for (SentenceLink& link : links_of_text(sentence, joined, true)) {
            if (seen.emplace(link.sentence, link.target).second && !sink(std::move(link)))
                return false;
        }
        return true;
    };
    while (tables.step()) {
        if (tables.text(0) != sentence) {
            if (!flush())
                return;
            sentence = tables.text(0);
            joined.clear();
        }
        joined += tables.text(1);
    }
    flush();
}

void write_link_index(sqlite3* db)
{
    exec(db, "DELETE FROM T_引");
    Statement insert(db, "INSERT OR IGNORE INTO T_引 (引用先, ID_BN, アンカー, 表中) VALUES (?1, ?2, ?3, ?4)");
    scan_sentence_links(db, [&](SentenceLink&& link) {
        insert.bind_text(1, link.target);
        insert.bind_text(2, link.sentence);
        insert.bind_text(3, link.anchor);
        insert.bind(4, link.in_table ? 1 : 0);
        insert.run();
        return true;
    });
}

bool has_link_index(Database& db)
{
    auto rs = db.execute("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'T_引'");
    return !rs->eof();
}

std::string stored_link_text(Database& db, std::string_view id_bn, bool table)
{
    std::string text;
    const std::string id = sql_escape(id_bn);
    if (table) {
        auto rs = db.execute(format("SELECT 表式データ FROM T_表 WHERE ID_BN = '%s' ORDER BY 順序", id.c_str()));
        for (; !rs->eof(); rs->move_next())
            text += rs->text("表式データ");
    } else {
        auto rs = db.execute(format("SELECT 法文 FROM T_文 WHERE ID_BN = '%s'", id.c_str()));
        if (!rs->eof())
            text = rs->text("法文");
    }
    return text;
}

} // namespace velto
