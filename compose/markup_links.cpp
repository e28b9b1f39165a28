// Internal links: article references and explicit link markers.
#include "compose/markup.h"

#include "compose/marked_spans.h"
#include "core/sjis.h"
#include "core/text_format.h"
#include "core/text_replace.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

namespace velto {

namespace {

constexpr std::size_t npos = std::string_view::npos;

constexpr std::string_view kReferenceOpen = "[第";
constexpr std::string_view kReferenceClose = "]";
constexpr std::string_view kLinkOpen = "[L";
constexpr std::string_view kLinkClose = "L]";
constexpr std::string_view kAddressMarker = "_VELTO";

// The "]" of a reference may lie at most this many bytes after its "[".
constexpr std::size_t kReferenceReach = 21;
// The text between "[L" and "L]" must be shorter than this.
constexpr std::size_t kExplicitLinkLimit = 80;
// A law identifier, and the law part of a LinkTarget, is 3 bytes long.
constexpr std::size_t kLawWidth = 3;
// The length of a sentence identifier (ID_BN) and of a link's page identifier.
constexpr std::size_t kSentenceIdWidth = 35;
constexpr std::size_t kLinkIdWidth = 12;

// The number at the start of a digit field the way the stored data was
// written to be read: optional blanks, an optional sign, then decimal digits
// up to the first other character. A field without digits is 0.
int leading_number(std::string_view field)
{
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    int value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9' && value < 100000; ++i)
        value = value * 10 + (field[i] - '0');
    return negative ? -value : value;
}

// The number in text[from, to) when its Shift-JIS width is between 1 and
// `max_width`; -1 when the field fails that length test.
int digit_field(std::string_view text, std::size_t from, std::size_t to, std::size_t max_width)
{
    if (from == npos || to == npos || to <= from)
        return -1;
    const std::size_t width = sjis_width_upto(text, from, to, max_width);
    if (width < 1 || width > max_width)
        return -1;
    return leading_number(text.substr(from, to - from));
}

std::string two_digits(int n)
{
    return padded_number(n, 2);
}

// One stored reference, "[第" ... "]", taken apart.
struct Reference {
    std::string replaced; // the stored form that is replaced by the link
    std::string visible;  // the link text
    std::string law;      // the law identifier after "/", if one was given
    bool has_law = false;
    int article = 0;
    int branch1 = 0;
    int branch2 = 0;
};

// Parses a reference text running from "[" through its first "]".
Reference parse_reference(std::string_view stored)
{
    Reference ref;
    std::string text(stored);
    if (const std::size_t slash = stored.find('/'); slash != npos) {
        // The law identifier is what follows "/" up to 3 bytes, the closing
        // "]" included when the identifier is shorter: such a reference is then
        // not found again below and its brackets are dropped.
        ref.has_law = true;
        ref.law = std::string(sjis_prefix(stored.substr(slash + 1), kLawWidth));
        text = std::string(stored.substr(0, slash)) + "]";
        ref.replaced = std::string(stored.substr(0, slash)) + "/" + ref.law + "]";
    } else {
        ref.replaced = text;
    }
    ref.visible = text.substr(1, text.size() - 2);

    const std::size_t end = text.size() - 1; // the closing "]"
    const std::size_t dai = find_text(text, "第");
    const std::size_t jo = find_text(text, "条");
    if (dai == npos || jo == npos || jo < dai)
        return ref;
    ref.article = digit_field(text, dai + std::string_view("第").size(), jo, 4);
    if (ref.article <= 0) {
        ref.article = 0;
        return ref;
    }

    constexpr std::string_view no = "の";
    const std::size_t first = find_text(text, no, jo + std::string_view("条").size());
    if (first == npos)
        return ref;
    const std::size_t second = find_text(text, no, first + no.size());
    ref.branch1 = digit_field(text, first + no.size(), second != npos ? second : end, 2);
    if (ref.branch1 <= 0) {
        ref.branch1 = 0;
        return ref;
    }
    // The second branch follows the second "の" of the whole reference.
    const std::size_t any_first = find_text(text, no);
    const std::size_t any_second = any_first == npos ? npos : find_text(text, no, any_first + no.size());
    if (any_second == npos)
        return ref;
    ref.branch2 = std::max(0, digit_field(text, any_second + no.size(), end, 2));
    return ref;
}

// Where each stored reference form occurs in a text, built on first use: the
// text from every "[第" through its first "]", when short enough to be one.
class ReferenceIndex {
public:
    explicit ReferenceIndex(std::string_view text) : text_(text) {}

    bool occurs(std::string_view replaced)
    {
        build();
        const std::size_t close = find_whole(replaced, kReferenceClose);
        if (close == npos)
            return false;
        const auto it = spans_.find(replaced.substr(0, close + kReferenceClose.size()));
        if (it == spans_.end())
            return false;
        return std::any_of(it->second.begin(), it->second.end(), [&](std::size_t at) {
            return text_.substr(at, replaced.size()) == replaced && is_char_boundary(text_, at + replaced.size());
        });
    }

private:
    // A reference form is at most 22 Shift-JIS bytes up to its first "]",
    // which no character encoding stretches beyond this many UTF-8 bytes.
    static constexpr std::size_t kLongestKey = 4 * (kReferenceReach + 1);

    void build()
    {
        if (built_)
            return;
        built_ = true;
        std::size_t close = 0;
        bool close_known = false;
        for (std::size_t at = find_whole(text_, kReferenceOpen); at != npos;
             at = find_whole(text_, kReferenceOpen, at + 1)) {
            if (!close_known || close < at) {
                close = find_whole(text_, kReferenceClose, at);
                close_known = true;
            }
            if (close == npos)
                break;
            if (close + 1 - at <= kLongestKey)
                spans_[text_.substr(at, close + 1 - at)].push_back(at);
        }
    }

