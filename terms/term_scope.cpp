#include "terms/term_scope.h"

#include "core/identifiers.h"

namespace velto {

namespace {

constexpr std::size_t kLawWidth = 3;
constexpr std::size_t kArticleWidth = 12;
constexpr std::size_t kChapterGroup = 8;  // HHH-CCcc
constexpr std::size_t kSectionGroup = 13; // HHH-CCcc-SSss

bool is_main_provision(std::string_view id)
{
    return id.size() > kLawWidth + 1 && id[kLawWidth + 1] >= '0' && id[kLawWidth + 1] <= '9';
}

std::string closing(std::string_view prefix) { return std::string(prefix) + "~"; }

} // namespace

std::string scope_words(TermUnit unit, bool from_here)
{
    static constexpr std::string_view kWords[] = {"この法令", "この章", "この節", "この条", "この項", "この号"};
    return (from_here ? "以下" : "") + std::string(kWords[static_cast<int>(unit)]);
}

void LawOutline::add_page(std::string_view id_fn, std::string_view id_sn)
{
    heading_of_page_.emplace(std::string(id_fn), std::string(id_sn));
    for (std::size_t width : {kChapterGroup, kSectionGroup}) {
        if (id_sn.size() < width || id_sn.substr(width - 4, 4) == "0000")
            continue;
        auto [it, added] = pages_of_group_.try_emplace(std::string(id_sn.substr(0, width)), id_fn, id_fn);
        if (!added) {
            if (id_fn < it->second.first)
                it->second.first = std::string(id_fn);
            if (id_fn > it->second.second)
                it->second.second = std::string(id_fn);
        }
    }
}

void LawOutline::set_bounds(DefinedTerm& t) const
{
    const std::string_view id = t.sentence;
    std::string first, last;
    TermUnit unit = t.unit;
    if (!is_main_provision(id) && unit <= TermUnit::Section)
        unit = TermUnit::Article; // its own page group (a 附則 or a table)
    if (unit == TermUnit::Chapter || unit == TermUnit::Section) {
        const auto heading = heading_of_page_.find(id.substr(0, kPageScope));
        const std::size_t width = unit == TermUnit::Chapter ? kChapterGroup : kSectionGroup;
        const auto group = heading == heading_of_page_.end() || heading->second.size() < width
                               ? pages_of_group_.end()
                               : pages_of_group_.find(std::string_view(heading->second).substr(0, width));
        if (group != pages_of_group_.end()) {
            first = group->second.first;
            last = closing(group->second.second);
        } else {
            unit = unit == TermUnit::Section ? TermUnit::Chapter : TermUnit::Law;
            if (unit == TermUnit::Chapter) {
                DefinedTerm wider = t;
                wider.unit = unit;
                set_bounds(wider);
                first = wider.first;
                last = wider.last;
            }
        }
    }
    if (first.empty()) {
        static constexpr std::size_t kWidth[] = {kLawWidth + 1, 0, 0, kArticleWidth, kParagraphScope, kItemScope};
        const std::string_view prefix = id.substr(0, kWidth[static_cast<int>(unit)]);
        first = std::string(prefix);
        last = closing(prefix);
    }
    if (t.from_here)
        first = t.sentence;
    t.first = std::move(first);
    t.last = std::move(last);
}

} // namespace velto
