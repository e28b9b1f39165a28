#include "tools/import/law_text.h"

#include "core/sjis.h"

#include <unordered_set>

namespace velto::import {

std::string place_of(const Trail* trail)
{
    std::vector<const Trail*> chain;
    for (const Trail* t = trail; t; t = t->up)
        chain.push_back(t);
    std::string out;
    int line = 0;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Node* node = (*it)->node;
        if (!out.empty())
            out += '/';
        out += node->tag;
        const std::string* num = (*it)->up ? node->attribute("Num") : nullptr; // the Law's Num is its law number
        if (num && !num->empty()) {
            out += "[" + *num + "]";
        } else if ((*it)->up) {
            int count = 0, index = 0;
            for (const Node& sibling : (*it)->up->node->children)
                if (sibling.tag == node->tag && ++count && &sibling == node)
                    index = count;
            if (count > 1)
                out += "[#" + std::to_string(index) + "]";
        }
        if (node->line > 0)
            line = node->line;
    }
    if (line > 0)
        out += " (line " + std::to_string(line) + ")";
    return out;
}

[[noreturn]] void fail(const Trail* trail, const std::string& what) { throw MapError{place_of(trail) + ": " + what}; }

namespace {

// Every element name of the law XML schema.
const std::unordered_set<std::string_view>& known_tags()
{
    static const std::unordered_set<std::string_view> tags = [] {
        std::unordered_set<std::string_view> t = {
            "Law", "LawNum", "LawBody", "LawTitle", "EnactStatement", "TOC", "TOCLabel", "TOCPreambleLabel",
            "TOCPart", "TOCChapter", "TOCSection", "TOCSubsection", "TOCDivision", "TOCArticle",
            "TOCSupplProvision", "TOCAppdxTableLabel", "ArticleRange", "Preamble", "MainProvision", "Part",
            "PartTitle", "Chapter", "ChapterTitle", "Section", "SectionTitle", "Subsection", "SubsectionTitle",
            "Division", "DivisionTitle", "Article", "ArticleTitle", "ArticleCaption", "Paragraph",
            "ParagraphCaption", "ParagraphNum", "ParagraphSentence", "SupplNote", "AmendProvision",
            "AmendProvisionSentence", "NewProvision", "Class", "ClassTitle", "ClassSentence", "Item", "ItemTitle",
            "ItemSentence", "Sentence", "Column", "SupplProvision", "SupplProvisionLabel",
            "SupplProvisionAppdxTable", "SupplProvisionAppdxTableTitle", "SupplProvisionAppdxStyle",
            "SupplProvisionAppdxStyleTitle", "SupplProvisionAppdx", "AppdxTable", "AppdxTableTitle", "AppdxNote",
            "AppdxNoteTitle", "AppdxStyle", "AppdxStyleTitle", "AppdxFormat", "AppdxFormatTitle", "Appdx",
            "ArithFormulaNum", "ArithFormula", "AppdxFig", "AppdxFigTitle", "TableStruct", "TableStructTitle",
            "Table", "TableRow", "TableHeaderRow", "TableHeaderColumn", "TableColumn", "FigStruct",
            "FigStructTitle", "Fig", "NoteStruct", "NoteStructTitle", "Note", "StyleStruct", "StyleStructTitle",
            "Style", "FormatStruct", "FormatStructTitle", "Format", "RelatedArticleNum", "Remarks", "RemarksLabel",
            "List", "ListSentence", "Sublist1", "Sublist1Sentence", "Sublist2", "Sublist2Sentence", "Sublist3",
            "Sublist3Sentence", "QuoteStruct", "Ruby", "Rt", "Line", "Sup", "Sub", "CenterContent"};
        static std::vector<std::string> numbered;
        for (int i = 1; i <= 10; ++i)
            for (const char* suffix : {"", "Title", "Sentence"})
                numbered.push_back("Subitem" + std::to_string(i) + suffix);
        for (const std::string& name : numbered)
            t.insert(name);
        return t;
    }();
    return tags;
}

} // namespace

void check_tags(const Node& node, const Trail* up)
{
    const Trail here{up, &node};
    if (!known_tags().count(node.tag))
        fail(&here, "unknown element <" + node.tag + ">");
    for (const Node& child : node.children)
        if (!child.is_text())
            check_tags(child, &here);
}

bool is_structural(std::string_view tag)
{
    return tag == "Law" || tag == "LawBody" || tag == "MainProvision" || tag == "SupplProvision" || tag == "Part" ||
           tag == "Chapter" || tag == "Section" || tag == "Subsection" || tag == "Division";
}

int item_level(std::string_view tag)
{
    if (tag == "Item")
        return 1;
    if (tag.substr(0, 7) == "Subitem" && tag.size() <= 9 && tag.size() > 7) {
        int n = 0;
        for (char c : tag.substr(7)) {
            if (c < '0' || c > '9')
                return 0;
            n = n * 10 + (c - '0');
        }
        return n >= 1 && n <= 10 ? n + 1 : 0;
    }
    return 0;
}

std::string item_tag(int level) { return level == 1 ? "Item" : "Subitem" + std::to_string(level - 1); }

