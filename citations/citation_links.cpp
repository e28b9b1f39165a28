#include "citations/citation_links.h"

#include "catalog/law_family.h"
#include "citations/citation_finder.h"
#include "core/database.h"
#include "core/identifiers.h"
#include "core/kanji_numerals.h"
#include "core/sql_statement.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <unordered_set>

namespace velto {

using namespace citelink;

namespace {


std::string article_page(const std::string& law, const ArticleKey& key)
{
    char id[40];
    std::snprintf(id, sizeof id, "%s-%04d%02d%02d-00", law.c_str(), std::get<0>(key), std::get<1>(key),
                  std::get<2>(key));
    return id;
}

char code_char(int value)
{
    return value <= 0 ? '0' : value < 10 ? static_cast<char>('0' + value) : static_cast<char>('A' + value - 10);
}

// The sentences of the imported laws, the pages of every law, and the order
// of each law's articles: what a citation may be resolved to.
struct Collection {
    std::vector<std::pair<std::string, std::string>> sentences; // ID_BN, 法文 of the imported laws, by ID_BN
    std::map<std::string, std::string> table_text;                // ID_BN -> the searchable text of its tables
    std::unordered_set<std::string> pages;
    std::map<std::string, std::vector<ArticleKey>> articles; // by law, in order
    LawWords words;

