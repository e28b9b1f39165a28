#include "citations/citation_finder.h"

#include "citations/citation_words.h"

#include <algorithm>

namespace velto::citelink {

namespace {

using namespace words;

const std::vector<std::pair<std::string, std::string>> kNoNames;

// The law named last is one the collection does not hold.
constexpr std::string_view kUnknownLaw = "*";

// One citation as read: the span, what its first word is, and the levels it names.
struct Chain {
    std::size_t start = 0, end = 0;
    enum class Head { Number, Relative, Law, Table, Supplement } head = Head::Number;
    int first_level = 0; // the level of the first number when the chain starts with one
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

    std::vector<FoundCitation> run()
    {
        std::vector<FoundCitation> found;
        for (std::size_t pos = 0; pos < t_.size();) {
            if (t_[pos] == '<') { // a tag of the stored HTML is no text
                const std::size_t close = t_.find('>', pos);
                pos = close == std::string_view::npos ? t_.size() : close + 1;
                continue;
            }
            Chain chain;
            if (!read_chain(pos, chain)) {
                pos += char_bytes(t_, pos);
                continue;
            }
            FoundCitation f{chain.start, chain.end - chain.start, chain.p, chain.head == Chain::Head::Relative,
                            chain.reason};
            if (in_quotation(chain.start)) {
                f.reason = std::string(kReasonQuotation);
            } else if (f.reason.empty() || f.reason == kReasonOtherLaw) {
                // What another law's citation names is no provision here: a
                // 同条 or a series after it is of that law, and stays plain too.
                if (!f.reason.empty()) {
                    chain.p.law.clear();
                    memory_.other_law = kUnknownLaw;
                }
                remember(chain.p);
                const std::size_t depth = depth_at(chain.start);
                previous_.resize(depth + 1);
                previous_[depth] = {chain.p, chain.end};
            }
            found.push_back(std::move(f));
            pos = chain.end;
        }
        return found;
    }

private:
    bool in_quotation(std::size_t pos) const
    {
        return std::any_of(quotes_.begin(), quotes_.end(), [&](const auto& r) { return pos > r.first && pos < r.second; });
    }

    void remember(const Provision& p)
    {
        if (std::get<0>(p.article) == 0)
            return;
        memory_.article = p;
        if (p.paragraph)
            memory_.paragraph = p;
        if (p.item)
            memory_.item = p;
    }

    // True when only the words that join the members of a series stand
    // between the citation before and `pos`.
    // The citation a citation at `pos` continues, if any: the one before it
    // at its own depth of brackets, when only joiners and bracketed remarks
    // stand between ("第三条第一項（同条第二項…）、第三条の二"), or the one
    // right before the bracket it opens ("第一項（第四号…").
    const Provision* series_before(std::size_t pos)
    {
        const std::size_t depth = depth_at(pos);
        if (depth < previous_.size() && previous_[depth].first && only_joiners(t_, previous_[depth].second, pos))
            return &*previous_[depth].first;
        if (depth > 0 && depth - 1 < previous_.size() && previous_[depth - 1].first &&
            t_.substr(previous_[depth - 1].second, pos - std::min(pos, previous_[depth - 1].second)) == "（")
            return &*previous_[depth - 1].first;
        return nullptr;
    }

    // How many brackets are open at `pos`; positions are asked in increasing order.
    std::size_t depth_at(std::size_t pos)
    {
        for (; scanned_ < pos && scanned_ < t_.size(); scanned_ += char_bytes(t_, scanned_)) {
            if (starts_with(t_, scanned_, "（"))
                ++depth_;
            else if (starts_with(t_, scanned_, "）") && depth_ > 0)
                --depth_;
        }
        if (previous_.size() > depth_ + 1)
            previous_.resize(depth_ + 1); // a closed bracket's citations continue nothing
        return depth_;
    }

    // The law a title, 同法 or a short name at `pos` names, and where the
    // citation after it begins; false when no law is named there.
    bool read_law(std::size_t pos, std::string& law, std::size_t& after) const
    {
        const bool lead = words_.title_leads.count(t_.substr(pos, char_bytes(t_, pos))) > 0;
        for (const auto& [title, id] : lead ? words_.titles : kNoNames) {
            if (!title.empty() && starts_with(t_, pos, title)) {
                law = id;
                after = skip_law_number(t_, pos + title.size());
                return true;
            }
        }
        if (starts_with(t_, pos, "同法")) {
            law = memory_.other_law;
            after = pos + std::string_view("同法").size();
            return true;
        }
        if (is_word_char(char_before(t_, pos)))
            return false;
        for (const auto& [alias, id] : aliases_ ? *aliases_ : kNoNames) {
            if (starts_with(t_, pos, alias)) {
                law = id;
                after = pos + alias.size();
                return true;
            }
        }
        return false;
    }

