// 別表: one page per appended table, the table in T_表.
#include "tools/import/law_mapping.h"

#include "tools/import/law_tables.h"

#include <algorithm>
#include <cstdio>

namespace velto::import::mapping {

void Mapper::map_appendix_table(const Node& table, const Trail* trail, std::set<std::string>& seen)
{
    const std::string title = plain_of(table.child("AppdxTableTitle"));
    int number = -1, branch = 0, branch2 = 0;
    if (table.attribute("Num") && !table.attribute("Num")->empty()) {
        const Num num = parse_num(table, trail, 0, true);
        if (num.parts.size() > 3)
            fail(trail, "Num \"" + *table.attribute("Num") + "\" has more than two branches");
        number = num.parts[0];
        branch = num.parts.size() >= 2 ? num.parts[1] : 0;
        branch2 = num.parts.size() == 3 ? num.parts[2] : 0;
    } else if (title.rfind("別表", 0) == 0) {
        // "別表第一", "別表第二の二", "別表第一の二の二", or a lone "別表"
        std::string_view rest = std::string_view(title).substr(6);
        number = 0;
        if (rest.substr(0, 3) == "第") {
            rest.remove_prefix(3);
            const auto numeral = [&rest] {
                std::size_t end = 0;
                while (end < rest.size() && kanji_number(rest.substr(0, end + 3)) > 0)
                    end += 3;
                const int value = kanji_number(rest.substr(0, end));
                rest.remove_prefix(end);
                return value;
            };
            number = numeral();
            for (int* part : {&branch, &branch2}) {
                if (rest.substr(0, 3) != "の")
                    break;
                rest.remove_prefix(3);
                *part = std::max(0, numeral());
            }
        }
    }
    if (number < 0)
        fail(trail, "an appended table without Num and without a 別表 title");
    // Table number 999 is the page of the law's 別記 (map_appendix_forms.cpp).
    if (number >= 999 || branch > 99 || branch2 > 99)
        fail(trail, "table number " + std::to_string(number) + " does not fit (below 999, branches two digits)");
    char id[32];
    std::snprintf(id, sizeof id, "%s-T%03d%02d%02d-00", options_.law_id.c_str(), number, branch, branch2);
    if (!seen.insert(id).second)
        fail(trail, "a second appended table " + std::string(id));

    PageRow page;
    page.id_fn = id;
    page.id_sn = options_.law_id + "-0000-0000-0000-0000";
    // The reader labels the page 別表第N; the caption is the rest of the title.
    std::string caption = title;
    const std::size_t blank = caption.find(kIdeographicSpace);
    caption = blank == std::string::npos ? std::string() : caption.substr(blank + 3);
    std::string related = plain_of(table.child("RelatedArticleNum"));
    while (related.compare(0, 3, kIdeographicSpace) == 0)
        related.erase(0, 3);
    page.caption = caption + related;

    Rich body;
    Rich heading = rich_of(table.child("AppdxTableTitle"));
    heading.append(rich_of(table.child("RelatedArticleNum")));
    body.html += "<p><b>" + heading.html + "</b></p>\n";
    body.plain += heading.plain;
    for (const Node& child : table.children) {
        if (child.is_text() || child.tag == "AppdxTableTitle" || child.tag == "RelatedArticleNum")
            continue;
        const Trail here{trail, &child};
        if (child.tag == "TableStruct") {
            const Rich part = table_fragment(child, &here);
            body.html += part.html;
            body.plain += std::string(kIdeographicSpace) + part.plain;
            continue;
        }
        std::vector<Rich> lines;
        collect_lines(child, trail, lines, [&](const Node& t, const Trail* where) {
            const Rich part = table_fragment(t, where);
            lines.push_back(part);
        });
        for (const Rich& line : lines) {
            body.html += "<p>" + line.html + "</p>\n";
            body.plain += std::string(kIdeographicSpace) + line.plain;
        }
    }
    TableRow row;
    row.id_bn = page.id_fn + "-0000-0000-0000-0000";
    row.html = mark_references(table_document(body), scope_);
    row.search = search_form(body.plain);
    out_.tables.push_back(std::move(row));
    out_.pages.push_back(std::move(page));
    ++out_.table_pages;
}

} // namespace velto::import::mapping
