// The main provision's headings (編, 章, 節, 款, 目) and the walk that finds its articles.
#include "tools/import/law_mapping.h"

namespace velto::import::mapping {

namespace {

// "第一章　総則" -> "総則": the reader writes the label itself.
std::string without_label(const std::string& title)
{
    const std::size_t blank = title.find(kIdeographicSpace);
    if (blank == std::string::npos || title.substr(0, 3) != "第")
        return title;
    const std::string head = title.substr(0, blank);
    for (std::string_view unit : {"編", "章", "節", "款", "目"})
        if (head.find(unit) != std::string::npos) {
            std::size_t start = blank;
            while (title.compare(start, 3, kIdeographicSpace) == 0)
                start += 3;
            return title.substr(start);
        }
    return title;
}

} // namespace

std::string Mapper::heading_group(const Node& heading, const Trail* trail)
{
    const Num num = parse_num(heading, trail, 0, true);
    if (num.parts.size() > 3)
        fail(trail, "Num \"" + *heading.attribute("Num") + "\" has more than two branches");
    if (num.parts[0] < 1 || num.parts[0] > 99)
        fail(trail, "Num \"" + *heading.attribute("Num") + "\" does not fit the two digits of a heading number");
    std::string group = two_digits(num.parts[0]);
    for (std::size_t i = 1; i < 3; ++i) {
        const int branch = i < num.parts.size() ? num.parts[i] : 0;
        if (i < num.parts.size() && (branch < 1 || branch > 35))
            fail(trail, "Num \"" + *heading.attribute("Num") + "\" has a branch outside 1 to 35");
        group += code_char(branch);
    }
    return group;
}

void Mapper::walk_main(const Node& container, const Trail* trail, const std::array<std::string, 4>& slots,
                       int* shared_last, bool emit)
{
    std::array<int, 4> counters{};
    for (const Node& child : container.children) {
        if (child.is_text())
            continue;
        const Trail here{trail, &child};
        const std::string& tag = child.tag;
        int slot = -1;
        if (labelled_)
            slot = tag == "Part" ? 0 : tag == "Chapter" ? 1 : tag == "Section" ? 2 : tag == "Subsection" || tag == "Division" ? 3 : -1;
        else
            slot = tag == "Chapter" ? 0 : tag == "Section" ? 1 : tag == "Subsection" ? 2 : tag == "Division" ? 3 : -1;
        if (tag == "Part" && !labelled_)
            fail(&here, "a Part below the top of the MainProvision");
        if (slot >= 0) {
            std::array<std::string, 4> inner = slots;
            std::string name;
            int* inner_shared = shared_last;
            if (labelled_) {
                int* counter = slot == 3 ? (shared_last ? shared_last : &counters[3]) : &counters[slot];
                if (++*counter > 99)
                    fail(&here, "more than 99 headings at one level");
                inner[slot] = two_digits(*counter) + "00";
                name = plain_of(child.child(tag + "Title"));
                if (slot == 3)
                    inner_shared = counter; // the 目 of a 款 go on with its numbering
            } else {
                inner[slot] = heading_group(child, &here);
                name = without_label(plain_of(child.child(tag + "Title")));
            }
            for (int below = slot + 1; below < 4; ++below)
                inner[below] = "0000";
            const std::string id = options_.law_id + "-" + inner[0] + "-" + inner[1] + "-" + inner[2] + "-" + inner[3];
            if (emit) {
                if (!heading_ids_.insert(id).second)
                    fail(&here, "a second heading with the identifier " + id);
                HeadingRow row;
                row.id_sn = id;
                row.names[slot] = name;
                row.labelled = labelled_;
                out_.headings.push_back(std::move(row));
            }
            if (labelled_ && slot == 2) {
                int last = 0; // 款 and 目 of this 節 share one numbering
                walk_main(child, &here, inner, &last, emit);
            } else {
                walk_main(child, &here, inner, inner_shared, emit);
            }
        } else if (tag == "Article") {
            const std::string id_sn = options_.law_id + "-" + slots[0] + "-" + slots[1] + "-" + slots[2] + "-" + slots[3];
            if (emit) {
                map_article(child, &here, id_sn);
            } else {
                ArticleKey key;
                article_page_id(child, &here, key);
                articles_.insert(key);
            }
        } else if (ends_with(tag, "Title") && tag != "ArticleTitle") {
            continue;
        } else if (tag == "Paragraph" && container.tag == "MainProvision") {
            fail(&here, "paragraphs outside articles: a main provision without articles is not supported");
        } else {
            fail(&here, "unexpected <" + tag + "> in " + container.tag);
        }
    }
}

} // namespace velto::import::mapping
