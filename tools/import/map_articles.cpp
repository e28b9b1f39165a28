// Articles of the main provision and the sentences of every page: paragraphs,
// items and sub-items, their further lines and tables.
#include "tools/import/law_mapping.h"

#include "core/sjis.h"
#include "tools/import/law_tables.h"

namespace velto::import::mapping {

namespace {

// "（目的）" -> "目的".
std::string without_parentheses(std::string text)
{
    if (text.size() >= 6 && text.substr(0, 3) == "（" && ends_with(text, "）"))
        return text.substr(3, text.size() - 6);
    return text;
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

} // namespace

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
    // The citations of the sentences are linked by the link pass once the
    // whole collection is written (citations/citation_links.h); the text
    // keeps the law's own words.
    for (SentenceRow& row : pb.rows)
        row.search = search_form(row.search);
    pb.page.sentences = static_cast<int>(pb.rows.size());
    pb.page.large = pb.page.sentences > options_.large;
    out_.pages.push_back(std::move(pb.page));
    for (SentenceRow& row : pb.rows)
        out_.sentences.push_back(std::move(row));
    for (TableRow& table : pb.tables)
        out_.tables.push_back(std::move(table));
}

} // namespace velto::import::mapping
