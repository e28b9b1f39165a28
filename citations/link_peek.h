// What an internal link points to, for a preview beside it: the paragraph or
// item of the article it names, or else the article's first paragraph; the
// first rows of a table; the title of a notification.
//
// The paragraph is the link's pinpoint target when it has one, else the one
// the words after the link name ("法[第6条/01A]第一項第二号" points to 第6条
// 第1項第2号), found as the jump field finds a typed citation
// (citations/citation_resolver.h). The preview is composed by the document
// (CVeltoDoc::_html_peek). Nothing here changes the document: no page is
// shown, no history recorded, no pinpoint table touched.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace velto {

class CVeltoDoc;
class CitationResolver;

struct PeekTarget {
    std::string page;    // the page (ID_FN) that holds what is shown
    std::string anchor;  // ID_BN of its first sentence; empty for the page's top
    std::string scope;   // the sentences shown begin with this (empty: the whole page)
    std::string heading; // 建築基準法施行令 第19条第1項　【確認を要する建築物】
    bool pinpoint = false; // the link's own pinpoint target
    bool named = false;    // named by the words after the link
};

class LinkPeek {
public:
    // `doc` must be started and outlive the peek.
    explicit LinkPeek(CVeltoDoc& doc);
    ~LinkPeek();
    LinkPeek(const LinkPeek&) = delete;
    LinkPeek& operator=(const LinkPeek&) = delete;

    // What the link to page `link_id` (the ID_FN its address names) whose id
    // is `anchor_id` (may be empty) points to. False when it leads to nothing
    // that can be previewed (the program's own pages, a page the reader does
    // not show).
    bool target(std::string_view anchor_id, std::string_view link_id, PeekTarget& out);

    // The target and its preview page. False when there is nothing to show.
    bool compose(std::string_view anchor_id, std::string_view link_id, PeekTarget& target, std::string& html);

private:
    // The paragraph or item the words after the link name; false when they name none.
    bool named_by_following_words(std::string_view anchor_id, std::string_view link_id, PeekTarget& out);
    // The first paragraph of the page; when the page begins with a caption
    // line of its own ("（施行期日）"), the paragraph below it, and the
    // caption ("施行期日") is returned.
    std::string first_paragraph(PeekTarget& out);

    CVeltoDoc& doc_;
    std::unique_ptr<CitationResolver> resolver_;
};

} // namespace velto
