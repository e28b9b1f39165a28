#include "terms/term_marker.h"

#include "core/sjis.h"

#include <unordered_map>

namespace velto {

namespace {

constexpr std::size_t kMaxReference = 12; // "&#x10FFFF;" and the like
constexpr char32_t kReplacement = 0xFFFD;   // what a malformed byte decodes as

// Elements whose text is no use of a term: a link, a definition's emphasis,
// what a page does not show as text.
constexpr std::pair<std::string_view, std::string_view> kClosedElements[] = {
    {"<a ", "</a>"},   {"<a>", "</a>"},         {"<B STYLE=\"color: #996633\">", "</B>"},
    {"<style", "</style>"}, {"<script", "</script>"}, {"<title", "</title>"},
};

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool starts_with_nocase(std::string_view text, std::size_t at, std::string_view word)
{
    if (text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (ascii_lower(text[at + i]) != ascii_lower(word[i]))
            return false;
    return true;
}

// Where the element opened at `at` ends (after its closing tag), or npos
// when the tag there opens none of kClosedElements.
std::size_t end_of_closed_element(std::string_view html, std::size_t at)
{
    // Every closed element's name begins with one of these letters.
    if (at + 1 >= html.size())
        return std::string_view::npos;
    if (const char letter = ascii_lower(html[at + 1]); letter != 'a' && letter != 'b' && letter != 's' && letter != 't')
        return std::string_view::npos;
    for (const auto& [open, close] : kClosedElements) {
        if (!starts_with_nocase(html, at, open))
            continue;
        for (std::size_t i = html.find('<', at + 1); i != std::string_view::npos; i = html.find('<', i + 1))
            if (starts_with_nocase(html, i, close))
                return i + close.size();
        return html.size();
    }
    return std::string_view::npos;
}

} // namespace

std::string term_mark(std::string_view term, std::string_view definition)
{
    std::string out = "<span class=\"vt-term\" data-term=\"";
    out += definition;
    out += "\" style=\"border-bottom: 1px dotted #707070; position: relative\">";
    out += term;
    out += "</span>";
    return out;
}

TermMarker::TermMarker(TermsInUse terms, const std::vector<std::string>& whole) : terms_(std::move(terms))
{
    std::unordered_map<std::string_view, std::size_t> known;
    for (std::size_t i = 0; i < terms_.words().size(); ++i) {
        const std::string& text = terms_.words()[i].text;
        if (utf8_length(text) > 1 && known.emplace(text, words_.size()).second)
            words_.push_back({text, static_cast<long>(i), 0});
    }
    for (const std::string& text : whole)
        if (!text.empty() && !known.count(text))
            words_.push_back({text, -1, 0});
    std::vector<std::string_view> texts;
    for (Word& word : words_) {
        word.first = utf8_decode_at(word.text, 0).code;
        texts.push_back(word.text);
    }
    trie_ = WordTrie(texts);
    for (const Word& word : words_) {
        const Utf8Char first = utf8_decode_at(word.text, 0);
        if (first.code == kReplacement || first.code > 0xFFFF)
            continue; // found by walking the trie from its first byte
        std::unique_ptr<Block>& block = after_first_[first.code >> 8];
        if (!block)
            block = std::make_unique<Block>(Block{});
        (*block)[first.code & 0xFF] = trie_.node_of(std::string_view(word.text).substr(0, first.bytes));
    }
}

const TermMarker::Word* TermMarker::longest_at(std::string_view text, std::size_t at, Utf8Char first) const
{
    // A word that matches the bytes but begins with another character (a
    // malformed word cut inside the character here) is no word at this place;
    // any word of this character that matches is longer than such a one.
    std::size_t i = WordTrie::npos;
    if (first.code == kReplacement || first.code > 0xFFFF) { // a malformed byte, U+FFFD itself or beyond the BMP
        i = trie_.longest_at(text, at);
    } else if (const Block* block = after_first_[first.code >> 8].get()) {
        if (const std::uint32_t node = (*block)[first.code & 0xFF])
            i = trie_.longest_from(node, text, at + first.bytes);
    }
    return i != WordTrie::npos && words_[i].first == first.code ? &words_[i] : nullptr;
}

void TermMarker::mark(std::string& html, std::string_view id) const
{
    if (terms_.empty())
        return;
    const std::string_view in = html;
    std::string out;
    std::size_t copied = 0; // in[copied, i) is still to be copied
    std::size_t i = 0;
    while (i < in.size()) {
        const char c = in[i];
        if (c == '<') {
            std::size_t end = end_of_closed_element(in, i);
            if (end == std::string_view::npos) {
                end = in.find('>', i);
                end = end == std::string_view::npos ? in.size() : end + 1;
            }
            i = end;
            continue;
        }
        if (c == '&') {
            const std::size_t semi = in.find(';', i);
            i = semi != std::string_view::npos && semi - i <= kMaxReference ? semi + 1 : i + 1;
            continue;
        }
        const Utf8Char ch = utf8_decode_at(in, i);
        const Word* word = longest_at(in, i, ch);
        if (!word) {
            i += ch.bytes;
            continue;
        }
        const DefinedTerm* definition =
            word->term < 0 ? nullptr : terms_.definition(static_cast<std::size_t>(word->term), id);
        if (definition && definition->sentence != id) {
            out.append(in.substr(copied, i - copied));
            out += term_mark(word->text, definition->sentence);
            copied = i + word->text.size();
        }
        i += word->text.size();
    }
    if (copied == 0)
        return;
    out.append(in.substr(copied));
    html = std::move(out);
}

} // namespace velto
