#include "tools/import/law_mapper.h"

#include "core/identifiers.h"
#include "core/sjis.h"
#include "tools/import/law_tables.h"
#include "tools/import/law_text.h"
#include "tools/import/references.h"

#include <cstdio>
#include <map>
#include <set>
#include <unordered_set>

namespace velto::import {

namespace {

// "（目的）" -> "目的".
std::string without_parentheses(std::string text)
{
    if (text.size() >= 6 && text.substr(0, 3) == "（" && ends_with(text, "）"))
        return text.substr(3, text.size() - 6);
    return text;
}

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

// Kanji article numbers of a text in digits: "及び第十八条" -> "及び第18条".
std::string article_numbers_in_digits(const std::string& text)
{
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t dai = text.find("第", pos);
        if (dai == std::string::npos)
            break;
        const std::size_t jou = text.find("条", dai);
        const int value = jou == std::string::npos ? -1 : kanji_number(std::string_view(text).substr(dai + 3, jou - dai - 3));
        if (value > 0) {
            out += text.substr(pos, dai - pos) + "第" + std::to_string(value) + "条";
            pos = jou + 3;
        } else {
            out += text.substr(pos, dai + 3 - pos);
            pos = dai + 3;
        }
    }
    return out + text.substr(pos);
}

// Numbering text in a comparable form: full-width letters, digits and
// brackets as ASCII, small roman numerals as letters, no blanks.
std::string comparable(std::string_view text)
{
    static constexpr const char* kRoman[] = {"i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix", "x", "xi", "xii"};
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode_at(text, pos);
        pos += c.bytes;
        char32_t code = c.code;
        if (code == U'　' || code == ' ')
            continue;
        if (code >= 0xFF01 && code <= 0xFF5E)
            code -= 0xFEE0;
        if (code >= 0x2170 && code <= 0x217B) {
            out += kRoman[code - 0x2170];
            continue;
        }
        if (code >= 0x2160 && code <= 0x216B) {
            out += kRoman[code - 0x2160];
            continue;
        }
        if (code >= 'A' && code <= 'Z')
            code += 'a' - 'A';
        utf8_append(out, code);
    }
    return out;
}

char code_char(int value) { return value <= 0 ? '0' : value < 10 ? static_cast<char>('0' + value) : static_cast<char>('A' + value - 10); }

