// The reader behind find_citations (citations/citation_finder.h): one
// sentence read left to right, each citation as a chain of numbers after an
// optional law, a relative word, a table or a supplement. Only
// citation_finder.cpp and citation_relative.cpp include it.
#pragma once

#include "citations/citation_finder.h"
#include "citations/citation_words.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velto::citelink::detail {

using namespace words;

inline const std::vector<std::pair<std::string, std::string>> kNoNames;

// The law named last is one the collection does not hold.
inline constexpr std::string_view kUnknownLaw = "*";

// One citation as read: the span, what its first word is, and the levels it names.
struct Chain {
    std::size_t start = 0, end = 0;
    enum class Head { Number, Relative, Law, Table, Supplement } head = Head::Number;
    int first_level = 0; // the level of the first number or relative word: 1 条, 2 項, 3 号
    bool self = false;   // この条, この項, この号: names no provision a later 同条 could mean
    bool own_article = false; // 前項, 次号, 第一項 …: of the citing article, not an article a 同条 means
    Provision p;
    std::string reason;
};

class Reader {
public:
    Reader(std::string_view text, const CitingPlace& place, const LawWords& words, CitationMemory& memory)
        : t_(text), place_(place), words_(words), memory_(memory), quotes_(quotation_ranges(text))
    {
        if (const auto it = words.aliases.find(place.law); it != words.aliases.end())
            aliases_ = &it->second;
    }

    std::vector<FoundCitation> run();

private:
    bool in_quotation(std::size_t pos) const;

    void remember(const Chain& c);

    // The citation a citation at `pos` continues, if any: the one before it
    // at its own depth of brackets, when only joiners and bracketed remarks
    // stand between ("第三条第一項（同条第二項…）、第三条の二"), or, in the
    // first sentence of a bracket opened right after a citation, that citation
    // ("第六条（第三項を除くものとし、第一項は…）", "第一項（第四号…"). A later
    // sentence of the bracket speaks of the citing provision again
    // ("第六十八条の五（第二号イを除く。第六項において同じ。）"). An article
    // in such a bracket is one of the citing law ("法第三十五条（第百三十七条の
    // 六の二第一項…）" in an order): pass `qualified` false for it.
    const Provision* series_before(std::size_t pos, bool qualified = true);

    // How many brackets are open at `pos`; positions are asked in increasing order.
    std::size_t depth_at(std::size_t pos);

    // The law a title, 同法 or a short name at `pos` names, and where the
    // citation after it begins; false when no law is named there.
    // `titled` tells a title (with its bracketed number) from 同法 and a short name.
    bool read_law(std::size_t pos, std::string& law, std::size_t& after, bool& titled) const;

    bool read_chain(std::size_t pos, Chain& c);

    // The numbers below `level` that follow: 第一項, 第二号の二, ロ, and 各号.
    std::size_t read_lower(std::size_t at, int level, Provision& p) const;

    // 前条, 次項, 同号, 前二条, 前各項, この条 … at `at`.
    bool read_relative(std::size_t& at, Provision& base, int& level, Chain& c) const;

    bool read_table(std::size_t at, const std::string& law, Chain& c) const;

    bool read_supplement(std::size_t at, const std::string& law, Chain& c) const;

    std::string_view t_;
    const CitingPlace& place_;
    const LawWords& words_;
    CitationMemory& memory_;
    std::vector<std::pair<std::size_t, std::size_t>> quotes_;
    const std::vector<std::pair<std::string, std::string>>* aliases_ = nullptr;
    std::vector<std::pair<std::optional<Provision>, std::size_t>> previous_; // by depth of brackets: citation, end
    std::vector<std::optional<Provision>> attached_; // by depth: the citation a bracket qualifies, until its first 。
    std::size_t scanned_ = 0, depth_ = 0;
};

} // namespace velto::citelink::detail
