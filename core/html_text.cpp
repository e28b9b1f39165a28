#include "core/html_text.h"

#include "core/sjis.h"

#include <cctype>
#include <cstdlib>

namespace velto {

namespace {

constexpr std::string_view kAddressStart = "http://";
constexpr std::string_view kAddressMarker = "_VELTO";

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool starts_with_nocase(std::string_view text, std::size_t at, std::string_view word)
{
    if (text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (lower(text[at + i]) != word[i])
            return false;
    return true;
}

std::size_t find_nocase(std::string_view text, std::string_view word, std::size_t from)
{
    for (std::size_t at = from; at + word.size() <= text.size(); ++at)
        if (starts_with_nocase(text, at, word))
            return at;
    return std::string_view::npos;
}

// The end of the tag that opens at `at` (one past its ">"); quoted values may hold ">".
std::size_t tag_end(std::string_view html, std::size_t at)
{
    char quote = 0;
    for (std::size_t i = at + 1; i < html.size(); ++i) {
        const char c = html[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return html.size();
}

// The lower-case name of the tag `tag` ("<a id=...>", "</td>"), without "/".
std::string tag_name(std::string_view tag)
{
    std::size_t i = 1;
    if (i < tag.size() && tag[i] == '/')
        ++i;
    std::string name;
    while (i < tag.size() && std::isalnum(static_cast<unsigned char>(tag[i])))
        name += lower(tag[i++]);
    return name;
}

// The value of the attribute `name` of a tag; empty when absent.
std::string attribute(std::string_view tag, std::string_view name)
{
    for (std::size_t at = find_nocase(tag, name, 0); at != std::string_view::npos;
         at = find_nocase(tag, name, at + 1)) {
        const bool word_start = at > 0 && std::isspace(static_cast<unsigned char>(tag[at - 1]));
        std::size_t i = at + name.size();
        while (i < tag.size() && tag[i] == ' ')
            ++i;
        if (!word_start || i >= tag.size() || tag[i] != '=')
            continue;
        ++i;
        while (i < tag.size() && tag[i] == ' ')
            ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            const std::size_t close = tag.find(tag[i], i + 1);
            return std::string(tag.substr(i + 1, close == std::string_view::npos ? std::string_view::npos
                                                                                   : close - i - 1));
        }
        std::size_t end = i;
        while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])) && tag[end] != '>')
            ++end;
        return std::string(tag.substr(i, end - i));
    }
    return {};
}


// C0 and C1 control characters and DEL: a page shows none of them.
bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Whether the "<" at `at` begins a tag, an end tag, a comment or a
// declaration; any other "<" is text.
bool opens_markup(std::string_view html, std::size_t at)
{
    if (at + 1 >= html.size())
        return false;
    const char next = html[at + 1];
    return std::isalpha(static_cast<unsigned char>(next)) || next == '/' || next == '!' || next == '?';
}

bool breaks_words(const std::string& name)
{
    static constexpr std::string_view kBlocks[] = {"br", "p", "div", "td", "th", "tr", "li", "table", "hr"};
    for (std::string_view block : kBlocks)
        if (name == block)
            return true;
    return false;
}

} // namespace

std::pair<char32_t, std::size_t> character_reference(std::string_view html, std::size_t at)
{
    // Only the next few bytes: a text of many "&" without ";" stays linear.
    const std::size_t near = html.substr(at, 11).find(';');
    if (near == std::string_view::npos)
        return {0, 0};
    const std::size_t semicolon = at + near;
    const std::string_view name = html.substr(at + 1, semicolon - at - 1);
    const std::size_t length = semicolon - at + 1;
    static constexpr std::pair<std::string_view, char32_t> kNamed[] = {
        {"amp", U'&'}, {"lt", U'<'}, {"gt", U'>'}, {"quot", U'"'}, {"apos", U'\''}, {"nbsp", U' '},
    };
    for (const auto& [entity, code] : kNamed)
        if (name == entity)
            return {code, length};
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string digits(name.substr(hex ? 2 : 1));
        char* end = nullptr;
        const unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
        if (!digits.empty() && end && *end == '\0' && code > 0 && code <= 0x10FFFF &&
            !(code >= 0xD800 && code <= 0xDFFF))
            return {static_cast<char32_t>(code), length};
    }
    return {0, 0};
}

