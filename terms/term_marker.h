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
// whole, so 準耐火構造 is not 耐火構造 and 建築士 not 建築; so is a defined
// word out of its scope. A use in the very sentence that defines the word is
// not marked, nor a word of one character (法 in an order would be found in
// 方法). Any text may be passed; a character reference is kept whole.
#pragma once

#include "terms/term_book.h"
#include "core/sjis.h"
#include "terms/word_trie.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

class TermMarker {
public:
    // The marker of the terms of one law; `whole` are the words never cut into.
    TermMarker(TermsInUse terms, const std::vector<std::string>& whole);
    // Marks the uses in `html`, text of sentence `id`.
    void mark(std::string& html, std::string_view id) const;

private:
    struct Word {
        std::string text;
        long term;      // index into terms_.words(), or -1 for a word that is only kept whole
        char32_t first; // its first character
    };
    // The entry of the longest word at text[at...] that begins with the
    // character `first` found there, or null.
    const Word* longest_at(std::string_view text, std::size_t at, Utf8Char first) const;

    TermsInUse terms_;
    std::vector<Word> words_;
    WordTrie trie_;               // values index words_
    // The trie node after each first character in the BMP, in blocks of 256
    // characters (a block no word begins in is not there): most characters
    // begin no word, and a character's node is two lookups away.
    using Block = std::array<std::uint32_t, 256>;
    std::array<std::unique_ptr<Block>, 256> after_first_;
};

// The element that marks one use.
std::string term_mark(std::string_view term, std::string_view definition);

} // namespace velto
