// The law document as a small tree of UTF-8 strings.
//
// Official law data comes in two forms: the law XML (Law, LawBody, Article ...)
// and the JSON the law API returns, where every element is an object
// {"tag", "attr", "children"} and text is a plain string. Both are read into
// the same tree, so everything after parsing sees one form only.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velto::import {

struct Node {
    std::string tag;  // element name; empty for a text node
    std::string text; // the text of a text node
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Node> children;
    int line = 0; // line of the start tag in an XML file; 0 when unknown

    bool is_text() const { return tag.empty(); }
    // The attribute's value, or null when the element has none of that name.
    const std::string* attribute(std::string_view name) const;
    // The first child element of that name, or null.
    const Node* child(std::string_view name) const;
};

// What a law API answer tells about its text besides the tree (law_info,
// revision_info); each field empty when absent or not of its form.
struct DocumentFacts {
    std::string law_id;      // "325AC0000000201"
    std::string revision_id; // "325AC0000000201_20251201_507AC0000000035"
    std::string enforced;    // the revision's 施行日, "2025-12-01"
    std::string amendment;   // law number of the amendment that made the revision
    // C0 control characters other than tab and line feed, left out of the
    // texts and attribute values of the tree.
    std::size_t dropped_controls = 0;
};

// True for a date "YYYY-MM-DD" that the calendar has (2024-02-29 yes,
// 2025-02-29 and 2025-13-45 no).
bool is_real_date(std::string_view date);

// Reads a law file: XML when it starts with "<", JSON when it starts with "{"
// (a leading byte order mark and white space are skipped). A JSON file is
// either a law API answer with the tree under "law_full_text" or the tree itself.
// Text that is nothing but white space (the indentation of pretty-printed files)
// is dropped, and so are C0 control characters other than tab and line feed
// in texts and attribute values (counted in `facts`). The root element must
// be Law. A 施行日 in the answer's facts that no calendar has is refused. A NUL character anywhere is
// refused, as the XML parser refuses it. On failure returns false and
// describes the failure, with its line and column where known, in `error`.
bool parse_law_document(std::string_view bytes, Node& root, std::string& error, DocumentFacts* facts = nullptr);

} // namespace velto::import