    bool has_sentence(const std::string& id) const
    {
        const auto it = std::lower_bound(sentences.begin(), sentences.end(), id,
                                         [](const auto& s, const std::string& v) { return s.first < v; });
        return it != sentences.end() && it->first == id;
    }
    // The first sentence whose identifier begins with `prefix`.
    const std::pair<std::string, std::string>* first_with(const std::string& prefix) const
    {
        const auto it = std::lower_bound(sentences.begin(), sentences.end(), prefix,
                                         [](const auto& s, const std::string& v) { return s.first < v; });
        return it != sentences.end() && it->first.compare(0, prefix.size(), prefix) == 0 ? &*it : nullptr;
    }
};

std::set<std::string> imported_laws(sqlite3* db)
{
    std::set<std::string> laws;
    Statement rows(db, "SELECT DISTINCT ID_HN FROM T_版");
    while (rows.step())
        laws.emplace(rows.text(0));
    return laws;
}

void read_names(sqlite3* db, const std::set<std::string>& imported, Collection& c)
{
    LawFamilies families;
    std::set<std::pair<std::string, std::string>> titles;
    const auto add = [&](std::string_view law, std::string_view title, bool current) {
        if (title.size() < 6) // a title is a word of at least two characters
            return;
        families.add_title(std::string(law), std::string(title), current);
        titles.emplace(std::string(title), std::string(law));
    };
    {
        Statement rows(db, "SELECT v.ID_HN, v.題名 FROM T_版 v JOIN T_法 l ON l.ID_HN = v.ID_HN");
        while (rows.step())
            add(rows.text(0), rows.text(1), true);
    }
    {
        Statement rows(db, "SELECT ID_HN, 法名一般 FROM T_法 WHERE 表示 <> 0");
        while (rows.step())
            add(rows.text(0), rows.text(1), false);
    }
    {
        Statement exists(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'T_旧版'");
        if (exists.step()) {
            Statement rows(db, "SELECT ID_HN, 題名 FROM T_旧版 ORDER BY ID_HN, 施行日 DESC");
            while (rows.step())
                add(rows.text(0), rows.text(1), false);
        }
    }
    // Two laws that had one title name neither by it.
    std::map<std::string, std::set<std::string>> laws_of;
    for (const auto& [title, law] : titles)
        laws_of[title].insert(law);
    for (const auto& [title, laws] : laws_of)
        if (laws.size() == 1)
            c.words.titles.emplace_back(title, *laws.begin());
    for (const std::string& law : imported)
        c.words.aliases[law] = families.aliases(law);
    c.words.sort_titles();
}

void read_collection(sqlite3* db, const std::set<std::string>& imported, Collection& c)
{
    read_names(db, imported, c);
    Statement pages(db, "SELECT ID_FN FROM T_条 ORDER BY ID_FN");
    while (pages.step()) {
        const std::string id(pages.text(0));
        c.pages.insert(id);
        SentenceFields f;
        if (id.size() == kPageScope && id.compare(12, 3, "-00") == 0 &&
            IdentifierRules::_parse_sentence_id(id + "-0000-0000-0000-0000", level::Article, f) && f.article > 0)
            c.articles[id.substr(0, 3)].emplace_back(f.article, f.branch1, f.branch2);
    }
    Statement sentences(db, "SELECT ID_BN, 法文 FROM T_文 WHERE substr(ID_BN, 1, 3) IN "
                            "(SELECT DISTINCT ID_HN FROM T_版) ORDER BY ID_BN");
    while (sentences.step())
        c.sentences.emplace_back(std::string(sentences.text(0)), std::string(sentences.text(1)));
    Statement tables(db, "SELECT ID_BN, 検索用データ FROM T_表 WHERE substr(ID_BN, 1, 3) IN "
                         "(SELECT DISTINCT ID_HN FROM T_版) ORDER BY ID_BN, 順序");
    while (tables.step())
        c.table_text[std::string(tables.text(0))].append("　").append(tables.text(1));
    c.words.step_article = [&c](const std::string& law, const ArticleKey& key, int step) -> std::optional<ArticleKey> {
        const auto it = c.articles.find(law);
        if (it == c.articles.end())
            return std::nullopt;
        const auto& keys = it->second;
        const auto at = std::lower_bound(keys.begin(), keys.end(), key);
        if (at == keys.end() || *at != key)
            return std::nullopt;
        const auto index = (at - keys.begin()) + step;
        if (index < 0 || index >= static_cast<long>(keys.size()))
            return std::nullopt;
        return keys[static_cast<std::size_t>(index)];
    };
}

// The supplement's sentence that begins with `label` ("第三条", "２").
std::string supplement_sentence(const Collection& c, const std::string& page, const std::string& label)
{
    for (auto it = std::lower_bound(c.sentences.begin(), c.sentences.end(), page,
                                    [](const auto& s, const std::string& v) { return s.first < v; });
         it != c.sentences.end() && it->first.compare(0, page.size(), page) == 0; ++it) {
        const std::string& text = it->second;
        if (text.compare(0, label.size(), label) == 0 &&
            (text.compare(label.size(), 3, "　") == 0 || text.compare(label.size(), 3, "及") == 0))
            return it->first;
    }
    return {};
}

std::string full_width_number(int n)
{
    static constexpr const char* kDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    std::string out;
    for (const char d : std::to_string(n))
        out += kDigits[d - '0'];
    return out;
}

// An article lays some paragraphs' items out as the rows of a table: a cited
// item that has no sentence of its own but heads a row of its paragraph's
// table ("　四　") is found at that paragraph.
bool item_in_table(const Collection& c, const std::string& page, const Provision& p, std::string& anchor)
{
    if (p.item == 0)
        return false;
    char id[48];
    std::snprintf(id, sizeof id, "%s-%02d00-0000-0000-0000", page.c_str(), std::max(p.paragraph, 1));
    const auto it = c.table_text.find(id);
    if (it == c.table_text.end() || !c.has_sentence(id))
        return false;
    std::string label = "　" + kanji_numeral_text(p.item);
    if (p.item_branch > 0)
        label += "の" + kanji_numeral_text(p.item_branch);
    if (it->second.find(label + "　") == std::string::npos)
        return false;
    anchor = id;
    return true;
}

// Page and anchor of a provision; false, with the reason, when the database holds none.
bool resolve(const Collection& c, const Provision& p, std::string& page, std::string& anchor)
{
    anchor.clear();
    if (p.table > 0) {
        char id[40];
        std::snprintf(id, sizeof id, "%s-T%03d%02d00-00", p.law.c_str(), p.table, p.table_branch);
        page = id;
        return c.pages.count(page) > 0;
    }
    if (p.supplement_article > 0 || p.supplement_paragraph > 0) {
        page = p.law + "-F0000000-00";
        if (!c.pages.count(page))
            return false;
        anchor = p.supplement_article > 0
                     ? supplement_sentence(c, page, "第" + kanji_numeral_text(p.supplement_article) + "条")
                     : supplement_sentence(c, page, full_width_number(p.supplement_paragraph));
        return !anchor.empty();
    }
    if (std::get<0>(p.article) <= 0)
        return false;
    page = article_page(p.law, p.article);
    if (!c.pages.count(page))
        return false;
    if (p.paragraph == 0 && p.item == 0)
        return true;
    char id[48];
    std::snprintf(id, sizeof id, "%s-%02d00-%02d%c0-%02d00-0000", page.c_str(), std::max(p.paragraph, 1), p.item,
                  code_char(p.item_branch), p.sub);
    if (c.has_sentence(id)) {
        anchor = id;
        return true;
    }
    return item_in_table(c, page, p, anchor);
}

CitingPlace place_of(const std::string& id_bn)
{
    CitingPlace place;
    place.law = id_bn.substr(0, 3);
    SentenceFields f;
    if (id_bn.size() == 35 && std::isdigit(static_cast<unsigned char>(id_bn[4])) &&
        IdentifierRules::_parse_sentence_id(id_bn, 0x3F, f)) {
        place.article = {f.article, f.branch1, f.branch2};
        place.paragraph = f.paragraph;
        place.item = f.item;
        place.item_branch = f.item_branch;
        place.sub = f.sub_item;
    }
    return place;
}

} // namespace

CitationFigures write_citation_links(sqlite3* db)
{
    CitationFigures figures;
    Statement clear(db, "DELETE FROM T_引用");
    clear.run();
    const std::set<std::string> imported = imported_laws(db);
    if (imported.empty())
        return figures;
    Collection c;
    read_collection(db, imported, c);

    Statement insert(db, "INSERT OR REPLACE INTO T_引用 (ID_BN, 開始, 長さ, 引用先, アンカー, 理由) "
                         "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    CitationMemory memory;
    std::string paragraph;
    for (const auto& [id, text] : c.sentences) {
        // Supplementary provisions cite the law as it stood when they were
        // made, by numbers since moved: they keep their words unlinked.
        if (id.size() > 4 && id[4] == 'F')
            continue;
        const std::string scope = id.substr(0, kParagraphScope);
        if (scope != paragraph) {
            paragraph = scope;
            memory = CitationMemory{};
        }
        const CitingPlace place = place_of(id);
        const bool article_page = std::get<0>(place.article) != 0;
        for (const FoundCitation& f : find_citations(text, place, c.words, memory)) {
            std::string page, anchor, reason = f.reason;
            if (reason.empty() && !resolve(c, f.target, page, anchor))
                reason = std::string(kReasonMissing);
            if (!reason.empty())
                page.clear(), anchor.clear();
            ++figures.citations;
            figures.links += reason.empty() ? 1 : 0;
            if (f.relative && article_page) {
                auto& [all, linked] = figures.relative[place.law];
                ++all;
                linked += reason.empty() ? 1 : 0;
            }
            insert.bind_text(1, id);
            insert.bind(2, static_cast<sqlite3_int64>(f.start));
            insert.bind(3, static_cast<sqlite3_int64>(f.length));
            insert.bind_text(4, page);
            insert.bind_text(5, anchor);
            insert.bind_text(6, reason);
            insert.run();
        }
    }
    return figures;
}

std::vector<CitationRow> citation_rows(Database& db, const std::string& prefix, bool links)
{
    std::vector<CitationRow> rows;
    if (!db.has_table("T_引用"))
        return rows;
    auto rs = db.execute("SELECT c.ID_BN, c.開始, c.長さ, c.引用先, c.アンカー, c.理由, s.法文 FROM T_引用 c "
                         "JOIN T_文 s ON s.ID_BN = c.ID_BN WHERE c.ID_BN >= '" + sql_escape(prefix) +
                         "' AND c.ID_BN < '" + sql_escape(prefix) + "~' AND (c.引用先 <> '') = " +
                         (links ? "1" : "0") + " ORDER BY c.ID_BN, c.開始");
    for (; !rs->eof(); rs->move_next()) {
        const std::string text = rs->text("法文");
        const auto start = static_cast<std::size_t>(std::max(0, rs->number("開始")));
        const auto length = static_cast<std::size_t>(std::max(0, rs->number("長さ")));
        rows.push_back({rs->text("ID_BN"), start < text.size() ? text.substr(start, length) : std::string(),
                        rs->text("引用先"), rs->text("アンカー"), rs->text("理由")});
    }
    return rows;
}

} // namespace velto
