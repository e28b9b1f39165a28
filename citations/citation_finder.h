// The citations in a sentence of law text: where each stands and which
// provision it names.
//
// The finder reads the words as the law writes them: an article, paragraph,
// item and sub-item (第二十条第一項第三号ロ), a relative citation (前条, 次項,
// 同号, 前各号, この条 …), a series that continues the provision named before
// it (「第二十七条第一項各号、第二項各号又は第三項各号」), an appended table
// (別表第一（い）欄), a supplementary provision of the same law (附則第三条),
// and a citation of another law by its title, by 同法, or by 法, 令 and 規則
// in an order or rule. It leaves to its neighbour (citations/citation_links.h)
// whether the named provision exists and which sentence it begins with.
//
// What cannot be named with certainty is returned with a reason and no
// target, never guessed: another law the collection does not hold, a 同条
// with nothing named before it, a citation inside a 読み替え quotation. Any
// text may be passed (stored sentence HTML included); spans are byte ranges
// of it on character boundaries, in order and never overlapping.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace velto::citelink {

// An article of a law: number, first and second branch (0 when absent).
using ArticleKey = std::tuple<int, int, int>;

// A provision as a citation names it; 0 where a level is not named.
struct Provision {
    std::string law; // ID_HN
    ArticleKey article{0, 0, 0};
    int paragraph = 0;
    int item = 0, item_branch = 0;
    int sub = 0;                       // イ = 1, ロ = 2 …
    int table = 0, table_branch = 0;   // 別表第N(のB)
    int supplement_article = 0;        // 附則第N条
    int supplement_paragraph = 0;      // 附則第N項
};

struct FoundCitation {
    std::size_t start = 0;
    std::size_t length = 0;
    Provision target;     // meaningful when reason is empty
    bool relative = false; // 前条, 同項, この条 … (also as the head of a longer citation)
    std::string reason;   // why it cannot be linked; empty when it can
};

// Why a citation is left plain.
inline constexpr std::string_view kReasonOtherLaw = "収録されていない法令";
inline constexpr std::string_view kReasonMissing = "存在しない規定";
inline constexpr std::string_view kReasonQuotation = "読み替えの引用";
inline constexpr std::string_view kReasonAmbiguous = "特定できない";

// Where the citing sentence stands: its law and provision.
struct CitingPlace {
    std::string law;
    ArticleKey article{0, 0, 0}; // 0: not an article (a supplement, a table)
    int paragraph = 0;
    int item = 0, item_branch = 0;
    int sub = 0;
};

// What the sentences before, in the same paragraph, named last.
struct CitationMemory {
    std::optional<Provision> article, paragraph, item;
    std::string other_law; // the law named last by its title or short name (for 同法)
};

// The names of laws a text may use, and the order of each law's articles.
struct LawWords {
    // Titles (now or earlier) of the laws of the collection, with their ID_HN,
    // longest first (sort_titles).
    std::vector<std::pair<std::string, std::string>> titles;
    // Per law: the short names its text uses for other laws ("法" -> 01A), longest first.
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> aliases;
    // The first character of every title, to pass over the rest of a text quickly.
    std::set<std::string, std::less<>> title_leads;
    // Orders the titles and aliases longest first and fills title_leads.
    void sort_titles();
    // The article before or after `key` in `law` (`step` -1 or +1, or -N);
    // nothing when there is none.
    std::function<std::optional<ArticleKey>(const std::string& law, const ArticleKey& key, int step)> step_article;
};

// The citations of `text`, a sentence at `place`. `memory` carries what was
// named across the sentences of one paragraph; the caller clears it where a
// paragraph begins.
std::vector<FoundCitation> find_citations(std::string_view text, const CitingPlace& place, const LawWords& words,
                                          CitationMemory& memory);

} // namespace velto::citelink
