#include "terms/word_trie.h"

#include <algorithm>

namespace velto {

namespace {

bool byte_less(const std::pair<unsigned char, std::uint32_t>& edge, unsigned char byte) { return edge.first < byte; }

} // namespace

WordTrie::WordTrie() : nodes_(1) {}

std::uint32_t WordTrie::child(std::uint32_t node, unsigned char byte) const
{
    const auto& next = nodes_[node].next;
    if (next.size() <= 8) { // deep in the words most places continue one way or two
        for (const auto& [b, to] : next)
            if (b == byte)
                return to;
        return 0;
    }
    const auto it = std::lower_bound(next.begin(), next.end(), byte, byte_less);
    return it != next.end() && it->first == byte ? it->second : 0;
}

void WordTrie::add(std::string_view word, std::size_t value)
{
    if (word.empty())
        return;
    std::uint32_t node = 0;
    for (const char c : word) {
        const auto byte = static_cast<unsigned char>(c);
        std::uint32_t to = node == 0 ? first_[byte] : child(node, byte);
        if (to == 0) {
            to = static_cast<std::uint32_t>(nodes_.size());
            nodes_.emplace_back();
            if (node == 0) {
                first_[byte] = to;
            } else {
                auto& next = nodes_[node].next;
                next.insert(std::lower_bound(next.begin(), next.end(), byte, byte_less), {byte, to});
            }
        }
        node = to;
    }
    if (nodes_[node].value == npos)
        nodes_[node].value = value;
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
