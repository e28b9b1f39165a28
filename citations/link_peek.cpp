#include "citations/link_peek.h"

#include "citations/citation_parser.h"
#include "citations/citation_resolver.h"
#include "compose/citation_spans.h"
#include "compose/html_format.h"
#include "citations/link_index.h"
#include "citations/readable_text.h"
#include "compose/velto_doc.h"
#include "core/identifiers.h"
#include "core/sjis.h"

namespace velto {

namespace {

constexpr std::size_t kArticleWidth = 12;
constexpr std::size_t kSentenceWidth = 35;
constexpr std::string_view kKeyJoint = "-to-";
// How many characters after a link may name its paragraph and item.
constexpr std::size_t kFollowingWords = 24;

// "第1項第二号" of an article's sentence; empty when it has none.
std::string provision_words(std::string_view sentence)
{
    SentenceFields f;
    if (!IdentifierRules::_parse_sentence_id(sentence, 0x3F, f))
        return {};
    std::string words;
    if (f.paragraph > 0)
        words += "第" + std::to_string(f.paragraph) + "項";
    if (f.item > 0) {
        words += "第" + IdentifierRules::_kanji_numeral(f.item) + "号";
        if (f.item_branch > 0)
            words += "の" + IdentifierRules::_kanji_numeral(f.item_branch);
    }
    return words;
}

} // namespace

LinkPeek::LinkPeek(CVeltoDoc& doc) : doc_(doc) {}

LinkPeek::~LinkPeek() = default;

bool LinkPeek::target(std::string_view anchor_id, std::string_view link_id, PeekTarget& out)
{
    out = PeekTarget{};
    // A citation of a paragraph or item links its first sentence: that provision is shown.
    const std::string place = link_id.size() == kSentenceWidth ? std::string(link_id) : std::string();
    if (!place.empty())
        link_id = link_id.substr(0, kPageScope);
    IdKind kind;
    std::string caption, supplement;
    if (link_id.size() != kPageScope || !CVeltoDoc::_id_kind(link_id, kind) || kind == IdKind::Special ||
        !doc_._page_names(link_id, caption, supplement))
        return false;
    if (caption == "なし")
        caption.clear();
    out.page = std::string(link_id);
    const std::string law = doc_._law_name(link_id.substr(0, 3), kLawNameGeneral);
    std::string label;
    switch (kind) {
    case IdKind::Notice:
        if (!CVeltoDoc::_notice_number_label(link_id, label, false))
            return false;
        out.heading = law + " " + label + (caption.empty() ? "" : "　" + caption);
        return true;
    case IdKind::Table:
        if (!CVeltoDoc::_table_label(link_id, label))
            return false;
        out.heading = law + " " + label + (caption.empty() ? "" : "　" + caption);
        return true;
    case IdKind::Supplement: label = "附則"; break;
    case IdKind::Article:
        if (!CVeltoDoc::_article_label(link_id, label))
            return false;
        break;
    case IdKind::Special: return false;
    }

    std::string heading = law + " " + label;
    const std::string chosen = doc_._pinpoint_target(anchor_id);
    const std::string pinpoint = chosen.empty() ? place : chosen;
    std::string name;
    if (pinpoint.size() == kSentenceWidth && pinpoint.compare(0, kArticleWidth, link_id, 0, kArticleWidth) == 0 &&
        doc_._page_names(pinpoint.substr(0, kPageScope), name, supplement)) {
        out.page = pinpoint.substr(0, kPageScope);
        out.anchor = pinpoint;
        out.scope = provision_scope(pinpoint);
        out.pinpoint = !chosen.empty(); // else a citation names its provision itself
        if (kind == IdKind::Article)
            heading += provision_words(pinpoint);
    } else if (kind == IdKind::Article && named_by_following_words(anchor_id, link_id, out)) {
        heading = out.heading;
    } else if (const std::string line = first_paragraph(out); !line.empty() && (caption.empty() || kind == IdKind::Supplement)) {
        caption = line;
    }
    out.heading = caption.empty() ? heading : heading + "　【" + caption + "】";
    return true;
}

bool LinkPeek::named_by_following_words(std::string_view anchor_id, std::string_view link_id, PeekTarget& out)
{
    if (anchor_id.size() < kSentenceWidth + kKeyJoint.size() + 1 ||
        anchor_id.substr(kSentenceWidth, kKeyJoint.size()) != kKeyJoint)
        return false;
    const char kind = anchor_id[anchor_id.size() - 3]; // p, t, m or r (a reference block has no words after it)
    if (kind != 'p' && kind != 't' && kind != 'm')
        return false;
    const std::string_view owner = anchor_id.substr(0, kSentenceWidth);
    const bool table = kind == 't';
    std::string following;
    try {
        const ReadableText text =
            readable_text(marked_links_html(doc_.database(), owner, table), anchor_id);
        if (text.reference_end == std::string::npos)
            return false;
        following = std::string(utf8_substr(std::string_view(text.text).substr(text.reference_end), 0, kFollowingWords));
    } catch (const ComponentError&) {
        return false; // the preview then shows the first paragraph
    }
    const std::string normal = normalize_citation(following);
    const std::size_t parts = leading_parts_length(normal);
    int article = 0, branch1 = 0, branch2 = 0;
    if (parts == 0 || !CVeltoDoc::_parse_article_id(link_id, article, branch1, branch2))
        return false;
    std::string citation = std::string(link_id.substr(0, 3)) + "第" + std::to_string(article) + "条";
    if (branch1 > 0)
        citation += "の" + std::to_string(branch1);
    if (branch1 > 0 && branch2 > 0)
        citation += "の" + std::to_string(branch2);
    citation += normal.substr(0, parts);

    if (!resolver_)
        resolver_ = open_citation_resolver(doc_);
    const CitationResult found = resolver_->resolve(citation);
    if (!found.found || found.target.anchor.empty() ||
        found.target.page.compare(0, kArticleWidth, link_id, 0, kArticleWidth) != 0)
        return false;
    out.page = found.target.page;
    out.anchor = found.target.anchor;
    out.scope = found.target.scope;
    out.heading = found.target.label;
    out.named = true;
    return true;
}

std::string LinkPeek::first_paragraph(PeekTarget& out)
{
    std::vector<std::pair<std::string, std::string>> sentences; // id, text
    try {
        const std::string page = sql_escape(out.page);
        auto rs = doc_.database().execute(format(
            "SELECT ID_BN, 法文 FROM T_文 WHERE ID_BN > '%s-' AND ID_BN < '%s.' ORDER BY ID_BN LIMIT 40",
            page.c_str(), page.c_str()));
        for (; !rs->eof(); rs->move_next())
            sentences.emplace_back(rs->text("ID_BN"), rs->text("法文"));
    } catch (const ComponentError&) {
        sentences.clear(); // the preview then reads the page itself, and tells what fails
    }
    std::size_t first = 0;
    while (first < sentences.size() && sentences[first].first.size() != kSentenceWidth)
        ++first;
    if (first == sentences.size()) {
        out.scope = out.page;
        return {};
    }
    std::string scope = sentences[first].first.substr(0, kParagraphScope);
    // A caption line of its own ("（施行期日）") goes into the heading, and
    // the paragraph below it is shown.
    const std::string& text = sentences[first].second;
    const bool caption_only = text.rfind("（", 0) == 0 && text.size() >= 3 &&
                              text.compare(text.size() - 3, 3, "）") == 0 &&
                              (first + 1 == sentences.size() || sentences[first + 1].first.compare(0, scope.size(), scope) != 0);
    std::string line;
    if (caption_only && first + 1 < sentences.size() && sentences[first + 1].first.size() == kSentenceWidth) {
        line = text.substr(3, text.size() - 6);
        ++first;
        scope = sentences[first].first.substr(0, kParagraphScope);
    }
    out.anchor = sentences[first].first;
    out.scope = scope;
    return line;
}

bool LinkPeek::compose(std::string_view anchor_id, std::string_view link_id, PeekTarget& target, std::string& html)
{
    html.clear();
    return this->target(anchor_id, link_id, target) &&
           doc_._html_peek(target.page, target.scope, target.heading, html);
}

} // namespace velto
