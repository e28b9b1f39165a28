#include "catalog/law_family.h"

namespace velto {

namespace {

constexpr std::string_view kOrder = "施行令";
constexpr std::string_view kRule = "施行規則";
constexpr std::string_view kBasedOn = "に基づく";
constexpr std::string_view kAct = "法";
constexpr std::string_view kStatute = "法律";

bool ends_with(std::string_view text, std::string_view end)
{
    return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}


} // namespace

std::vector<ParentTitle> parent_titles(std::string_view title)
{
    if (ends_with(title, kOrder))
        return {{"法", std::string(title.substr(0, title.size() - kOrder.size()))}};
    if (ends_with(title, kRule)) {
        const std::string act(title.substr(0, title.size() - kRule.size()));
        return {{"法", act}, {"令", act + std::string(kOrder)}};
    }
    // "建築基準法に基づく指定建築基準適合判定資格者検定機関等に関する省令"
    if (const std::size_t based = title.find(kBasedOn); based != std::string_view::npos && based > 0) {
        const std::string act(title.substr(0, based));
        if (ends_with(act, kAct) || ends_with(act, kStatute))
            return {{"法", act}, {"令", act + std::string(kOrder)}};
    }
    return {};
}

void LawFamilies::add_title(const std::string& law, const std::string& title, bool current)
{
    if (law.empty() || title.empty())
        return;
    if (current)
        current_[law] = title;
    auto [it, added] = by_title_.try_emplace(title, law, current);
    if (!added && current && !it->second.second)
        it->second = {law, true};
}

std::string LawFamilies::law_of_title(std::string_view title) const
{
    const auto it = by_title_.find(std::string(title));
    return it == by_title_.end() ? std::string() : it->second.first;
}

std::vector<std::pair<std::string, std::string>> LawFamilies::aliases(const std::string& law) const
{
    std::vector<std::pair<std::string, std::string>> out;
    const auto title = current_.find(law);
    if (title == current_.end())
        return out;
    for (const ParentTitle& parent : parent_titles(title->second)) {
        const std::string found = law_of_title(parent.title);
        if (!found.empty() && found != law)
            out.emplace_back(parent.name, found);
    }
    return out;
}

std::vector<std::string> LawFamilies::parents(const std::string& law) const
{
    std::vector<std::string> out;
    for (const auto& alias : aliases(law))
        out.push_back(alias.second);
    return out;
}

LawFamilies read_law_families(Database& db)
{
    LawFamilies families;
    auto laws = db.execute("SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]");
    std::vector<std::pair<std::string, std::string>> shown;
    for (; !laws->eof(); laws->move_next())
        shown.emplace_back(laws->text("ID_HN"), laws->text("法名一般"));
    laws->close();
    std::map<std::string, std::string> titles; // the official title, where the law has an edition
    if (db.has_table("T_版")) {
        for (auto rs = db.execute("SELECT ID_HN, 題名 FROM T_版 ORDER BY ID_HN"); !rs->eof(); rs->move_next())
            titles[rs->text("ID_HN")] = rs->text("題名");
    }
    for (const auto& [law, name] : shown) {
        const auto official = titles.find(law);
        families.add_title(law, official != titles.end() && !official->second.empty() ? official->second : name, true);
        families.add_title(law, name, false);
    }
    if (db.has_table("T_旧版")) {
        for (auto rs = db.execute("SELECT ID_HN, 題名 FROM T_旧版 ORDER BY ID_HN, 施行日 DESC"); !rs->eof(); rs->move_next())
            families.add_title(rs->text("ID_HN"), rs->text("題名"), false);
    }
    return families;
}

} // namespace velto
