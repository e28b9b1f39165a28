#include "terms/word_trie.h"

#include <algorithm>
#include <numeric>

namespace velto {

WordTrie::WordTrie(const std::vector<std::string_view>& words) : nodes_(1)
{
    // Sorted, the words sharing a prefix stand together and a prefix's own
    // word before its longer ones; stable, so the first of equal words leads.
    std::vector<std::size_t> order(words.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    order.erase(std::remove_if(order.begin(), order.end(), [&](std::size_t i) { return words[i].empty(); }),
                order.end());
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return words[a] < words[b]; });
    build(0, words, order.begin(), order.end(), 0);
    for (std::uint32_t e = 0; e < nodes_[0].edges; ++e)
        first_[edges_[e].byte] = edges_[e].to;
}

void WordTrie::build(std::uint32_t root, const std::vector<std::string_view>& words, Order from, Order to,
                     std::size_t depth)
{
    // Iterative: a word may be as long as any text (a crafted title), deeper than a call stack goes.
    struct Place {
        std::uint32_t node;
        Order from, to;
        std::size_t depth;
    };
    std::vector<Place> places{{root, from, to, depth}};
    while (!places.empty()) {
        auto [node, first, last, at] = places.back();
        places.pop_back();
        for (; first != last && words[*first].size() == at; ++first)
            if (nodes_[node].value == npos)
                nodes_[node].value = *first;
        // The branches: runs of the same byte at `at`, each a node of its own.
        nodes_[node].first_edge = static_cast<std::uint32_t>(edges_.size());
        for (Order run = first; run != last;) {
            const char byte = words[*run][at];
            Order end = run;
            while (end != last && words[*end][at] == byte)
                ++end;
            const auto next = static_cast<std::uint32_t>(nodes_.size());
            nodes_.emplace_back();
            edges_.push_back({static_cast<unsigned char>(byte), next});
            ++nodes_[node].edges;
            places.push_back({next, run, end, at + 1});
            run = end;
        }
    }
}

std::uint32_t WordTrie::child(std::uint32_t node, unsigned char byte) const
{
    const Edge* begin = edges_.data() + nodes_[node].first_edge;
    const Edge* end = begin + nodes_[node].edges;
    if (end - begin <= 8) { // deep in the words most places continue one way or two
        for (const Edge* e = begin; e != end; ++e)
            if (e->byte == byte)
                return e->to;
        return 0;
    }
    const Edge* e = std::lower_bound(begin, end, byte, [](const Edge& edge, unsigned char b) { return edge.byte < b; });
    return e != end && e->byte == byte ? e->to : 0;
}

std::size_t WordTrie::longest_at(std::string_view text, std::size_t at) const
{
    if (at >= text.size())
        return npos;
    return longest_from(first_[static_cast<unsigned char>(text[at])], text, at + 1);
}

std::uint32_t WordTrie::node_of(std::string_view prefix) const
{
    std::uint32_t node = 0;
    for (const char c : prefix) {
        node = node == 0 ? first_[static_cast<unsigned char>(c)] : child(node, static_cast<unsigned char>(c));
        if (node == 0)
            return 0;
    }
    return node;
}

std::size_t WordTrie::longest_from(std::uint32_t node, std::string_view text, std::size_t at) const
{
    std::size_t best = npos;
    while (node != 0) {
        if (nodes_[node].value != npos)
            best = nodes_[node].value;
        if (at >= text.size())
            break;
        node = child(node, static_cast<unsigned char>(text[at++]));
    }
    return best;
}

} // namespace velto
