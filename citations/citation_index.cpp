// What the citation resolver knows of the laws and pages: the names of the
// laws at once (a few rows), the pages of a law when a citation first needs
// them, by one read of that law's pages, so that resolving costs the same
// whatever the size of the database.
#include "citations/citation_index.h"

#include "catalog/law_family.h"
#include "catalog/page_catalog.h"
#include "core/database.h"
#include "core/identifiers.h"

#include <algorithm>
#include <optional>

namespace velto {

using namespace citation;

namespace {

// The pages the reader shows of the law `law` (its ID_HN, the first three
// characters of its pages' identifiers), in identifier order; `from` and `to`
// (optional) narrow them to the identifiers in [from, to).
std::vector<std::string> shown_pages(Database& db, const std::string& law, const std::string& from = {},
                                     const std::string& to = {})
{
    std::string sql = "SELECT ID_FN FROM T_条 WHERE LEFT(ID_FN, 3) = '" + sql_escape(law) + "' AND [表示] = YES";
    if (!from.empty())
        sql += " AND ID_FN >= '" + sql_escape(from) + "' AND ID_FN < '" + sql_escape(to) + "'";
    auto rs = db.execute(sql + " ORDER BY ID_FN");
    std::vector<std::string> ids;
    for (; !rs->eof(); rs->move_next())
        ids.push_back(rs->text("ID_FN"));
    rs->close();
    return ids;
}

std::optional<NoticeEntry> notice_of(const std::string& id, const std::string& law)
{
    IdKind kind;
    if (!IdentifierRules::_id_kind(id, kind) || kind != IdKind::Notice)
        return std::nullopt;
    NoticeEntry notice;
    IdentifierRules::_parse_notice_id(id, notice.era_code, notice.era_year, notice.number);
    notice.page = id;
    notice.law = law;
    return notice;
}

} // namespace

CitationResolver::CitationResolver(Database& db, const LawCatalog& laws, const std::vector<CitationAlias>& aliases)
    : db_(db), index_(std::make_unique<Index>())
{
    std::map<std::string, std::vector<std::string>> names;
    const auto add_name = [&](const std::string& name, const std::string& law) {
        const std::string plain = normalize_citation(name);
        if (plain.empty())
            return;
        auto& owners = names[plain];
        if (std::find(owners.begin(), owners.end(), law) == owners.end())
            owners.push_back(law);
    };
    for (const std::string& id : laws.order()) {
        LawIndex& law = index_->laws[id];
        law.id = id;
        law.name = laws.name(id, kLawNameGeneral);
        if (law.name.empty())
            law.name = id;
        add_name(id, id);
        for (int type : {kLawNameGeneral, kLawNameAbbreviated, kLawNameOfficial})
            add_name(laws.name(id, type), id);
    }
    try {
        const LawFamilies families = read_law_families(db);
        for (const std::string& id : laws.order())
            for (const auto& [name, parent] : families.aliases(id)) {
                index_->family[id][name] = parent;
                names.try_emplace(normalize_citation(name)); // known by the name on the pages of its family
            }
    } catch (const ComponentError&) {
        index_->family.clear(); // citations of 法 and 令 then follow the alias file alone
    }
    // An alias stands for its law alone, whatever else the database calls by its name.
    for (const CitationAlias& alias : aliases) {
        const std::string target = normalize_citation(alias.law);
        const auto owners = names.find(target);
        const std::string name = normalize_citation(alias.name);
        if (owners == names.end()) {
            index_->absent_aliases[name] = alias.law;
            continue;
        }
        index_->absent_aliases.erase(name);
        names[name] = std::vector<std::string>(owners->second);
    }
    for (auto& [name, owners] : names)
        std::sort(owners.begin(), owners.end()); // in the order of the law list
    index_->names.assign(names.begin(), names.end());
    std::stable_sort(index_->names.begin(), index_->names.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

const LawIndex& CitationResolver::law_of(const std::string& id) const
{
    LawIndex& law = index_->laws.at(id);
    if (law.pages_read)
        return law;
    // Read whole before anything is kept: a failed read leaves the law to the next citation.
    LawIndex read;
    for (std::string& page : shown_pages(db_, id)) {
        IdKind kind;
        if (!IdentifierRules::_id_kind(page, kind))
            continue;
        if (page_suffix_value(page) == 0) {
            switch (kind) {
            case IdKind::Article: {
                int number = 0, branch1 = 0, branch2 = 0;
                IdentifierRules::_parse_article_id(page, number, branch1, branch2);
                read.articles.try_emplace({number, branch1, branch2}, page);
                break;
            }
            case IdKind::Table:
                if (is_appendix_page(page))
                    break; // 別記 is no 別表 a citation could name
                read.tables.try_emplace({decimal_value(page.substr(5, 3)), decimal_value(page.substr(8, 2))}, page);
                break;
            case IdKind::Supplement:
                if (read.supplement.empty())
                    read.supplement = page;
                break;
            case IdKind::Notice: read.has_notices = true; break;
            case IdKind::Special: break;
            }
        }
        read.pages.insert(std::move(page));
    }
    law.articles = std::move(read.articles);
    law.tables = std::move(read.tables);
    law.supplement = std::move(read.supplement);
    law.has_notices = read.has_notices;
    law.pages = std::move(read.pages);
    law.pages_read = true;
    return law;
}

const std::vector<NoticeEntry>& CitationResolver::notices() const
{
    if (index_->notices_read)
        return index_->notices;
    // Every law's notices at once: a notice's page identifier is its law's
    // code, "-K" and its number, so each law's are one short range.
    std::vector<NoticeEntry> notices;
    for (const auto& [id, law] : index_->laws) {
        for (const std::string& page : shown_pages(db_, id, id + "-K", id + "-L"))
            if (page_suffix_value(page) == 0)
                if (std::optional<NoticeEntry> notice = notice_of(page, id))
                    notices.push_back(std::move(*notice));
    }
    index_->notices = std::move(notices);
    index_->notices_read = true;
    return index_->notices;
}

} // namespace velto
