// What the citation resolver knows of the laws and pages the reader shows
// (the names of every law, the pages of a law once a citation needs them),
// and the texts it writes about them. Private to citations/citation_*.cpp.
#pragma once

#include "citations/citation_parser.h"
#include "citations/citation_resolver.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <utility>
#include <vector>

namespace velto::citation {

using ArticleKey = std::tuple<int, int, int>; // number, branch 1, branch 2
using TableKey = std::pair<int, int>;         // number, branch

struct LawIndex {
    std::string id;                              // ID_HN
    std::string name;                            // 法名一般, for messages and labels
    std::map<ArticleKey, std::string> articles;  // first page of each article
    std::map<TableKey, std::string> tables;      // first page of each appended table
    std::string supplement;                      // first page of the original supplementary provisions
    bool has_notices = false;
    std::unordered_set<std::string> pages;       // every page of the law shown
    bool pages_read = false;                     // the four fields above and this set are read
};

struct NoticeEntry {
    int era_code = 0;
    int era_year = 0;
    int number = 0;
    std::string page;
    std::string law;
};

// A sentence of a page, as the resolver reads it.
struct SentenceRow {
    std::string id;
    std::string text;
};

// "第百十二条の二", "第十八項", "第九号の二", "ロ", "(1)": parts as the law writes them, for messages.
std::string article_words(const ArticleKey& key);
std::string paragraph_words(int paragraph);
std::string item_words(int item, int branch);
std::string sub_item_words(int sub_item, int sub_sub_item);

// "第112条の2第18項第九号の二ロ(1)": a citation the parser reads back, for labels and suggestions.
std::string citation_text(const CitationBody& body);

// "平成12年告示第1400号".
std::string notice_text(int era_code, int era_year, int number);

// Joins `items` with "、".
std::string joined(const std::vector<std::string>& items);

// The keys of an ordered container just before and just after `key` (which
// it lacks), nearer first.
template <typename Container, typename Key, typename KeyOf>
std::vector<Key> neighbours(const Container& keys, const Key& key, KeyOf key_of)
{
    std::vector<Key> out;
    const auto next = keys.lower_bound(key);
    if (next != keys.begin())
        out.push_back(key_of(*std::prev(next)));
    if (next != keys.end())
        out.push_back(key_of(*next));
    return out;
}
template <typename Key, typename Value>
std::vector<Key> neighbours(const std::map<Key, Value>& map, const Key& key)
{
    return neighbours(map, key, [](const auto& entry) { return entry.first; });
}
template <typename Key>
std::vector<Key> neighbours(const std::set<Key>& set, const Key& key)
{
    return neighbours(set, key, [](const Key& entry) { return entry; });
}

} // namespace velto::citation

namespace velto {

struct CitationResolver::Index {
    std::map<std::string, citation::LawIndex> laws; // by ID_HN
    // Every name a law is typed by (normalised), longest first, with its laws.
    std::vector<std::pair<std::string, std::vector<std::string>>> names;
    // Aliases of laws the database does not hold: name, the law meant.
    std::map<std::string, std::string> absent_aliases;
    // What 法 and 令 mean on a page of an order or rule: law -> (name -> its
    // parent law); these win over every other meaning of the name there.
    std::map<std::string, std::map<std::string, std::string>> family;
    std::vector<citation::NoticeEntry> notices; // of every law, once notices_read
    bool notices_read = false;
};

// One citation on its way: the law it is of and what it names there.
struct CitationResolver::Request {
    const citation::LawIndex* law = nullptr;
    std::string law_word; // the law's name as typed; empty when it was not typed
    CitationBody body;
    // The words of the law in suggestions: as typed, else its name.
    std::string law_prefix() const { return law_word.empty() ? law->name : law_word; }
};

} // namespace velto