std::string two_digits(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

// The parts of a Num attribute: "6_2" -> {6, 2}; a range "17:18" gives its first member.
struct Num {
    std::vector<int> parts;
    bool range = false;
};

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

// --- the mapping ---

struct PageBuild {
    PageRow page;
    std::vector<SentenceRow> rows; // text and search hold HTML and plain text until the page is done
    std::vector<TableRow> tables;
    std::unordered_set<std::string> ids;
    bool references = false; // article references of the text become links
    int paragraph_rows = 0;  // paragraph-level rows of a 附則 page
};

class Mapper {
public:
    Mapper(const MapOptions& options, LawRows& out) : options_(options), out_(out) {}

    void run(const Node& law);

private:
    // main provision
    void walk_main(const Node& container, const Trail* trail, const std::array<std::string, 4>& slots,
                   int* shared_last, bool emit);
    std::string heading_group(const Node& heading, const Trail* trail);
    void map_article(const Node& article, const Trail* trail, const std::string& id_sn);
    std::string article_page_id(const Node& article, const Trail* trail, ArticleKey& key);

    // sentences
    void map_paragraph(PageBuild& pb, const Node& paragraph, const Trail* trail, const std::string& group,
                       const Rich* number);
    void map_item(PageBuild& pb, const Node& item, const Trail* trail, int level, std::string id, int ordinal);
    void map_rest(PageBuild& pb, const Node& node, const Trail* trail, int level, std::string_view id);
    std::size_t add_row(PageBuild& pb, const Trail* trail, const std::string& id, const Rich& text,
                        const std::string& style = {});
    void add_lines(PageBuild& pb, const Node& node, const Trail* trail);
    void attach_table(PageBuild& pb, const Node& table, const Trail* trail);
    void finish_page(PageBuild& pb);

    // 附則 and 別表
    void map_supplement(const Node& provision, const Trail* trail, int index, int group_size);
    void map_supplement_part(PageBuild& pb, const Node& node, const Trail* trail);
    std::string supplement_group(PageBuild& pb, const Trail* trail);
    void map_appendix_table(const Node& table, const Trail* trail, std::set<std::string>& seen);

    std::string numbering_style(const std::string& id, int level, const std::string& title, bool& show_title) const;

    const MapOptions& options_;
    LawRows& out_;
    IdentifierRules rules_;
    bool labelled_ = false; // the law is divided into 編
    std::string law_number_;
    std::set<ArticleKey> articles_;
    std::map<std::string, std::string> article_places_; // page id -> where it came from
    std::set<std::string> heading_ids_;
    ReferenceScope scope_;
};

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
    out_.law.name = name;
    const std::string* abbrev = title->attribute("Abbrev");
    out_.law.name_short = options_.name_short ? *options_.name_short : abbrev ? *abbrev : std::string();
    out_.law.name_full = law_number_.empty() ? name : name + "（" + law_number_ + "）";

    scope_.law = options_.law_id;
    scope_.articles = &articles_;
    scope_.aliases = options_.aliases;

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
    for (const Node& child : body->children) {
        const Trail t{&body_trail, &child};
        if (child.tag == "AppdxTable") {
            map_appendix_table(child, &t, tables);
        } else if (child.tag == "Preamble" || child.tag == "AppdxNote" || child.tag == "AppdxStyle" ||
                   child.tag == "AppdxFormat" || child.tag == "Appdx" || child.tag == "AppdxFig") {
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
}

// --- main provision ---

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

std::string Mapper::article_page_id(const Node& article, const Trail* trail, ArticleKey& key)
{
    const Num num = parse_num(article, trail, 0, true);
    const std::string& text = *article.attribute("Num");
    if (num.parts.size() > 3)
        fail(trail, "Num \"" + text + "\" has more than two branches");
    if (num.parts[0] < 1 || num.parts[0] > 9999)
        fail(trail, "Num \"" + text + "\" does not fit the four digits of an article number");
    int branch[2] = {0, 0};
    for (std::size_t i = 1; i < num.parts.size(); ++i) {
        if (num.parts[i] < 1 || num.parts[i] > 99)
            fail(trail, "Num \"" + text + "\" has a branch that does not fit two digits");
        branch[i - 1] = num.parts[i];
    }
    key = {num.parts[0], branch[0], branch[1]};
    char id[32];
    std::snprintf(id, sizeof id, "%s-%04d%02d%02d-00", options_.law_id.c_str(), num.parts[0], branch[0], branch[1]);
    return id;
}

void Mapper::map_article(const Node& article, const Trail* trail, const std::string& id_sn)
{
    ArticleKey key;
    PageBuild pb;
    pb.references = true;
    pb.page.id_fn = article_page_id(article, trail, key);
    const auto [at, fresh] = article_places_.emplace(pb.page.id_fn, place_of(trail));
    if (!fresh)
        fail(trail, "a second article " + pb.page.id_fn + " (the first is " + at->second + ")");
    pb.page.id_sn = id_sn;
    pb.page.caption = without_parentheses(plain_of(article.child("ArticleCaption")));
    const std::string* hide = article.attribute("Hide");
    pb.page.shown = !(hide && *hide == "true");
    if (parse_num(article, trail, 0, true).range) {
        // "第十七条及び第十八条": the reader writes 第17条, the rest goes beside it.
        const std::string title = plain_of(article.child("ArticleTitle"));
        const std::size_t jou = title.find("条");
        if (jou != std::string::npos)
            pb.page.supplement = article_numbers_in_digits(title.substr(jou + 3));
    }
    int ordinal = 0;
    for (const Node& child : article.children) {
        if (child.is_text())
            continue;
        const Trail here{trail, &child};
        if (child.tag == "Paragraph") {
            const Num num = parse_num(child, &here, ++ordinal, false);
            if (num.parts.size() > 2 || num.parts[0] < 1 || num.parts[0] > 99 ||
                (num.parts.size() == 2 && (num.parts[1] < 1 || num.parts[1] > 9)))
                fail(&here, "paragraph number " + (child.attribute("Num") ? "\"" + *child.attribute("Num") + "\"" : std::to_string(ordinal)) +
                                " does not fit two digits and a one-digit branch");
            const std::string group = two_digits(num.parts[0]) + std::to_string(num.parts.size() == 2 ? num.parts[1] : 0) + "0";
            map_paragraph(pb, child, &here, group, nullptr);
        } else if (child.tag == "ArticleCaption" || child.tag == "ArticleTitle") {
            continue;
        } else if (pb.rows.empty()) {
            fail(&here, "<" + child.tag + "> before the first Paragraph");
        } else {
            add_lines(pb, child, &here);
        }
    }
    if (pb.rows.empty()) {
        const std::string* deleted = article.attribute("Delete");
        if (!(deleted && *deleted == "true"))
            fail(trail, "an article without Paragraph");
        Rich text;
        text.append_text("削除");
        add_row(pb, trail, pb.page.id_fn + "-0100-0000-0000-0000", text);
    }
    ++out_.articles;
    finish_page(pb);
}

// --- sentences ---

std::size_t Mapper::add_row(PageBuild& pb, const Trail* trail, const std::string& id, const Rich& text,
                            const std::string& style)
{
    if (!pb.ids.insert(id).second)
        fail(trail, "a second sentence with the identifier " + id);
    SentenceRow row;
    row.id_bn = id;
    row.text = text.html;
    row.search = text.plain;
    row.style = style;
    pb.rows.push_back(std::move(row));
    return pb.rows.size() - 1;
}

// Further text of the sentence written last (lists, formulas, quoted
// provisions, figures ...); its tables are inserted after that sentence.
void Mapper::add_lines(PageBuild& pb, const Node& node, const Trail* trail)
{
    if (pb.rows.empty())
        fail(trail, "<" + node.tag + "> before any sentence");
    std::vector<Rich> lines;
    collect_lines(node, trail->up, lines, [&](const Node& table, const Trail* t) { attach_table(pb, table, t); });
    SentenceRow& row = pb.rows.back();
    Rich text{row.text, row.search};
    for (const Rich& line : lines)
        text.append_line(line);
    row.text = std::move(text.html);
    row.search = std::move(text.plain);
}

void Mapper::attach_table(PageBuild& pb, const Node& table, const Trail* trail)
{
    if (pb.rows.empty())
        fail(trail, "a table before any sentence");
    SentenceRow& row = pb.rows.back();
    const Rich body = table_fragment(table, trail);
    TableRow t;
    t.id_bn = row.id_bn;
    t.order = 1;
    for (const TableRow& other : pb.tables)
        if (other.id_bn == row.id_bn)
            ++t.order;
    t.html = table_document(body);
    if (pb.references)
        t.html = mark_references(t.html, scope_);
    t.search = search_form(body.plain);
    row.table = true;
    pb.tables.push_back(std::move(t));
}

void Mapper::map_paragraph(PageBuild& pb, const Node& paragraph, const Trail* trail, const std::string& group,
                           const Rich* number)
{
    const std::string* hide = paragraph.attribute("Hide");
    if (hide && *hide == "true") {
        out_.notes.push_back(place_of(trail) + ": hidden, left out");
        return;
    }
    Rich text;
    if (const Node* caption = paragraph.child("ParagraphCaption")) {
        if (number) { // 附則: the caption is a line of its own
            Rich line = rich_of(caption);
            if (!line.empty())
                add_row(pb, trail, supplement_group(pb, trail), line);
        } else {
            text = rich_of(caption);
            if (!text.empty())
                text.html += "<br>";
        }
    }
    std::string id = pb.page.id_fn + "-" + group + "-0000-0000-0000";
    if (number) {
        id = supplement_group(pb, trail);
        if (!number->empty()) {
            text.append(*number);
            text.append_text(kIdeographicSpace);
        }
    }
    Rich sentence;
    if (const Node* s = paragraph.child("ParagraphSentence"))
        sentence = rich_of(s);
    text.append(sentence);
    add_row(pb, trail, id, text);
    int ordinal = 0;
    for (const Node& child : paragraph.children) {
        if (child.is_text() || child.tag == "ParagraphCaption" || child.tag == "ParagraphNum" ||
            child.tag == "ParagraphSentence")
            continue;
        const Trail here{trail, &child};
        if (child.tag == "Item")
            map_item(pb, child, &here, 1, id, ++ordinal);
        else
            add_lines(pb, child, &here);
    }
}

// The numbering style that makes the reader's label of a level equal to the
// official title; when none can, a style without label, and the title is
// written into the text (only items and イ-level sub-items can go without label).
std::string Mapper::numbering_style(const std::string& id, int level, const std::string& title, bool& show_title) const
{
    show_title = false;
    const std::string wanted = comparable(title);
    if (wanted.empty())
        return {};
    static const LevelBits bits[] = {level::Item, level::SubItem, level::SubSubItem, level::Fifth};
    static const std::vector<std::string> alternatives[] = {
        {"", "    B"}, {"", "        B"}, {"", "         B"}, {""}};
    static const char* silent[] = {"    C", "        C", nullptr, nullptr};
    for (const std::string& style : alternatives[level - 1]) {
        std::string label;
        rules_._sentence_label(id, label, bits[level - 1], style, false);
        if (comparable(label) == wanted)
            return style;
    }
    if (!silent[level - 1])
        return {};
    show_title = true;
    return silent[level - 1];
}

void Mapper::map_item(PageBuild& pb, const Node& item, const Trail* trail, int level, std::string id, int ordinal)
{
    const std::string* hide = item.attribute("Hide");
    if (hide && *hide == "true") {
        out_.notes.push_back(place_of(trail) + ": hidden, left out");
        return;
    }
    const std::string tag = item_tag(level);
    if (level > 4) {
        // Deeper than the reader's numbering (Subitem4 and below): a line of
        // the sentence above with its own title.
        add_lines(pb, item, trail);
        return;
    }
    const Num num = parse_num(item, trail, ordinal, false);
    const std::string shown = item.attribute("Num") ? "Num \"" + *item.attribute("Num") + "\"" : "number " + std::to_string(ordinal);
    const int number = num.parts[0];
    switch (level) {
    case 1: {
        if (num.parts.size() > 2)
            fail(trail, shown + " has more than one branch");
        if (number < 1 || number > 99)
            fail(trail, shown + " does not fit the two digits of an item number");
        const int branch = num.parts.size() == 2 ? num.parts[1] : 0;
        if (num.parts.size() == 2 && (branch < 1 || branch > 35))
            fail(trail, shown + " has a branch outside 1 to 35");
        id.replace(21, 2, two_digits(number));
        id[23] = code_char(branch);
        break;
    }
    case 2:
        if (num.parts.size() > 1)
            fail(trail, shown + " has a branch, which sub-item numbers cannot hold");
        if (number < 1 || number > 99)
            fail(trail, shown + " does not fit the two digits of a sub-item number");
        id.replace(26, 2, two_digits(number));
        break;
    case 3:
    case 4: {
        const int limit = level == 3 ? 35 : 14;
        if (num.parts.size() > 1)
            fail(trail, shown + " has a branch, which sub-item numbers cannot hold");
        if (number < 1 || number > limit)
            fail(trail, shown + " is outside 1 to " + std::to_string(limit));
        id[level == 3 ? 28 : 29] = code_char(number);
        break;
    }
    }
    const Node* title = item.child(tag + "Title");
    bool show_title = false;
    const std::string style = numbering_style(id, level, plain_of(title), show_title);
    Rich text;
    if (show_title) {
        text = rich_of(title);
        text.append_text(kIdeographicSpace);
    }
    text.append(rich_of(item.child(tag + "Sentence")));
    add_row(pb, trail, id, text, style);
    map_rest(pb, item, trail, level, id);
}

void Mapper::map_rest(PageBuild& pb, const Node& node, const Trail* trail, int level, std::string_view id)
{
    const std::string tag = item_tag(level);
    const std::string next = item_tag(level + 1);
    int ordinal = 0;
    for (const Node& child : node.children) {
        if (child.is_text() || child.tag == tag + "Title" || child.tag == tag + "Sentence")
            continue;
        const Trail here{trail, &child};
        if (child.tag == next)
            map_item(pb, child, &here, level + 1, std::string(id), ++ordinal);
        else
            add_lines(pb, child, &here);
    }
}

void Mapper::finish_page(PageBuild& pb)
{
    for (SentenceRow& row : pb.rows) {
        if (pb.references)
            row.text = mark_references(row.text, scope_);
        row.search = search_form(row.search);
    }
    pb.page.sentences = static_cast<int>(pb.rows.size());
    pb.page.large = pb.page.sentences > options_.large;
    out_.pages.push_back(std::move(pb.page));
    for (SentenceRow& row : pb.rows)
        out_.sentences.push_back(std::move(row));
    for (TableRow& table : pb.tables)
        out_.tables.push_back(std::move(table));
}

// --- 附則 ---

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

// --- 別表 ---

void Mapper::map_appendix_table(const Node& table, const Trail* trail, std::set<std::string>& seen)
{
    const std::string title = plain_of(table.child("AppdxTableTitle"));
    int number = -1, branch = 0;
    if (table.attribute("Num") && !table.attribute("Num")->empty()) {
        const Num num = parse_num(table, trail, 0, true);
        if (num.parts.size() > 2)
            fail(trail, "Num \"" + *table.attribute("Num") + "\" has more than one branch");
        number = num.parts[0];
        branch = num.parts.size() == 2 ? num.parts[1] : 0;
    } else if (title.rfind("別表", 0) == 0) {
        // "別表第一", "別表第二の二", or a lone "別表"
        std::string_view rest = std::string_view(title).substr(6);
        number = 0;
        if (rest.substr(0, 3) == "第") {
            rest.remove_prefix(3);
            std::size_t end = 0;
            while (end < rest.size() && kanji_number(rest.substr(0, end + 3)) > 0)
                end += 3;
            number = kanji_number(rest.substr(0, end));
            rest.remove_prefix(end);
            if (rest.substr(0, 3) == "の") {
                rest.remove_prefix(3);
                end = 0;
                while (end < rest.size() && kanji_number(rest.substr(0, end + 3)) > 0)
                    end += 3;
                branch = std::max(0, kanji_number(rest.substr(0, end)));
            }
        }
    }
    if (number < 0)
        fail(trail, "an appended table without Num and without a 別表 title");
    if (number > 999 || branch > 99)
        fail(trail, "table number " + std::to_string(number) + " does not fit three digits (branch two)");
    char id[32];
    std::snprintf(id, sizeof id, "%s-T%03d%02d00-00", options_.law_id.c_str(), number, branch);
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

} // namespace

bool map_law(const Node& law, const MapOptions& options, LawRows& rows, std::string& error)
{
    rows = LawRows{};
    try {
        Mapper(options, rows).run(law);
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