    std::string_view text_;
    bool built_ = false;
    std::unordered_map<std::string_view, std::vector<std::size_t>> spans_;
};

std::string anchored_link(std::string_view anchor, std::string_view target, std::string_view visible)
{
    std::string link = "<a id=\"";
    link.append(anchor).append("\" href='http://").append(target).append(kAddressMarker).append("'>");
    link.append(visible).append("</a>");
    return link;
}

std::string plain_link(std::string_view target, std::string_view visible)
{
    std::string link = "<a href='http://";
    link.append(target).append(kAddressMarker).append("'>").append(visible).append("</a>");
    return link;
}

} // namespace

std::string TextMarkup::_mark_article_links(std::string_view owner, std::string_view text, bool table) const
{
    if (sjis_width_below(text, 2) || find_whole(text, kReferenceOpen) == npos) // most sentences cite nothing so
        return std::string(text);

    // Decide, in one scan of the stored text, which references become links;
    // then replace every occurrence of each in one pass.
    SpanReplacer links(kReferenceOpen, kReferenceClose);
    std::vector<std::string> anchors; // by link index
    ReferenceIndex index(text);
    bool strip_brackets = false;
    const std::string_view owner_law = sjis_prefix(owner, kLawWidth);

    for (std::size_t scan = 0;;) {
        const std::size_t open = find_whole(text, kReferenceOpen, scan);
        if (open == npos)
            break;
        const std::size_t close = find_whole(text, kReferenceClose, open);
        if (close == npos || sjis_width_upto(text, open, close, kReferenceReach) > kReferenceReach)
            break;
        scan = close + kReferenceClose.size();

        const Reference ref = parse_reference(text.substr(open, scan - open));
        if (ref.article <= 0 || links.index_of(ref.replaced) != npos)
            continue;
        const bool here = text.substr(open, ref.replaced.size()) == ref.replaced &&
                          is_char_boundary(text, open + ref.replaced.size());
        if (!here && !index.occurs(ref.replaced)) {
            // The stored form cannot be found again (a law part longer or
            // shorter than 3 bytes): rather than show raw markers, every square
            // bracket of the text goes, and with them any further reference.
            strip_brackets = true;
            break;
        }
        if (here)
            scan = std::max(scan, open + ref.replaced.size());

        const std::string digits = "-" + padded_number(ref.article, 4) + two_digits(ref.branch1) + two_digits(ref.branch2);
        const std::string target = (ref.has_law ? ref.law : std::string(owner_law)) + digits;
        const std::string anchor = std::string(owner) + "-to-" + target + (table ? "-t01" : "-p01");
        links.add(ref.replaced, anchored_link(anchor, target, ref.visible));
        anchors.push_back(anchor);
    }

    std::vector<std::size_t> counts;
    std::string out = links.apply(text, &counts);
    if (strip_brackets) {
        out.erase(std::remove_if(out.begin(), out.end(), [](char c) { return c == '[' || c == ']'; }), out.end());
    }
    // Stored forms that differ ("[第6条]", "[第6条/01A]", "[第 6条]") can name the
    // same target and so the same anchor: places are counted per anchor.
    std::unordered_map<std::string_view, std::size_t> places;
    for (std::size_t i = 0; i < anchors.size(); ++i)
        places[anchors[i]] += counts[i];
    std::vector<std::string> repeated;
    for (const auto& [anchor, count] : places) {
        if (count >= 2)
            repeated.emplace_back(anchor);
    }
    _number_anchors(out, repeated);
    return out;
}

std::string TextMarkup::_mark_explicit_links(std::string_view owner, std::string_view text) const
{
    if (sjis_width_below(text, 2) || find_whole(text, kLinkOpen) == npos)
        return std::string(text);

    const bool anchored = sjis_width(owner) == kSentenceIdWidth;
    SpanReplacer links(kLinkOpen, kLinkClose);
    std::vector<std::string> anchors;
    for (std::size_t scan = 0;;) {
        const std::size_t open = find_whole(text, kLinkOpen, scan);
        if (open == npos)
            break;
        const std::size_t close = find_whole(text, kLinkClose, open);
        const std::size_t inner = open + kLinkOpen.size();
        if (close == npos || close < inner ||
            sjis_width_upto(text, inner, close, kExplicitLinkLimit - 1) >= kExplicitLinkLimit)
            break;
        const std::string_view marker = text.substr(open, close + kLinkClose.size() - open);
        const std::size_t slash = marker.find('/');
        if (slash == npos)
            break;
        const std::string_view visible = marker.substr(kLinkOpen.size(), slash - kLinkOpen.size());
        const std::string_view id = marker.substr(slash + 1, marker.size() - kLinkClose.size() - slash - 1);
        if (sjis_width(id) != kLinkIdWidth)
            break; // this marker and every later one stay as stored
        if (anchored) {
            std::string anchor = std::string(owner) + "-to-" + std::string(id) + "-m01";
            links.add(marker, anchored_link(anchor, id, visible));
            anchors.push_back(std::move(anchor));
        } else {
            links.add(marker, plain_link(id, visible));
        }
        scan = close + 1;
    }

    std::string out = links.apply(text);
    std::sort(anchors.begin(), anchors.end());
    anchors.erase(std::unique(anchors.begin(), anchors.end()), anchors.end());
    _number_anchors(out, anchors);
    return out;
}

} // namespace velto
