#include "tools/import/law_mapping.h"

#include "tools/import/law_tables.h"

#include <algorithm>
#include <cstdio>

namespace velto::import {

namespace mapping {

char code_char(int value) { return value <= 0 ? '0' : value < 10 ? static_cast<char>('0' + value) : static_cast<char>('A' + value - 10); }

std::string two_digits(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

Num parse_num(const Node& node, const Trail* trail, int ordinal, bool required)
{
    Num num;
    const std::string* value = node.attribute("Num");
    if (!value || value->empty()) {
        if (required)
            fail(trail, "no Num attribute");
        num.parts.push_back(ordinal);
        return num;
    }
    num.range = value->find(':') != std::string::npos;
    const std::string first = value->substr(0, value->find(':'));
    std::size_t start = 0;
    while (true) {
        const std::size_t end = first.find('_', start);
        const std::string part = first.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part.size() > 6 || part.find_first_not_of("0123456789") != std::string::npos)
            fail(trail, "Num \"" + *value + "\" is not a number");
        num.parts.push_back(std::stoi(part));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return num;
}

void Mapper::run(const Node& law)
{
    const Trail root{nullptr, &law};
    check_tags(law, nullptr);
    law_number_ = plain_of(law.child("LawNum"));
    const Node* body = law.child("LawBody");
    if (!body)
        fail(&root, "no LawBody");
    const Trail body_trail{&root, body};
    const Node* title = body->child("LawTitle");
    const std::string name = plain_of(title);
    if (name.empty())
        fail(&body_trail, "no LawTitle");
    const Node* main = nullptr;
    for (const Node& child : body->children) {
        if (child.tag != "MainProvision")
            continue;
        if (main) {
            const Trail t{&body_trail, &child};
            fail(&t, "a second MainProvision");
        }
        main = &child;
    }
    if (!main)
        fail(&body_trail, "no MainProvision");

    out_.law.id = options_.law_id;
    out_.law.name = html_text(name);
    const std::string* abbrev = title->attribute("Abbrev");
    out_.law.name_short = html_text(options_.name_short ? *options_.name_short : abbrev ? *abbrev : std::string());
    out_.law.name_full = html_text(law_number_.empty() ? name : name + "（" + law_number_ + "）");
    out_.revision.title = name;
    out_.revision.law_number = law_number_;

    scope_.law = options_.law_id;
    scope_.articles = &articles_;
    scope_.aliases = options_.aliases;
    scope_.alias_articles = options_.alias_articles;

    const Trail main_trail{&body_trail, main};
    for (const Node& child : main->children)
        labelled_ = labelled_ || child.tag == "Part";
    const std::array<std::string, 4> top = {"0000", "0000", "0000", "0000"};
    walk_main(*main, &main_trail, top, nullptr, false); // collects the articles references may point to
    walk_main(*main, &main_trail, top, nullptr, true);

    std::vector<const Node*> provisions;
    for (const Node& child : body->children)
        if (child.tag == "SupplProvision" && !child.attribute("AmendLawNum"))
            provisions.push_back(&child);
    for (const Node& child : body->children)
        if (child.tag == "SupplProvision" && child.attribute("AmendLawNum"))
            provisions.push_back(&child);
    const int total = static_cast<int>(provisions.size());
    if (total > 100 * 1000)
        fail(&body_trail, "more than 100000 SupplProvision elements");
    for (int i = 0; i < total; ++i) {
        const Trail t{&body_trail, provisions[i]};
        map_supplement(*provisions[i], &t, i, std::min(100, total - i / 100 * 100));
    }

    std::set<std::string> tables;
    std::vector<const Node*> forms;
    for (const Node& child : body->children) {
        const Trail t{&body_trail, &child};
        if (child.tag == "AppdxTable") {
            map_appendix_table(child, &t, tables);
        } else if (is_appendix_form(child.tag)) {
            forms.push_back(&child);
        } else if (child.tag == "Preamble") {
            std::string label;
            for (const Node& part : child.children)
                if (!part.is_text() && ends_with(part.tag, "Title"))
                    label = plain_of(&part);
            out_.notes.push_back(place_of(&t) + ": left out" + (label.empty() ? "" : " (" + label + ")"));
        } else if (child.tag != "LawTitle" && child.tag != "EnactStatement" && child.tag != "TOC" &&
                   child.tag != "MainProvision" && child.tag != "SupplProvision") {
            fail(&t, "unexpected <" + child.tag + "> in LawBody");
        }
    }
    map_appendix_forms(forms, &body_trail);

    // Headings and captions were read as plain text; the reader writes them
    // into its pages as they are stored.
    for (HeadingRow& row : out_.headings)
        for (std::string& name : row.names)
            name = html_text(name);
    for (PageRow& row : out_.pages) {
        row.caption = html_text(row.caption);
        row.supplement = html_text(row.supplement);
    }
}

} // namespace mapping

bool map_law(const Node& law, const MapOptions& options, LawRows& rows, std::string& error)
{
    rows = LawRows{};
    try {
        mapping::Mapper(options, rows).run(law);
        return true;
    } catch (const MapError& e) {
        error = e.message;
    } catch (const std::exception& e) {
        error = std::string("cannot map the law: ") + e.what();
    }
    rows = LawRows{};
    return false;
}

} // namespace velto::import
