// The word set the term marker finds uses with: the longest word at a place.
#include "terms/word_trie.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velto {

TEST(WordTrie, FindsTheLongestWordBeginningAtAPlace)
{
    std::vector<std::string_view> words = {"耐火構造", "耐火", "準耐火構造", "", "建築", "建築基準法", "耐火"};
    for (std::string_view branch : {"建0", "建1", "建2", "建3", "建4", "建5", "建6", "建7", "建8", "建9"})
        words.push_back(branch); // a place of many branches: 7 … 16
    const WordTrie trie(words); // "" is never found

    const struct {
        std::string text;
        std::size_t at;
        std::size_t expected;
    } cases[] = {
        {"主要構造部を耐火構造とし", 18, 0},     // the longer word wins
        {"耐火性能", 0, 1},                   // a word listed twice has its first index
        {"準耐火構造", 0, 2},
        {"準耐火構造", 3, 0},                  // the caller decides where to look
        {"建築基準", 0, 4},                   // a longer word cut off by the text's end
        {"建築基準法", 0, 5},                  // a word that ends with the text
        {"建5条", 0, 12},
        {"建", 0, WordTrie::npos},           // a prefix of words is no word
        {"耐火", 1, WordTrie::npos},         // inside a character nothing begins
        {"耐火", 6, WordTrie::npos},         // past the end
        {"", 0, WordTrie::npos},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trie.longest_at(c.text, c.at), c.expected) << c.text << " at " << c.at;
        // Walking on from a looked-up first character gives the same word.
        if (c.at < c.text.size() && c.text.size() - c.at >= 3)
            if (const std::uint32_t node = trie.node_of(std::string_view(c.text).substr(c.at, 3)))
                EXPECT_EQ(trie.longest_from(node, c.text, c.at + 3), c.expected) << c.text;
    }
    EXPECT_EQ(trie.node_of("建築基準法施行令"), 0u);
    // A word as long as a crafted text is kept like any other.
    const std::string long_word(1 << 20, 'x');
    EXPECT_EQ(WordTrie({long_word}).longest_at(long_word + "y", 0), 0u);
    EXPECT_EQ(trie.node_of("基"), 0u);
}

} // namespace velto
