// A fixed set of words for finding, at a place of a text, the longest word
// that begins there, in one walk over the text's bytes.
//
// The marker of defined terms builds one per law (a few thousand words with
// the laws' titles) and asks it at every character of every sentence, so a
// place where no word begins costs a lookup or two, whatever the number of
// words; the branches of each place lie side by side in memory. Words are
// compared as bytes: the caller decides where characters begin. Any text and
// any place may be passed; nothing is read outside the text. The empty word
// is never found.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velto {

class WordTrie {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // The value of a word is its index in `words`; a word listed twice has its first index.
    explicit WordTrie(const std::vector<std::string_view>& words = {});

    // The value of the longest word text[at...] begins with, or npos.
    std::size_t longest_at(std::string_view text, std::size_t at) const;

    // A place in the words: the node reached by `prefix` (0 when no word
    // begins so), and from there the longest word whose rest text[at...]
    // begins with (the prefix's own word included), or npos. A caller that
    // looks up its prefixes once walks only the rest of each word.
    std::uint32_t node_of(std::string_view prefix) const;
    std::size_t longest_from(std::uint32_t node, std::string_view text, std::size_t at) const;

private:
    struct Node {
        std::uint32_t first_edge = 0; // its branches are edges_[first_edge, first_edge + edges)
        std::uint32_t edges = 0;
        std::size_t value = npos;
    };
    struct Edge {
        unsigned char byte;
        std::uint32_t to;
    };
    using Order = std::vector<std::size_t>::const_iterator;
    void build(std::uint32_t node, const std::vector<std::string_view>& words, Order from, Order to, std::size_t depth);
    std::uint32_t child(std::uint32_t node, unsigned char byte) const;

    std::array<std::uint32_t, 256> first_{}; // node after the first byte; 0: no word begins so
    std::vector<Node> nodes_;                // nodes_[0] is the root
    std::vector<Edge> edges_;                // by node, then by byte
};

} // namespace velto