bool ends_with(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// --- text ---

void Rich::append(const Rich& other)
{
    html += other.html;
    plain += other.plain;
}

std::string html_text(std::string_view text)
{
    std::string html;
    html.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': html += "&amp;"; break;
        case '<': html += "&lt;"; break;
        case '>': html += "&gt;"; break;
        case '"': html += "&quot;"; break;
        case '\'': html += "&#39;"; break;
        case '[': html += "&#91;"; break;
        case ']': html += "&#93;"; break;
        default: html += c;
        }
    }
    return html;
}

void Rich::append_text(std::string_view text)
{
    html += html_text(text);
    plain += text;
}

void Rich::append_line(const Rich& line)
{
    if (line.empty())
        return;
    if (!empty()) {
        html += "<br>";
        plain += kIdeographicSpace;
    }
    append(line);
}

void inline_of(const Node& node, Rich& out)
{
    if (node.is_text()) {
        out.append_text(node.text);
        return;
    }
    if (node.tag == "Rt")
        return; // a reading: Ruby shows its base text only
    if (node.tag == "Fig") {
        out.append_text("［図］");
        return;
    }
    const bool sup = node.tag == "Sup", sub = node.tag == "Sub";
    if (sup || sub)
        out.html += sup ? "<sup>" : "<sub>";
    bool first = true;
    for (const Node& child : node.children) {
        if (child.tag == "Column" && !first)
            out.append_text(kIdeographicSpace);
        inline_of(child, out);
        first = false;
    }
    if (sup || sub)
        out.html += sup ? "</sup>" : "</sub>";
}

Rich rich_of(const Node* node)
{
    Rich r;
    if (node)
        inline_of(*node, r);
    return r;
}

std::string plain_of(const Node* node) { return rich_of(node).plain; }

namespace {

// A node that is read as one line of text.
bool is_line(const Node& node)
{
    const std::string_view tag = node.tag;
    if (tag == "Sentence" || tag == "Column" || ends_with(tag, "Sentence") || ends_with(tag, "Title") ||
        ends_with(tag, "Label") || ends_with(tag, "Caption") || ends_with(tag, "Num"))
        return true;
    for (const Node& child : node.children)
        if (child.is_text() || child.tag == "Ruby" || child.tag == "Sup" || child.tag == "Sub" ||
            child.tag == "Line" || child.tag == "ArithFormula")
            return true;
    return false;
}

} // namespace

void collect_lines(const Node& node, const Trail* up, std::vector<Rich>& lines, const TableHook& on_table)
{
    const Trail here{up, &node};
    const std::string& tag = node.tag;
    if (is_structural(tag) && tag != "Part" && tag != "Chapter" && tag != "Section" && tag != "Subsection" &&
        tag != "Division")
        fail(&here, "<" + tag + "> where text is expected");
    if (tag == "TableStruct" || tag == "Table") {
        on_table(node, &here);
        return;
    }
    if (tag == "FigStruct") {
        Rich line = rich_of(node.child("FigStructTitle"));
        line.append_text(line.empty() ? "［図］" : "　［図］");
        lines.push_back(line);
        return;
    }
    const int level = item_level(tag);
    const bool numbered = level > 0 || tag == "Paragraph" || tag.substr(0, 7) == "Sublist" || tag == "Article";
    if (numbered) {
        Rich line;
        const Node* head = nullptr;
        const Node* sentence = nullptr;
        for (const Node& child : node.children) {
            if (child.is_text())
                continue;
            if (!head && (ends_with(child.tag, "Title") || child.tag == "ParagraphNum"))
                head = &child;
            else if (!sentence && ends_with(child.tag, "Sentence"))
                sentence = &child;
        }
        if (const Node* caption = node.child(tag == "Article" ? "ArticleCaption" : "ParagraphCaption"))
            lines.push_back(rich_of(caption));
        line = rich_of(head);
        const Rich text = rich_of(sentence);
        if (!line.empty() && !text.empty())
            line.append_text(kIdeographicSpace);
        line.append(text);
        if (!line.empty())
            lines.push_back(line);
        for (const Node& child : node.children)
            if (!child.is_text() && &child != head && &child != sentence && !ends_with(child.tag, "Caption"))
                collect_lines(child, &here, lines, on_table);
        return;
    }
    if (is_line(node)) {
        Rich line = rich_of(&node);
        if (!line.empty())
            lines.push_back(line);
        return;
    }
    for (const Node& child : node.children)
        if (!child.is_text())
            collect_lines(child, &here, lines, on_table);
}

std::string search_form(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode_at(text, pos);
        char32_t code = c.code;
        if (c.code == 0xFFFD && c.bytes == 1) {
            out += text[pos];
            pos += 1;
            continue;
        }
        pos += c.bytes;
        if (code >= 0xFF10 && code <= 0xFF19)
            code = '0' + (code - 0xFF10);
        else if (code >= 0xFF21 && code <= 0xFF3A)
            code = 'A' + (code - 0xFF21);
        else if (code >= 0xFF41 && code <= 0xFF5A)
            code = 'A' + (code - 0xFF41);
        else if (code >= 'a' && code <= 'z')
            code -= 'a' - 'A';
        utf8_append(out, code);
    }
    return out;
}

} // namespace velto::import
