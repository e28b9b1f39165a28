#include "terms/term_marker.h"

#include "core/sjis.h"

#include <algorithm>
#include <cctype>

namespace velto {

namespace {

constexpr std::size_t kMaxReference = 12; // "&#x10FFFF;" and the like

// Elements whose text is no use of a term: a link, a definition's emphasis,
// what a page does not show as text.
constexpr std::pair<std::string_view, std::string_view> kClosedElements[] = {
    {"<a ", "</a>"},   {"<a>", "</a>"},         {"<B STYLE=\"color: #996633\">", "</B>"},
    {"<style", "</style>"}, {"<script", "</script>"}, {"<title", "</title>"},
};

bool starts_with_nocase(std::string_view text, std::size_t at, std::string_view word)
{
    if (text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    return true;
}

// Where the element opened at `at` ends (after its closing tag), or npos
// when the tag there opens none of kClosedElements.
std::size_t end_of_closed_element(std::string_view html, std::size_t at)
{
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

WordIndex::WordIndex(const std::vector<std::string>& words) : words_(words)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.empty())
            continue;
        by_first_[std::string_view(w).substr(0, utf8_decode_at(w, 0).bytes)].push_back(i);
    }
    for (auto& [first, list] : by_first_)
        std::stable_sort(list.begin(), list.end(),
                         [&](std::size_t a, std::size_t b) { return words_[a].size() > words_[b].size(); });
}

std::string term_mark(std::string_view term, std::string_view definition)
{
    std::string out = "<span class=\"vt-term\" data-term=\"";
    out += definition;
    out += "\" style=\"text-decoration: underline dotted #8c8c8c; text-underline-offset: 2px\">";
    out += term;
    out += "</span>";
    return out;
}

TermMarker::TermMarker(const PageTerms& terms, const WordIndex& whole)
    : terms_(terms),
      texts_([&] {
          std::vector<std::string> t;
          // A word of one character (法 in 令, "以下「法」という。") would be found
          // inside others (方法): it is never marked.
          for (const PageTerms::Word& w : terms.words())
              t.push_back(utf8_length(w.text) > 1 ? w.text : std::string());
          return t;
      }()),
      index_(texts_),
      whole_(whole)
{
}

void TermMarker::mark(std::string& html, std::string_view id) const
{
    if (terms_.empty())
        return;
    const std::string_view in = html;
    std::string out;
    bool changed = false;
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
        const DefinedTerm* definition = nullptr;
        std::size_t term_bytes = 0;
        index_.longest_at(in, i, term_bytes, [&](std::size_t w) {
            definition = terms_.definition(w, id);
            return definition != nullptr && definition->sentence != id;
        });
        std::size_t whole_bytes = 0;
        whole_.longest_at(in, i, whole_bytes);
        if (whole_bytes > term_bytes) {
            i += whole_bytes;
            continue;
        }
        if (term_bytes == 0) {
            i += utf8_decode_at(in, i).bytes;
            continue;
        }
        out.append(in.substr(copied, i - copied));
        out += term_mark(in.substr(i, term_bytes), definition->sentence);
        changed = true;
        i += term_bytes;
        copied = i;
    }
    if (!changed)
        return;
    out.append(in.substr(copied));
    html = std::move(out);
}

} // namespace velto
