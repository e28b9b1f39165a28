// Colouring of parenthetical phrases by nesting level.
//
// Which pairs are coloured, and at which level, is decided on the sentence as
// stored; the spans are then placed around the same brackets of the marked-up
// page text. A bracket is only ever looked for in text, never inside a tag,
// and a pair whose brackets lie in different elements (one inside a link or
// keyword mark, the other outside) stays plain, so the spans never cut into
// a link, a keyword or any other element.
#include "compose/markup.h"

#include "core/sjis.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace velto {

namespace {

constexpr std::size_t npos = std::string_view::npos;

constexpr char32_t kOpenParen = U'（';
constexpr char32_t kCloseParen = U'）';
// A pair is coloured only when its content is longer than this (Shift-JIS bytes).
constexpr std::size_t kShortestColoured = 11;
// Levels 0 to 2 are coloured; deeper ones are not.
constexpr std::size_t kDeepestColoured = 2;

// The end of the tag that starts at `pos` ("<" followed by a letter, "/", "!"
// or "?", through the next ">"), or npos when no tag starts there.
std::size_t tag_end(std::string_view text, std::size_t pos)
{
    if (text[pos] != '<' || pos + 1 >= text.size())
        return npos;
    const char next = text[pos + 1];
    if (!std::isalpha(static_cast<unsigned char>(next)) && next != '/' && next != '!' && next != '?')
        return npos;
    const std::size_t close = text.find('>', pos + 1);
    return close == npos ? npos : close + 1;
}

bool same_name(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool is_void_element(std::string_view name)
{
    static constexpr std::string_view kVoid[] = {"area", "base", "br",   "col",   "embed",  "hr",    "img",
                                                 "input", "link", "meta", "param", "source", "track", "wbr"};
    for (const std::string_view v : kVoid) {
        if (same_name(v, name))
            return true;
    }
    return false;
}

// One bracket outside tags.
struct Bracket {
    std::size_t pos = 0;     // byte position
    std::size_t size = 0;    // UTF-8 length
    std::size_t offset = 0;  // Shift-JIS offset in its text (measured texts only)
    std::size_t element = 0; // the innermost open element around it (0: none)
    bool open = false;
};

// "（" and "）" in UTF-8: a lead byte no other byte of a character can be, so
// a bracket is found by its bytes without decoding the text around it.
constexpr unsigned char kBracketLead = 0xEF;
constexpr unsigned char kBracketMiddle = 0xBC;
constexpr unsigned char kOpenLast = 0x88;
constexpr unsigned char kCloseLast = 0x89;
static_assert(kOpenParen == 0xFF08 && kCloseParen == 0xFF09);

// The brackets of a text in order, in one scan. With `measure` each gets its
// Shift-JIS offset (tags count with their width); the element each stands in
// is always told.
std::vector<Bracket> brackets_of(std::string_view text, bool measure)
{
    std::vector<Bracket> out;
    struct Open {
        std::string_view name; // as written; compared without regard to case
        std::size_t id;
    };
    std::vector<Open> elements;
    std::size_t next_id = 1;
    std::size_t measured = 0; // the offset is known up to this byte
    std::size_t offset = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    // Only "<" and the brackets' lead byte matter: the scan jumps from one to the next.
    const auto next_of = [&](unsigned char c, std::size_t from) {
        const void* at = from < text.size() ? std::memchr(bytes + from, c, text.size() - from) : nullptr;
        return at ? static_cast<std::size_t>(static_cast<const unsigned char*>(at) - bytes) : text.size();
    };
    std::size_t next_tag = next_of('<', 0);
    std::size_t next_lead = next_of(kBracketLead, 0);
    for (std::size_t pos = 0;;) {
        if (next_tag < pos)
            next_tag = next_of('<', pos);
        if (next_lead < pos)
            next_lead = next_of(kBracketLead, pos);
        pos = std::min(next_tag, next_lead);
        if (pos >= text.size())
            break;
        const unsigned char c = bytes[pos];
        if (c == '<') {
            const std::size_t end = tag_end(text, pos);
            if (end == npos) {
                ++pos;
                continue;
            }
            const bool closing = text[pos + 1] == '/';
            const std::size_t from = pos + (closing ? 2 : 1);
            std::size_t n = from;
            while (n < end && std::isalnum(static_cast<unsigned char>(text[n])))
                ++n;
            const std::string_view name = text.substr(from, n - from);
            if (closing) {
                for (std::size_t k = elements.size(); k > 0; --k) {
                    if (same_name(elements[k - 1].name, name)) {
                        elements.resize(k - 1);
                        break;
                    }
                }
            } else if (!name.empty() && !is_void_element(name) && text[end - 2] != '/') {
                elements.push_back({name, next_id++});
            }
            pos = end;
            continue;
        }
        if (c == kBracketLead && pos + 2 < text.size() && bytes[pos + 1] == kBracketMiddle &&
            (bytes[pos + 2] == kOpenLast || bytes[pos + 2] == kCloseLast)) {
            if (measure) {
                offset += sjis_width(text.substr(measured, pos - measured));
                measured = pos;
            }
            out.push_back({pos, 3, offset, elements.empty() ? 0 : elements.back().id, bytes[pos + 2] == kOpenLast});
            pos += 3;
            continue;
        }
        ++pos;
    }
    return out;
}

struct Decision {
    bool coloured = false;
    std::size_t level = 0;
    std::size_t partner = 0;
};

// Pairs the brackets; false when a "）" closes nothing. Brackets still open at
// the end stay plain.
bool decide(const std::vector<Bracket>& brackets, std::vector<Decision>& decisions)
{
    decisions.assign(brackets.size(), Decision{});
    std::vector<std::size_t> stack;
    for (std::size_t i = 0; i < brackets.size(); ++i) {
        if (brackets[i].open) {
            stack.push_back(i);
            continue;
        }
        if (stack.empty())
            return false;
        const std::size_t opening = stack.back();
        stack.pop_back();
        const std::size_t level = stack.size();
        const std::size_t content = brackets[i].offset - brackets[opening].offset - 2;
        const bool coloured = content > kShortestColoured && level <= kDeepestColoured;
        decisions[opening] = {coloured, level, i};
        decisions[i] = {coloured, level, opening};
    }
    return true;
}

} // namespace

bool TextMarkup::_color_brackets(std::string& text) const
{
    const std::string stored = text;
    return _color_brackets(text, stored);
}

bool TextMarkup::_color_brackets(std::string& html, std::string_view stored) const
{
    std::vector<Decision> decisions;
    if (!decide(brackets_of(stored, true), decisions))
        return false; // a "）" that closes nothing: the sentence stays as it is
    if (decisions.empty() && html.find("\xEF\xBC\x88") == std::string::npos &&
        html.find("\xEF\xBC\x89") == std::string::npos)
        return true; // no bracket on either side (most sentences): nothing to pair or paint
    const std::vector<Bracket> brackets = brackets_of(html, false);
    if (brackets.size() != decisions.size())
        return false; // the markup dropped a bracket: no pairing can be trusted
    for (std::size_t i = 0; i < brackets.size(); ++i) {
        Decision& d = decisions[i];
        if (d.coloured && brackets[i].element != brackets[d.partner].element)
            d.coloured = decisions[d.partner].coloured = false; // the phrase would cross an element
    }

    if (std::none_of(decisions.begin(), decisions.end(), [](const Decision& d) { return d.coloured; }))
        return true; // nothing to paint

    std::array<std::string, kDeepestColoured + 1> colour_a, colour_b;
    for (std::size_t level = 0; level <= kDeepestColoured; ++level) {
        colour_a[level] = colour_to_html(
            display_[static_cast<DisplaySettings::Value>(DisplaySettings::FontColorBrachet1A + 2 * level)]);
        colour_b[level] = colour_to_html(
            display_[static_cast<DisplaySettings::Value>(DisplaySettings::FontColorBrachet1B + 2 * level)]);
    }
    const auto span_of = [](const std::string& colour) {
        return "<span style=\"background-color: " + colour + "\">";
    };

    std::string out;
    out.reserve(html.size() + brackets.size() * 40);
    std::size_t copied = 0;
    for (std::size_t i = 0; i < brackets.size(); ++i) {
        const Bracket& b = brackets[i];
        const Decision& d = decisions[i];
        if (!d.coloured)
            continue;
        out.append(html, copied, b.pos - copied);
        if (b.open) {
            // The whole phrase takes colour B, the bracket itself colour A.
            out += span_of(colour_b[d.level]);
            out += span_of(colour_a[d.level]);
            out.append(html, b.pos, b.size);
            out += "</span>";
        } else {
            out += span_of(colour_a[d.level]);
            out.append(html, b.pos, b.size);
            out += "</span></span>";
        }
        copied = b.pos + b.size;
    }
    out.append(html, copied, std::string::npos);
    html = std::move(out);
    return true;
}

} // namespace velto
