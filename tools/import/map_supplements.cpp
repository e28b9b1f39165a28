// 附則: the original supplementary provision and every amendment's, one page each.
#include "tools/import/law_mapping.h"

#include <cstdio>

namespace velto::import::mapping {

// The next paragraph-level identifier of a 附則 page. Their numbers start at 02,
// so that every one of them is a paragraph (depth 1), which the reader shows
// without a label of its own: the official number is part of the text.
std::string Mapper::supplement_group(PageBuild& pb, const Trail* trail)
{
    const int n = pb.paragraph_rows++;
    if (n >= 980)
        fail(trail, "more than 980 paragraphs in one supplementary provision");
    return pb.page.id_fn + "-" + two_digits(2 + n / 10) + std::to_string(n % 10) + "0-0000-0000-0000";
}

void Mapper::map_supplement(const Node& provision, const Trail* trail, int index, int group_size)
{
    PageBuild pb;
    char id[32];
    std::snprintf(id, sizeof id, "%s-F%03d0000-%02d", options_.law_id.c_str(), index / 100, index % 100);
    pb.page.id_fn = id;
    pb.page.id_sn = options_.law_id + "-0000-0000-0000-0000";
    pb.page.caption = "附則";
    const std::string* amend = provision.attribute("AmendLawNum");
    pb.page.supplement = amend ? *amend : law_number_;
    pb.page.split = group_size > 1 ? group_size : 0;
    if (amend) {
        Rich heading = rich_of(provision.child("SupplProvisionLabel"));
        if (heading.empty())
            heading.append_text("附　則");
        heading.append_text("　（" + *amend + "）");
        const std::string* extract = provision.attribute("Extract");
        if (extract && *extract == "true")
            heading.append_text("　抄");
        add_row(pb, trail, supplement_group(pb, trail), heading);
    }
    for (const Node& child : provision.children) {
        if (child.is_text() || child.tag == "SupplProvisionLabel")
            continue;
        const Trail here{trail, &child};
        map_supplement_part(pb, child, &here);
    }
    if (pb.rows.empty()) {
        Rich text = rich_of(provision.child("SupplProvisionLabel"));
        add_row(pb, trail, supplement_group(pb, trail), text);
    }
    ++out_.supplement_pages;
    finish_page(pb);
}

void Mapper::map_supplement_part(PageBuild& pb, const Node& node, const Trail* trail)
{
    const std::string& tag = node.tag;
    if (tag == "Chapter" || tag == "Section" || tag == "Subsection" || tag == "Division") {
        const Rich title = rich_of(node.child(tag + "Title"));
        if (!title.empty())
            add_row(pb, trail, supplement_group(pb, trail), title);
        for (const Node& child : node.children) {
            if (child.is_text() || child.tag == tag + "Title")
                continue;
            const Trail here{trail, &child};
            map_supplement_part(pb, child, &here);
        }
    } else if (tag == "Article") {
        const Rich caption = rich_of(node.child("ArticleCaption"));
        if (!caption.empty())
            add_row(pb, trail, supplement_group(pb, trail), caption);
        bool first = true;
        const Rich title = rich_of(node.child("ArticleTitle"));
        for (const Node& child : node.children) {
            if (child.is_text() || child.tag == "ArticleCaption" || child.tag == "ArticleTitle")
                continue;
            const Trail here{trail, &child};
            if (child.tag == "Paragraph") {
                const Rich number = first ? title : rich_of(child.child("ParagraphNum"));
                map_paragraph(pb, child, &here, {}, &number);
                first = false;
            } else {
                add_lines(pb, child, &here);
            }
        }
        if (first && !title.empty())
            add_row(pb, trail, supplement_group(pb, trail), title);
    } else if (tag == "Paragraph") {
        const Rich number = rich_of(node.child("ParagraphNum"));
        map_paragraph(pb, node, trail, {}, &number);
    } else if (tag == "SupplProvisionAppdxTable" || tag == "SupplProvisionAppdxStyle" || tag == "SupplProvisionAppdx") {
        Rich title;
        for (const Node& child : node.children)
            if (!child.is_text() && (ends_with(child.tag, "Title") || child.tag == "RelatedArticleNum"))
                title.append(rich_of(&child));
        if (title.empty())
            title.append_text(tag == "SupplProvisionAppdxTable" ? "別表" : "様式");
        add_row(pb, trail, supplement_group(pb, trail), title);
        for (const Node& child : node.children) {
            if (child.is_text() || ends_with(child.tag, "Title") || child.tag == "RelatedArticleNum")
                continue;
            const Trail here{trail, &child};
            add_lines(pb, child, &here);
        }
    } else if (pb.rows.empty()) {
        fail(trail, "unexpected <" + tag + "> at the start of a SupplProvision");
    } else {
        add_lines(pb, node, trail);
    }
}

} // namespace velto::import::mapping
