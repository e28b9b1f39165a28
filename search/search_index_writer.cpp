#include "search/search_index_writer.h"

#include "core/database.h"
#include "core/sjis.h"
#include "core/sql_statement.h"
#include "core/sql_dialect.h"
#include "search/like_text.h"
#include "search/search_index_format.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velto {

using namespace search_index;

namespace {

// The pages the search statements may list, with the titles they look at:
// the same join and the same conditions as theirs.
constexpr std::string_view kPageStatement =
    "SELECT T_条.[ID_FN], T_条.[条名], typeof(T_条.[ID_FN]) FROM T_条, T_法 "
    "WHERE LEFT(T_条.[ID_FN],3) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES";

// The two kinds of text beside the titles, by the table they are read from.
constexpr const char* kTextTables[] = {"T_文", "T_表"};

void exec(sqlite3* db, const char* sql)
{
    if (const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
        throw sqlite_error(db, rc);
}

struct Page {
    std::string id;
    std::vector<std::string> titles;
    bool takes_texts = false; // an identifier of another type never equals a sentence's prefix
};

// The pages in byte order of their identifiers, each once with all its titles.
std::vector<Page> read_pages(sqlite3* db)
{
    struct Row {
        std::string id, title;
        bool text_id;
    };
    std::vector<Row> rows;
    Statement pages(db, sql_for_sqlite(kPageStatement));
    while (pages.step()) {
        if (!pages.text(0).empty())
            rows.push_back(Row{std::string(pages.text(0)), std::string(pages.text(1)), pages.text(2) == "text"});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.id < b.id; });
    std::vector<Page> out;
    for (Row& row : rows) {
        if (out.empty() || out.back().id != row.id)
            out.push_back(Page{row.id, {}, false});
        out.back().titles.push_back(std::move(row.title));
        out.back().takes_texts = out.back().takes_texts || row.text_id;
    }
    return out;
}

// A sentence or table row and the page it belongs to.
struct TextRow {
    std::uint32_t page;
    std::uint32_t table; // index into kTextTables
    sqlite3_int64 rowid;
    bool operator<(const TextRow& o) const { return std::tie(page, table, rowid) < std::tie(o.page, o.table, o.rowid); }
};

// Every sentence and table row of a page that takes texts, grouped by page.
std::vector<TextRow> text_rows(sqlite3* db, const std::vector<Page>& pages)
{
    std::unordered_map<std::string_view, std::uint32_t> page_of_id;
    for (std::uint32_t i = 0; i < pages.size(); ++i) {
        if (pages[i].takes_texts)
            page_of_id.emplace(pages[i].id, i);
    }
    std::vector<TextRow> rows;
    for (std::uint32_t table = 0; table < std::size(kTextTables); ++table) {
        Statement ids(db, std::string("SELECT rowid, ID_BN FROM ") + kTextTables[table]);
        while (ids.step()) {
            const auto page = page_of_id.find(utf8_substr(ids.text(1), 0, kPagePrefix));
            if (page != page_of_id.end())
                rows.push_back(TextRow{page->second, table, ids.integer(0)});
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The postings of every character and pair of characters, built page by page
// in the order of the pages.
class Postings {
public:
    // Adds a text of plain UTF-8 to the page being read.
    void add_text(std::string_view text)
    {
        chars_.clear();
        for (std::size_t pos = 0; pos < text.size();) {
            const Utf8Char c = utf8_decode_at(text, pos);
            chars_.push_back(fold_like_case(c.code));
            pos += c.bytes;
        }
        if (chars_.size() > kMaxPlace - place_)
            throw ComponentError(SQLITE_TOOBIG, sqlite3_errstr(SQLITE_TOOBIG), "SQLite",
                                 "a page holds too much text for the search index");
        for (std::size_t i = 0; i < chars_.size(); ++i) {
            page_chars_.push_back(slot(chars_[i]));
            if (i + 1 < chars_.size())
                page_pairs_.emplace_back(slot(pair_key(chars_[i], chars_[i + 1])), place_ + i);
        }
        place_ += static_cast<std::uint32_t>(chars_.size()) + kTextGap;
    }

    // Ends the page `page` (pages come in increasing order).
    void end_page(std::uint32_t page)
    {
        std::sort(page_chars_.begin(), page_chars_.end());
        page_chars_.erase(std::unique(page_chars_.begin(), page_chars_.end()), page_chars_.end());
        for (std::uint32_t s : page_chars_)
            append_page(grams_[s], page);
        std::sort(page_pairs_.begin(), page_pairs_.end());
        for (std::size_t i = 0; i < page_pairs_.size();) {
            const std::uint32_t s = page_pairs_[i].first;
            places_.clear();
            std::uint32_t last = 0;
            for (; i < page_pairs_.size() && page_pairs_[i].first == s; ++i) {
                append_number(places_, page_pairs_[i].second - last);
                last = page_pairs_[i].second;
            }
            append_page(grams_[s], page);
            append_number(grams_[s].postings, static_cast<std::uint32_t>(places_.size()));
            grams_[s].postings += places_;
        }
        page_chars_.clear();
        page_pairs_.clear();
        place_ = 0;
    }

    // Calls `sink(characters, postings)` for every character and pair, in byte order of the characters.
    template <typename Sink>
    void for_each(Sink sink)
    {
        std::vector<std::pair<std::string, std::uint32_t>> keys;
        keys.reserve(grams_.size());
        for (std::uint32_t s = 0; s < grams_.size(); ++s) {
            std::string text;
            const std::uint64_t key = grams_[s].key;
            if (key & kPairFlag) {
                utf8_append(text, static_cast<char32_t>((key >> 21) & 0x1FFFFF));
                utf8_append(text, static_cast<char32_t>(key & 0x1FFFFF));
            } else {
                utf8_append(text, static_cast<char32_t>(key));
            }
            keys.emplace_back(std::move(text), s);
        }
        std::sort(keys.begin(), keys.end());
        for (const auto& [text, s] : keys)
            sink(text, grams_[s].postings);
    }

private:
    static constexpr std::uint64_t kPairFlag = std::uint64_t{1} << 42;
    static constexpr std::uint32_t kMaxPlace = 0xFFFFFFF0u;

    struct Gram {
        std::uint64_t key;
        std::string postings;
        std::uint32_t last_page = 0;
    };

    static std::uint64_t pair_key(char32_t a, char32_t b)
    {
        return kPairFlag | (static_cast<std::uint64_t>(a) << 21) | static_cast<std::uint64_t>(b);
    }

    std::uint32_t slot(std::uint64_t key)
    {
        const auto [it, added] = slots_.try_emplace(key, static_cast<std::uint32_t>(grams_.size()));
        if (added)
            grams_.push_back(Gram{key, {}, 0});
        return it->second;
    }

    static void append_page(Gram& gram, std::uint32_t page)
    {
        append_number(gram.postings, page - gram.last_page);
        gram.last_page = page;
    }

    std::unordered_map<std::uint64_t, std::uint32_t> slots_;
    std::vector<Gram> grams_;
    std::vector<char32_t> chars_;
    std::vector<std::uint32_t> page_chars_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> page_pairs_; // pair, place
    std::string places_;
    std::uint32_t place_ = 0;
};

} // namespace

void write_search_index(sqlite3* db)
{
    exec(db, "DELETE FROM T_索引");
    exec(db, "DELETE FROM T_索引情報");

    const std::vector<Page> pages = read_pages(db);
    const std::vector<TextRow> rows = text_rows(db, pages);
    Statement texts[] = {Statement(db, "SELECT 検索用データ FROM T_文 WHERE rowid = ?1"),
                         Statement(db, "SELECT 検索用データ FROM T_表 WHERE rowid = ?1")};

    Postings postings;
    std::string odd_texts;
    std::uint32_t page = 0;
    const auto add = [&](std::string_view stored) {
        const std::string_view text = like_subject(stored);
        if (text.empty())
            return;
        if (is_plain_utf8(text)) {
            postings.add_text(text);
            return;
        }
        append_number(odd_texts, page);
        append_number(odd_texts, static_cast<std::uint32_t>(text.size()));
        odd_texts += text;
    };
    auto row = rows.begin();
    for (; page < pages.size(); ++page) {
        for (const std::string& title : pages[page].titles)
            add(title);
        for (; row != rows.end() && row->page == page; ++row) {
            Statement& text = texts[row->table];
            text.bind(1, row->rowid);
            if (text.step())
                add(text.text(0));
            text.reset();
        }
        postings.end_page(page);
    }

    Statement insert(db, "INSERT INTO T_索引 (文字, 出現) VALUES (?1, ?2)");
    postings.for_each([&insert](const std::string& characters, const std::string& places) {
        insert.bind_text(1, characters);
        insert.bind(2, places);
        insert.run();
    });
    std::string ids;
    for (const Page& p : pages) {
        append_number(ids, static_cast<std::uint32_t>(p.id.size()));
        ids += p.id;
    }
    Statement info(db, "INSERT INTO T_索引情報 (項目, 内容) VALUES (?1, ?2)");
    for (const auto& [key, value] : {std::pair{kFormKey, std::string_view(kForm)}, std::pair{kPagesKey, std::string_view(ids)},
                                     std::pair{kOddTextsKey, std::string_view(odd_texts)}}) {
        info.bind_text(1, key);
        info.bind(2, value);
        info.run();
    }
}

} // namespace velto
