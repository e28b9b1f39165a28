// Reading the text of a law tree: places for messages, the known elements,
// and the sentence text in its two forms (HTML for the page, plain for the
// search).
#pragma once

#include "tools/import/law_tree.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velto::import {

inline constexpr std::string_view kIdeographicSpace = "　";

// A fault of the input; its message names the place.
struct MapError {
    std::string message;
};

// The way from the root to a node, kept on the stack while the tree is read.
struct Trail {
    const Trail* up;
    const Node* node;
};

// "Law/LawBody/MainProvision/Chapter[2]/Article[6_2] (line 88)": Num in
// brackets, else the position among siblings of the same name when there
// are several; the line of the innermost node that has one.
std::string place_of(const Trail* trail);
[[noreturn]] void fail(const Trail* trail, const std::string& what);

// Fails on the first element that the law XML does not know.
void check_tags(const Node& node, const Trail* up);

// Law, LawBody, MainProvision, SupplProvision and the headings.
bool is_structural(std::string_view tag);
// Nesting level of an item: Item 1, Subitem1 2 ... Subitem10 11; 0 for other tags.
int item_level(std::string_view tag);
std::string item_tag(int level);
bool ends_with(std::string_view text, std::string_view end);

// Text as HTML that shows exactly that text. Besides the characters of HTML
// markup and attributes (& < > " '), the square brackets are written as
// character references: the reader takes "[第", "[L" and "[K" in stored text
// as its own link and keyword marks, which official text must never open.
std::string html_text(std::string_view text);

struct Rich {
    std::string html;  // escaped, with <sup>, <sub> and <br>
    std::string plain; // the bare text

    bool empty() const { return html.empty(); }
    void append(const Rich& other);
    void append_text(std::string_view text); // html_text() for the HTML form
    void append_line(const Rich& line);     // a further line of the same sentence
};

// The text of a node in reading order: Ruby as its base text, Sub and Sup
// marked, Column texts joined by a full-width space.
void inline_of(const Node& node, Rich& out);
Rich rich_of(const Node* node);
std::string plain_of(const Node* node);

using TableHook = std::function<void(const Node& table, const Trail* trail)>;

// The text of a node as lines: numbered parts as their number and sentence,
// everything else as the lines of its parts. Tables go to the hook.
void collect_lines(const Node& node, const Trail* up, std::vector<Rich>& lines, const TableHook& on_table);

// 検索用データ of a text: Latin letters as single-byte upper case, digits single-byte.
std::string search_form(std::string_view text);

} // namespace velto::import
