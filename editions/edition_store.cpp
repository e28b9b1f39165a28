#include "editions/edition_store.h"

#include "catalog/visible_text.h"
#include "citations/readable_text.h"
#include "compose/velto_doc.h"

#include <algorithm>
#include <map>

namespace velto {

namespace {

// Whether a page of `id` belongs to what is read: an article of the main
// provision, or with `all_pages` also a supplementary provision or a table.
bool wanted_page(std::string_view id, bool all_pages)
{
    IdKind kind;
    if (!CVeltoDoc::_id_kind(id, kind))
        return false;
    return kind == IdKind::Article || (all_pages && (kind == IdKind::Supplement || kind == IdKind::Table));
}

// The identifiers of the law `law` in a statement: a range of the primary key.
std::string id_range(std::string_view field, std::string_view law, std::string_view key)
{
    const std::string from = key.empty() ? std::string(law) + "-" : std::string(key);
    const std::string to = key.empty() ? std::string(law) + "." : std::string(key) + "~";
    return std::string(field) + " >= '" + sql_escape(from) + "' AND " + std::string(field) + " < '" + sql_escape(to) + "'";
}

// The position of the first of `names` in `text` at or after `from` (case-blind ASCII).
std::size_t find_tag(std::string_view text, std::initializer_list<std::string_view> names, std::size_t from)
{
    std::size_t best = std::string_view::npos;
    for (std::size_t at = text.find('<', from); at != std::string_view::npos && at < best; at = text.find('<', at + 1)) {
        for (std::string_view name : names) {
            bool match = at + name.size() <= text.size();
            for (std::size_t i = 1; match && i < name.size(); ++i)
                match = (text[at + i] | 0x20) == name[i];
            if (match)
                return at;
        }
    }
    return best;
}

} // namespace

std::vector<Edition> stored_editions(Database& db, std::string_view law)
{
    std::vector<Edition> out;
    const std::string where = "ID_HN = '" + sql_escape(law) + "'";
    if (db.has_table("T_版"))
        for (auto rs = db.execute("SELECT * FROM T_版 WHERE " + where); !rs->eof(); rs->move_next())
            out.push_back({rs->text("ID_HN"), rs->text("題名"), rs->text("施行日"), rs->text("版ID"), true});
    if (db.has_table("T_旧版"))
        for (auto rs = db.execute("SELECT * FROM T_旧版 WHERE " + where); !rs->eof(); rs->move_next())
            out.push_back({rs->text("ID_HN"), rs->text("題名"), rs->text("施行日"), rs->text("版ID"), false});
    // An edition kept earlier under the revision the current one has is the same text.
    std::erase_if(out, [&](const Edition& e) {
        return !e.current && std::any_of(out.begin(), out.end(), [&](const Edition& c) {
                   return c.current && c.revision == e.revision;
               });
    });
    std::stable_sort(out.begin(), out.end(), [](const Edition& a, const Edition& b) {
        if (a.enforced != b.enforced)
            return a.enforced < b.enforced;
        if (a.current != b.current)
            return b.current;
        return a.revision < b.revision;
    });
    return out;
}

const Edition* find_edition(const std::vector<Edition>& editions, std::string_view name)
{
    for (const Edition& e : editions)
        if (!name.empty() && (e.enforced == name || e.revision == name))
            return &e;
    return nullptr;
}

std::string table_words(std::string_view html)
{
    std::string out;
    std::size_t at = find_tag(html, {"<tr"}, 0);
    if (at == std::string_view::npos)
        return readable_text(html).text;
    while (at != std::string_view::npos) {
        const std::size_t row_end = find_tag(html, {"</tr", "<tr"}, at + 3);
        const std::string_view row = html.substr(at, row_end == std::string_view::npos ? html.size() - at : row_end - at);
        std::string line;
        for (std::size_t cell = find_tag(row, {"<td", "<th"}, 0); cell != std::string_view::npos;) {
            const std::size_t next = find_tag(row, {"<td", "<th"}, cell + 3);
            const std::string words = readable_text(row.substr(cell, next == std::string_view::npos ? row.size() - cell : next - cell)).text;
            if (!line.empty())
                line += "｜";
            line += words;
            cell = next;
        }
        if (!line.empty()) {
            if (!out.empty())
                out += "\n";
            out += line;
        }
        at = row_end == std::string_view::npos ? row_end : find_tag(html, {"<tr"}, row_end + 1);
    }
    return visible_text(out);
}

std::vector<StoredArticle> read_articles(Database& db, const Edition& edition, bool all_pages, std::string_view key)
{
    const bool current = edition.current;
    const std::string of_edition = current ? std::string() : "版ID = '" + sql_escape(edition.revision) + "' AND ";
    std::vector<StoredArticle> articles;
    std::map<std::string, std::size_t, std::less<>> by_key;
    for (auto rs = db.execute("SELECT ID_FN, 条名 FROM " + std::string(current ? "T_条" : "T_旧条") + " WHERE " +
                              of_edition + id_range("ID_FN", edition.law, key) + " ORDER BY ID_FN");
         !rs->eof(); rs->move_next()) {
        const std::string id = rs->text("ID_FN");
        if (!wanted_page(id, all_pages) || by_key.count(id.substr(0, 12)))
            continue;
        by_key.emplace(id.substr(0, 12), articles.size());
        articles.push_back({id, rs->text("条名"), {}});
    }
    std::vector<std::pair<std::size_t, std::size_t>> tables; // (article, sentence) of the sentences with a table
    for (auto rs = db.execute("SELECT ID_BN, 法文, 書式コード, 表式 FROM " + std::string(current ? "T_文" : "T_旧文") +
                              " WHERE " + of_edition + id_range("ID_BN", edition.law, key) + " ORDER BY ID_BN");
         !rs->eof(); rs->move_next()) {
        const std::string id = rs->text("ID_BN");
        if (id.size() != 35)
            continue;
        const auto it = by_key.find(std::string_view(id).substr(0, 12));
        if (it == by_key.end())
            continue;
        StoredArticle& article = articles[it->second];
        if (rs->number("表式") != 0)
            tables.emplace_back(it->second, article.sentences.size());
        article.sentences.push_back({id, rs->text("書式コード"), visible_text(rs->text("法文")), {}});
    }
    for (const auto& [a, s] : tables) {
        StoredSentence& sentence = articles[a].sentences[s];
        std::string html;
        for (auto rs = db.execute("SELECT 表式データ FROM " + std::string(current ? "T_表" : "T_旧表") + " WHERE " +
                                  of_edition + "ID_BN = '" + sql_escape(sentence.id) + "' ORDER BY 順序");
             !rs->eof(); rs->move_next())
            html += rs->text("表式データ");
        sentence.table = table_words(html);
    }
    return articles;
}

} // namespace velto
