// Emphasis inside sentence text: superscripts, defined terms and marked
// keywords.
#include "compose/markup.h"

#include "compose/marked_spans.h"
#include "core/sjis.h"
#include "core/text_replace.h"

#include <algorithm>
#include <array>

namespace velto {

namespace {

constexpr std::size_t npos = std::string_view::npos;

constexpr std::string_view kQuoteOpen = "「";
constexpr std::string_view kQuoteClose = "」";
constexpr std::string_view kDefinitionEnd = "」という。";
// The term of a definition is shorter than this (bytes between 「 and 」).
constexpr std::size_t kDefinitionLimit = 80;
constexpr std::string_view kDefinitionOpen = "<B STYLE=\"color: #996633\">";
constexpr std::string_view kDefinitionClose = "</B>";
// At most this many bytes between the markers of a marked span.
constexpr std::size_t kMarkedLimit = 79;

// The first match of `needle` at or after `from`, remembered: a later call
// with a `from` not past the remembered match reuses it, so a scan that moves
// forward searches each part of the text once.
class ForwardFinder {
public:
    ForwardFinder(std::string_view text, std::string_view needle) : text_(text), needle_(needle) {}

    std::size_t from(std::size_t pos)
    {
        if (!known_ || (found_ != npos && found_ < pos) || (found_ == npos && pos < searched_from_)) {
            found_ = find_whole(text_, needle_, pos);
            searched_from_ = pos;
            known_ = true;
        }
        return found_;
    }

private:
    std::string_view text_;
    std::string_view needle_;
    std::size_t found_ = npos;
    std::size_t searched_from_ = 0;
    bool known_ = false;
};

// The characters of a marker, each as its own UTF-8 text.
std::vector<std::string_view> characters_of(std::string_view marker)
{
    std::vector<std::string_view> out;
    for (std::size_t pos = 0; pos < marker.size();) {
        const std::size_t n = utf8_decode_at(marker, pos).bytes;
        out.push_back(marker.substr(pos, n));
        pos += n;
    }
    return out;
}

// Removes from the start every character that is one of `leading`, and from
// the end every character that is one of `trailing`.
std::string_view trim_characters(std::string_view span, std::string_view leading, std::string_view trailing)
{
    const auto lead = characters_of(leading);
    const auto trail = characters_of(trailing);
    std::vector<std::size_t> starts; // character starts of the span
    for (std::size_t pos = 0; pos < span.size(); pos += utf8_decode_at(span, pos).bytes)
        starts.push_back(pos);
    const auto char_at = [&](std::size_t i) {
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : span.size();
        return span.substr(starts[i], end - starts[i]);
    };
    std::size_t first = 0;
    while (first < starts.size() && std::find(lead.begin(), lead.end(), char_at(first)) != lead.end())
        ++first;
    std::size_t last = starts.size();
    while (last > first && std::find(trail.begin(), trail.end(), char_at(last - 1)) != trail.end())
        --last;
    if (first == last)
        return {};
    const std::size_t from = starts[first];
    const std::size_t to = last < starts.size() ? starts[last] : span.size();
    return span.substr(from, to - from);
}

} // namespace

void TextMarkup::_mark_superscripts(std::string_view unit, std::string_view exponent, std::string& text)
{
    if (unit.empty())
        return;
    std::string_view base;
    if (unit.size() >= exponent.size() && unit.substr(unit.size() - exponent.size()) == exponent) {
        base = unit.substr(0, unit.size() - exponent.size());
    } else {
        const std::size_t unit_width = sjis_width(unit);
        const std::size_t exponent_width = sjis_width(exponent);
        base = sjis_prefix(unit, unit_width > exponent_width ? unit_width - exponent_width : 0);
    }
    std::string replacement(base);
    replacement.append("<SUP>").append(exponent).append("</SUP>");
    const std::string needle(unit); // the unit may view the text itself
    replace_all(text, needle, replacement);
}

void TextMarkup::_mark_all_superscripts(std::string& text)
{
    const auto ends_a_unit = [](char before, char last) {
        for (const SuperscriptRule& rule : kSuperscriptRules)
            if (rule.unit.size() >= 2 && rule.unit.back() == last && rule.unit[rule.unit.size() - 2] == before)
                return true;
        return false;
    };
    bool any = false;
    for (std::size_t i = 1; i < text.size() && !any; ++i)
        any = (text[i] == '2' || text[i] == '3') && ends_a_unit(text[i - 1], text[i]);
    static_assert(std::all_of(kSuperscriptRules.begin(), kSuperscriptRules.end(), [](const SuperscriptRule& r) {
        return r.unit.size() >= 2 && (r.unit.back() == '2' || r.unit.back() == '3');
    }));
    if (!any)
        return;
    for (const SuperscriptRule& rule : kSuperscriptRules)
        _mark_superscripts(rule.unit, rule.exponent, text);
}

std::string TextMarkup::_emphasize_definitions(std::string_view text)
{
    // Which quoted terms are definitions is decided in one scan; then every
    // occurrence of each such term is emphasised.
    if (find_whole(text, kDefinitionEnd) == npos)
        return std::string(text); // nothing is defined here
    SpanReplacer terms(kQuoteOpen, kQuoteClose);
    ForwardFinder opens(text, kQuoteOpen);
    ForwardFinder closes(text, kQuoteClose);
    ForwardFinder definitions(text, kDefinitionEnd);
    for (std::size_t scan = 0;;) {
        const std::size_t open = opens.from(scan);
        if (open == npos)
            break;
        const std::size_t definition = definitions.from(scan);
        if (definition == npos)
            break; // no definition follows
        const std::size_t close = closes.from(scan);
        if (close < definition) {
            // An ordinary quotation (or a stray 」): go on after it.
            scan = close + kQuoteClose.size();
            continue;
        }
        if (open >= definition ||
            sjis_width_upto(text, open + kQuoteOpen.size(), definition, kDefinitionLimit - 1) >= kDefinitionLimit)
            break;
        const std::string_view term = text.substr(open, definition + kQuoteClose.size() - open);
        std::string emphasised(kDefinitionOpen);
        emphasised.append(term).append(kDefinitionClose);
        terms.add(term, emphasised);
        scan = definition + kQuoteClose.size();
    }
    return terms.apply(text);
}

void TextMarkup::_wrap_marked(std::string_view open, std::string_view close, std::string_view prefix,
                              std::string_view suffix, std::string& text)
{
    if (open.empty() || close.empty())
        return;
    const std::string open_marker(open), close_marker(close); // they may view `text`
    SpanReplacer spans(open_marker, close_marker);
    ForwardFinder opens(text, open_marker);
    ForwardFinder closes(text, close_marker);
    for (std::size_t scan = 0;;) {
        const std::size_t o = opens.from(scan);
        const std::size_t c = closes.from(scan);
        if (o == npos || c == npos || o >= c)
            break;
        const std::size_t inner = o + open_marker.size();
        if (sjis_width_upto(text, inner, c, kMarkedLimit) > kMarkedLimit)
            break;
        const std::string_view span = std::string_view(text).substr(o, c + close_marker.size() - o);
        std::string wrapped(prefix);
        wrapped.append(trim_characters(span, open_marker, close_marker)).append(suffix);
        spans.add(span, wrapped);
        scan = c + close_marker.size();
    }
    text = spans.apply(text);
}

void TextMarkup::_unwrap_marked(std::string_view open, std::string_view close, std::string& text)
{
    if (open.empty() || close.empty())
        return;
    const std::string open_marker(open), close_marker(close); // they may view `text`
    std::string out;
    std::size_t copied = 0;
    for (std::size_t scan = 0;;) {
        const std::size_t o = find_whole(text, open_marker, scan);
        if (o == npos)
            break;
        const std::size_t inner = o + open_marker.size();
        const std::size_t c = find_whole(text, close_marker, inner);
        if (c == npos)
            break;
        out.append(text, copied, o - copied).append(text, inner, c - inner);
        copied = scan = c + close_marker.size();
    }
    if (copied == 0)
        return;
    out.append(text, copied, std::string::npos);
    text = std::move(out);
}

} // namespace velto
