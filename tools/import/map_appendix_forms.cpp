// 別記: the forms (様式, 書式), figures (別図) and notes (別記, 別紙) of a law,
// on one page of their own after the appended tables. The official data holds
// most of them only as a picture reference (<Fig src>) and no picture: each
// is then a line naming it with "（省略）", so the reader sees that the form
// exists and is not shown, and the search finds its name.
#include "tools/import/law_mapping.h"

#include "tools/import/law_tables.h"

#include <algorithm>

namespace velto::import::mapping {

namespace {

constexpr std::string_view kLeftOut = "（省略）";
constexpr std::string_view kFigureLine = "［図］";

bool has_figure(const Node& node)
{
    if (node.tag == "Fig")
        return true;
    for (const Node& child : node.children)
        if (!child.is_text() && has_figure(child))
            return true;
    return false;
}

// What a caption says the page holds: 様式, 書式, 別図 or the note's own title.
std::string kind_of(const Node& part, const std::string& title)
{
    if (part.tag == "AppdxStyle")
        return "様式";
    if (part.tag == "AppdxFormat")
        return "書式";
    if (part.tag == "AppdxFig")
        return "別図";
    return title.empty() ? std::string("別記") : title;
}

} // namespace

bool is_appendix_form(std::string_view tag)
{
    return tag == "AppdxStyle" || tag == "AppdxFormat" || tag == "AppdxFig" || tag == "AppdxNote" || tag == "Appdx";
}

void Mapper::map_appendix_forms(const std::vector<const Node*>& parts, const Trail* body_trail)
{
    if (parts.empty())
        return;
    Rich body;
    std::vector<std::string> kinds;
    std::string prefix; // a 別記 note without content heads the forms that follow it
    for (const Node* part : parts) {
        const Trail trail{body_trail, part};
        const Node* title_node = nullptr;
        const Node* related = nullptr;
        for (const Node& child : part->children) {
            if (child.is_text())
                continue;
            if (!title_node && ends_with(child.tag, "Title"))
                title_node = &child;
            else if (!related && child.tag == "RelatedArticleNum")
                related = &child;
        }
        const std::string title = plain_of(title_node);
        std::vector<Rich> lines;
        for (const Node& child : part->children)
            if (!child.is_text() && &child != title_node && &child != related)
                collect_lines(child, &trail, lines,
                              [&](const Node& t, const Trail* where) { lines.push_back(table_fragment(t, where)); });
        std::erase_if(lines, [](const Rich& line) { return line.plain.empty() || line.plain == kFigureLine; });

        if (part->tag == "AppdxNote" && lines.empty() && !has_figure(*part)) {
            prefix = title;
            body.html += "<p><b>" + html_text(title) + "</b></p>\n";
            body.plain += std::string(kIdeographicSpace) + title;
            continue;
        }
        const std::string kind = kind_of(*part, title);
        if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
            kinds.push_back(kind);
        Rich heading;
        heading.append_text(part->tag == "AppdxStyle" || part->tag == "AppdxFormat" ? prefix + title : title);
        heading.append(rich_of(related));
        if (has_figure(*part))
            heading.append_text(kLeftOut);
        if (heading.empty())
            fail(&trail, "a form without a title");
        body.html += "<p>" + heading.html + "</p>\n";
        body.plain += std::string(kIdeographicSpace) + heading.plain;
        for (const Rich& line : lines) {
            body.html += "<p>" + line.html + "</p>\n";
            body.plain += std::string(kIdeographicSpace) + line.plain;
        }
    }
    if (kinds.empty())
        return; // notes without anything under them

    PageRow page;
    page.id_fn = options_.law_id + "-" + std::string(kAppendixPageBody) + "-00";
    page.id_sn = options_.law_id + "-0000-0000-0000-0000";
    for (const std::string& kind : kinds)
        page.caption += (page.caption.empty() ? "" : "・") + kind;
    TableRow row;
    row.id_bn = page.id_fn + "-0000-0000-0000-0000";
    row.html = table_document(body);
    row.search = search_form(body.plain);
    out_.tables.push_back(std::move(row));
    out_.pages.push_back(std::move(page));
    ++out_.table_pages;
}

} // namespace velto::import::mapping