    bool read_chain(std::size_t pos, Chain& c)
    {
        c.start = pos;
        std::size_t at = pos;
        std::string law;
        bool named_law = false;
        if (read_law(pos, law, at)) {
            if (!starts_with(t_, at, "第") && !starts_with(t_, at, "別表第") && !starts_with(t_, at, "附則第"))
                return false;
            named_law = true;
            c.head = Chain::Head::Law;
            if (law == kUnknownLaw) {
                c.reason = std::string(kReasonOtherLaw);
                law.clear();
            } else if (law.empty()) {
                c.reason = std::string(kReasonAmbiguous); // 同法 with no law named before
            } else if (law != place_.law) {
                memory_.other_law = law;
            }
        }
        const std::string own = named_law ? law : place_.law;

        if (starts_with(t_, at, "別表第"))
            return read_table(at, own, c);
        if (starts_with(t_, at, "附則第")) {
            if (!named_law && char_before(t_, at) == U'号') // the supplement of an amending law
                c.reason = std::string(kReasonOtherLaw);
            return read_supplement(at, own, c);
        }

        Provision base;
        base.law = own;
        int level = 0; // the lowest level named so far: 1 条, 2 項, 3 号, 4 イ
        if (!named_law && read_relative(at, base, level, c)) {
            c.head = Chain::Head::Relative;
        } else {
            Number n;
            if (!read_number(t_, at, n))
                return false;
            if (!named_law) {
                if (n.level == 3 && law_number_before(t_, at))
                    return false; // 法律第二百一号: a law's number
                if (n.level == 3 && (starts_with(t_, n.end, "様式") || starts_with(t_, n.end, "法定受託事務") ||
                                     table_row_before(t_, at)))
                    return false; // a form's number, a kind of entrusted work, a row of a table read before
                if (other_law_before(t_, at))
                    c.reason = std::string(kReasonOtherLaw);
            }
            c.first_level = n.level;
            if (n.level > 1 && !named_law) {
                if (const Provision* before = series_before(pos)) {
                    base = *before;
                } else if (std::get<0>(place_.article) != 0) {
                    base.article = place_.article;
                    base.paragraph = n.level == 3 ? place_.paragraph : 0;
                } else if (c.reason.empty()) {
                    c.reason = std::string(kReasonAmbiguous);
                }
            } else if (const Provision* before = n.level == 1 && !named_law ? series_before(pos) : nullptr) {
                base.law = before->law;
            } else if (n.level > 1 && named_law && c.reason.empty()) {
                c.reason = std::string(kReasonAmbiguous);
            }
            clear_below(base, n.level);
            apply(base, n);
            level = n.level;
            at = n.end;
        }
        at = read_lower(at, level, base);
        c.p = base;
        c.end = at;
        if (c.reason.empty() && c.p.law.empty())
            c.reason = std::string(kReasonOtherLaw); // continues a citation of another law
        return true;
    }

    // The numbers below `level` that follow: 第一項, 第二号の二, ロ, and 各号.
    std::size_t read_lower(std::size_t at, int level, Provision& p) const
    {
        for (;;) {
            Number n;
            if (read_number(t_, at, n) && n.level > level) {
                if (n.level == 3 && starts_with(t_, n.end, "様式"))
                    break;
                apply(p, n);
                level = n.level;
                at = n.end;
                continue;
            }
            if (level == 3) {
                std::size_t bytes = 0;
                if (const int sub = iroha_at(t_, at, bytes); sub > 0) {
                    p.sub = sub;
                    level = 4;
                    at += bytes;
                    continue;
                }
            }
            if ((level == 1 || level == 2) && (starts_with(t_, at, "各号") || starts_with(t_, at, "各項")))
                at += std::string_view("各号").size();
            break;
        }
        return at;
    }

