// One-pass replacement of marked spans, the engine of the text markup.
//
// The markup routines decide, scanning a text once, which spans to rewrite
// ("[第20条]", "[Lvisible/01A-00200000L]", "「term」", "[Kword K]") and then
// replace every occurrence of each span in the whole text. Doing that with
// one whole-text replacement per span costs a pass per span, and would search
// the links written before; this replaces all of them in a single pass.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velto {

// A set of spans and their replacements. Every span begins with the open
// marker and runs at least through the first close marker at or after its
// start; that part is its key. apply() visits the open markers of a text once,
// left to right; where the text there starts with a known span that ends on a
// character boundary, the span is replaced and the visit continues after it.
// The result is that of a whole-text replacement per span; replacement text is
// never searched again. Where two spans start at the same place, the one added
// first wins.
class SpanReplacer {
public:
    SpanReplacer(std::string_view open, std::string_view close);
    SpanReplacer(const SpanReplacer&) = delete;
    SpanReplacer& operator=(const SpanReplacer&) = delete;

    // Adds a span and its replacement and returns the span's index. A span
    // that is there already keeps its first replacement and index. A span that
    // does not start with the open marker or holds no close marker never matches.
    std::size_t add(std::string_view span, std::string_view replacement);
    // Index of a span added before, or npos.
    std::size_t index_of(std::string_view span) const;
    std::size_t size() const { return entries_.size(); }

    // The text with the spans replaced; `counts` (when given) receives the
    // number of replacements of each span, by index.
    std::string apply(std::string_view text, std::vector<std::size_t>* counts = nullptr) const;

private:
    struct Entry {
        std::string span;
        std::string replacement;
    };

    std::string open_;
    std::string close_;
    std::deque<Entry> entries_; // stable addresses: the maps below view the spans
    std::unordered_map<std::string_view, std::size_t> index_;
    std::unordered_map<std::string_view, std::vector<std::size_t>> by_key_;
    std::size_t longest_key_ = 0;
};

// Where `needle` first starts at or after `from` as whole characters (its
// last byte ends a character too), or npos.
std::size_t find_whole(std::string_view text, std::string_view needle, std::size_t from = 0);

// Shift-JIS width of text[from, to) when it is at most `limit`; otherwise
// any value above `limit`. Looks at no more than `limit` bytes' worth of
// characters, so a far-away `to` costs nothing.
std::size_t sjis_width_upto(std::string_view text, std::size_t from, std::size_t to, std::size_t limit);

} // namespace velto
