// Marks the uses of defined terms in the HTML of a sentence (or its table):
// each use becomes
//   <span class="vt-term" data-term="ID_BN" style="…dotted underline…">主要構造部</span>
// where ID_BN is the sentence that defines the word as it is used there.
//
// Only the text between tags is looked at, and never the text of a link
// (<a>…</a>), of a definition's emphasis, of a style or script: marks go
// between the tags the markup wrote before, so a link, a coloured bracket or
// a keyword stays as it was. At each place the longest word wins, and a word
// of `whole` (a longer defined word elsewhere, a law's title) is skipped as a
// whole, so 準耐火構造 is not 耐火構造 and 建築士 not 建築. A use in the very
// sentence that defines the word is not marked. Any text may be passed; a
// character reference is kept whole.
#pragma once

#include "core/sjis.h"
#include "terms/term_book.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velto {

// Words found by their first character, longest first.
class WordIndex {
public:
    explicit WordIndex(const std::vector<std::string>& words);
    // The index (into the words given) of the longest word at text[at...] for
    // which `accept` holds, and its length in bytes through `bytes`; -1 when none.
    template <class Accept>
    long longest_at(std::string_view text, std::size_t at, std::size_t& bytes, Accept accept) const
    {
        const auto it = by_first_.find(text.substr(at, utf8_decode_at(text, at).bytes));
        if (it == by_first_.end())
            return -1;
        for (std::size_t i : it->second) {
            const std::string& w = words_[i];
            if (text.compare(at, w.size(), w) == 0 && accept(i)) {
                bytes = w.size();
                return static_cast<long>(i);
            }
        }
        return -1;
    }
    long longest_at(std::string_view text, std::size_t at, std::size_t& bytes) const
    {
        return longest_at(text, at, bytes, [](std::size_t) { return true; });
    }

private:
    const std::vector<std::string>& words_;
    std::unordered_map<std::string_view, std::vector<std::size_t>> by_first_;
};

class TermMarker {
public:
    // Both must outlive the marker.
    TermMarker(const PageTerms& terms, const WordIndex& whole);
    // Marks the uses in `html`, text of sentence `id`.
    void mark(std::string& html, std::string_view id) const;

private:
    const PageTerms& terms_;
    std::vector<std::string> texts_;
    WordIndex index_;
    const WordIndex& whole_;
};

// The element that marks one use.
std::string term_mark(std::string_view term, std::string_view definition);

} // namespace velto