    // 前条, 次項, 同号, 前二条, 前各項, この条 … at `at`.
    bool read_relative(std::size_t& at, Provision& base, int& level, Chain& c) const
    {
        Relative r;
        if (!read_relative_word(t_, at, r))
            return false;
        level = r.level;
        const auto fail = [&](std::string_view reason) {
            if (c.reason.empty())
                c.reason = std::string(reason);
        };
        const bool in_article = std::get<0>(place_.article) != 0;
        switch (r.kind) {
        case Relative::Kind::Same: {
            const std::optional<Provision>& named =
                r.level == 1 ? memory_.article : r.level == 2 ? memory_.paragraph : memory_.item;
            if (!named) {
                fail(kReasonAmbiguous);
                break;
            }
            base = *named;
            clear_below(base, r.level + 1);
            break;
        }
        case Relative::Kind::This:
            if (!in_article) {
                fail(kReasonAmbiguous);
                break;
            }
            base.article = place_.article;
            if (r.level >= 2)
                base.paragraph = place_.paragraph;
            break;
        case Relative::Kind::Step:
        case Relative::Kind::All:
            if (!in_article) {
                fail(kReasonAmbiguous);
                break;
            }
            base.article = place_.article;
            if (r.level == 1) {
                const int step = r.kind == Relative::Kind::All ? -1 : r.step;
                const auto key = words_.step_article ? words_.step_article(place_.law, place_.article, step)
                                                     : std::nullopt;
                if (!key)
                    fail(kReasonMissing);
                else
                    base.article = *key;
            } else if (r.level == 2) {
                const int paragraph = r.kind == Relative::Kind::All ? 1 : place_.paragraph + r.step;
                if (paragraph < 1 || (r.kind == Relative::Kind::All && place_.paragraph < 2))
                    fail(kReasonMissing);
                base.paragraph = paragraph;
            } else {
                base.paragraph = place_.paragraph;
                if (place_.item == 0) {
                    fail(kReasonAmbiguous); // 前号 in a paragraph's own sentence
                    break;
                }
                if (r.kind == Relative::Kind::All) {
                    base.item = 1;
                } else if (r.step == -1 && place_.item_branch >= 2) {
                    base.item = place_.item;
                    base.item_branch = place_.item_branch == 2 ? 0 : place_.item_branch - 1;
                } else {
                    base.item = place_.item + r.step;
                    if (base.item < 1)
                        fail(kReasonMissing);
                }
            }
            break;
        }
        at = r.end;
        return true;
    }

    bool read_table(std::size_t at, const std::string& law, Chain& c) const
    {
        Number n;
        const std::size_t number = at + std::string_view("別表").size();
        if (!read_table_number(t_, number, n))
            return false;
        c.head = c.head == Chain::Head::Law ? c.head : Chain::Head::Table;
        c.p.law = law;
        c.p.table = n.value;
        c.p.table_branch = n.branch;
        c.end = table_column_end(t_, n.end);
        return true;
    }

    bool read_supplement(std::size_t at, const std::string& law, Chain& c) const
    {
        Number n;
        const std::size_t number = at + std::string_view("附則").size();
        if (!read_number(t_, number, n) || n.level > 2)
            return false;
        c.head = c.head == Chain::Head::Law ? c.head : Chain::Head::Supplement;
        c.p.law = law;
        if (n.level == 1)
            c.p.supplement_article = n.value;
        else
            c.p.supplement_paragraph = n.value;
        c.end = n.end;
        if (n.level == 1) { // 附則第三条第二項: the span takes the paragraph, the link the article
            Number lower;
            if (read_number(t_, c.end, lower) && lower.level == 2)
                c.end = lower.end;
        }
        return true;
    }

    std::string_view t_;
    const CitingPlace& place_;
    const LawWords& words_;
    CitationMemory& memory_;
    std::vector<std::pair<std::size_t, std::size_t>> quotes_;
    const std::vector<std::pair<std::string, std::string>>* aliases_ = nullptr;
    std::vector<std::pair<std::optional<Provision>, std::size_t>> previous_; // by depth of brackets: citation, end
    std::size_t scanned_ = 0, depth_ = 0;
};

} // namespace

void LawWords::sort_titles()
{
    const auto longest_first = [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); };
    std::stable_sort(titles.begin(), titles.end(), longest_first);
    for (auto& [law, names] : aliases)
        std::stable_sort(names.begin(), names.end(), longest_first);
    title_leads.clear();
    for (const auto& [title, law] : titles)
        if (!title.empty())
            title_leads.insert(std::string(title.substr(0, char_bytes(title, 0))));
}

std::vector<FoundCitation> find_citations(std::string_view text, const CitingPlace& place, const LawWords& words,
                                          CitationMemory& memory)
{
    return Reader(text, place, words, memory).run();
}

} // namespace velto::citelink