std::vector<MarkedLink> marked_links(std::string_view html)
{
    std::vector<MarkedLink> links;
    for (std::size_t at = find_nocase(html, "<a", 0); at != std::string_view::npos;
         at = find_nocase(html, "<a", at + 2)) {
        const std::size_t end = tag_end(html, at);
        const std::string_view tag = html.substr(at, end - at);
        if (tag_name(tag) != "a")
            continue;
        const std::string href = attribute(tag, "href");
        if (href.compare(0, kAddressStart.size(), kAddressStart) != 0)
            continue;
        const std::size_t marker = href.rfind(kAddressMarker);
        if (marker == std::string::npos || marker < kAddressStart.size())
            continue;
        links.push_back({attribute(tag, "id"), href.substr(kAddressStart.size(), marker - kAddressStart.size())});
    }
    return links;
}

ReadableText readable_text(std::string_view html, std::string_view anchor)
{
    ReadableText out;
    bool blank = false;
    bool in_reference = false;
    bool reference_open = false; // begun, waiting for its first character
    const auto put = [&](char32_t c) {
        if (c == U' ' || c == U'\t' || c == U'\r' || c == U'\n') {
            blank = true;
            return;
        }
        if (is_control(c))
            return;
        if (blank && !out.text.empty())
            out.text += ' ';
        blank = false;
        if (reference_open) {
            out.reference_begin = out.text.size();
            reference_open = false;
        }
        utf8_append(out.text, c);
    };

    for (std::size_t at = 0; at < html.size();) {
        const char c = html[at];
        if (c == '<' && opens_markup(html, at)) {
            if (html.compare(at, 4, "<!--") == 0) {
                const std::size_t close = html.find("-->", at + 4);
                at = close == std::string_view::npos ? html.size() : close + 3;
                continue;
            }
            const std::size_t end = tag_end(html, at);
            const std::string_view tag = html.substr(at, end - at);
            const std::string name = tag_name(tag);
            const bool closing = tag.size() > 1 && tag[1] == '/';
            at = end;
            if (name.empty())
                continue;
            if (!closing && (name == "style" || name == "script" || name == "title")) {
                const std::size_t close = find_nocase(html, "</" + name, at);
                at = close == std::string_view::npos ? html.size() : tag_end(html, close);
                continue;
            }
            if (name == "a" && !anchor.empty()) {
                if (!closing && out.reference_begin == std::string::npos && !in_reference &&
                    attribute(tag, "id") == anchor) {
                    in_reference = reference_open = true;
                } else if (closing && in_reference) {
                    in_reference = false;
                    if (reference_open) {
                        out.reference_begin = out.text.size();
                        reference_open = false;
                    }
                    out.reference_end = out.text.size();
                }
            }
            if (breaks_words(name))
                blank = true;
            continue;
        }
        if (c == '&') {
            if (const auto [code, length] = character_reference(html, at); length > 0) {
                put(code);
                at += length;
                continue;
            }
        }
        const Utf8Char ch = utf8_decode_at(html, at);
        put(ch.code);
        at += ch.bytes;
    }
    if (in_reference) // never closed: the reference runs to the end
        out.reference_end = out.text.size();
    if (out.reference_begin == std::string::npos)
        out.reference_end = std::string::npos;
    return out;
}

std::string shown_text(std::string_view html)
{
    // A plain text (a law's name, most titles) is shown as it stands: no
    // markup, reference, blank or control to read.
    for (std::size_t at = 0; at < html.size();) {
        const auto byte = static_cast<unsigned char>(html[at]);
        if (byte < 0x80) {
            if (byte <= 0x20 || byte == 0x7F || byte == '<' || byte == '&')
                return readable_text(html).text;
            ++at;
            continue;
        }
        const Utf8Char c = utf8_decode_at(html, at);
        if ((c.code == 0xFFFD && c.bytes == 1) || is_control(c.code))
            return readable_text(html).text;
        at += c.bytes;
    }
    return std::string(html);
}

} // namespace velto
