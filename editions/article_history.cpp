#include "editions/article_history.h"

#include "catalog/law_editions.h"
#include "compose/html_format.h"
#include "compose/velto_doc.h"

namespace velto {

namespace {

constexpr std::string_view kLinkStart = "velto-diff:compare?";

bool safe_value(std::string_view value)
{
    for (char c : value)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_')
            return false;
    return true;
}

} // namespace

const std::vector<Edition>& EditionChanges::editions(std::string_view law)
{
    auto it = editions_.find(law);
    if (it == editions_.end())
        it = editions_.emplace(std::string(law), stored_editions(db_, law)).first;
    return it->second;
}

const EditionComparison& EditionChanges::between(std::string_view law, const Edition& older, const Edition& newer)
{
    const std::string key = std::string(law) + "\n" + older.revision + (older.current ? "*" : "") + "\n" +
                            newer.revision + (newer.current ? "*" : "");
    auto it = comparisons_.find(key);
    if (it == comparisons_.end())
        it = comparisons_.emplace(key, compare_editions(db_, law, older.revision, newer.revision)).first;
    return it->second;
}

std::vector<ArticleRevision> EditionChanges::history(std::string_view id_fn)
{
    IdKind kind;
    if (!CVeltoDoc::_id_kind(id_fn, kind) || kind != IdKind::Article)
        return {};
    const std::string key(id_fn.substr(0, 12));
    if (const auto found = histories_.find(key); found != histories_.end())
        return found->second;
    const std::string law = key.substr(0, 3);
    const std::vector<Edition> all = editions(law);
    std::vector<ArticleRevision> out;
    std::string at = key;
    for (std::size_t i = all.size(); i-- > 1 && !all.empty();) {
        const Edition& older = all[i - 1];
        const Edition& newer = all[i];
        if (i == all.size() - 1 && !newer.current)
            break; // the page shows the current edition; without one there is no history to tell
        const std::vector<StoredArticle> a = read_articles(db_, older, false, at);
        const std::vector<StoredArticle> b = read_articles(db_, newer, false, at);
        if (!a.empty() && !b.empty() && article_words(a.front()) == article_words(b.front()))
            continue;
        const EditionComparison& comparison = between(law, older, newer);
        const ArticleChange* step = nullptr;
        for (const ArticleChange& c : comparison.articles)
            if (c.newer_id.compare(0, 12, at) == 0)
                step = &c;
        if (!step)
            continue;
        out.push_back({older, newer, step->kind, step->older_id, step->newer_id});
        if (step->kind == ChangeKind::Added)
            break;
        at = step->older_id.substr(0, 12);
    }
    histories_.emplace(key, out);
    return out;
}

std::string comparison_link(const ArticleRevision& r)
{
    return std::string(kLinkStart) + "law=" + r.newer.law + "&older=" + r.older.revision + "&newer=" +
           r.newer.revision + "&older_id=" + r.older_id + "&newer_id=" + r.newer_id;
}

std::optional<ComparisonRequest> parse_comparison_link(std::string_view url)
{
    if (url.substr(0, kLinkStart.size()) != kLinkStart)
        return std::nullopt;
    ComparisonRequest request;
    std::string_view rest = url.substr(kLinkStart.size());
    while (!rest.empty()) {
        const std::size_t amp = rest.find('&');
        const std::string_view pair = rest.substr(0, amp);
        rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
        const std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos)
            return std::nullopt;
        const std::string_view name = pair.substr(0, eq), value = pair.substr(eq + 1);
        if (!safe_value(value))
            return std::nullopt;
        if (name == "law")
            request.law = value;
        else if (name == "older")
            request.older = value;
        else if (name == "newer")
            request.newer = value;
        else if (name == "older_id")
            request.older_id = value;
        else if (name == "newer_id")
            request.newer_id = value;
    }
    if (request.law.size() != 3 || request.older.empty() || request.newer.empty() ||
        (request.older_id.empty() && request.newer_id.empty()))
        return std::nullopt;
    return request;
}

std::string history_line_html(const std::vector<ArticleRevision>& history, int font_size)
{
    if (history.empty())
        return {};
    std::string out = format("<div class=\"revisions\" style=\"font-size: %dpt; margin-top: 1mm;\">この条の改正：",
                             font_size > 1 ? font_size - 1 : font_size);
    bool first = true;
    for (const ArticleRevision& r : history) {
        if (!first)
            out += "　";
        first = false;
        out += "<a href=\"" + html_escape(comparison_link(r)) + "\" title=\"" +
               html_escape("新旧対照を表示します（" + japanese_date(r.older.enforced) + "施行の版と比較）") + "\">" +
               html_escape(japanese_date(r.newer.enforced)) + "施行</a>";
        if (r.kind != ChangeKind::Changed)
            out += "（" + std::string(change_kind_name(r.kind)) + "）";
    }
    return out + "</div>\n";
}

} // namespace velto
