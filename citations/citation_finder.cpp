#include "citations/citation_finder.h"

#include "citations/citation_reader.h"
#include "core/sjis.h"

#include <algorithm>

namespace velto::citelink {

namespace detail {

std::vector<FoundCitation> Reader::run()
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
            pos = std::max(pos + char_bytes(t_, pos), chain.end); // past a law named with no citation after it
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
            remember(chain);
            const std::size_t depth = depth_at(chain.start);
            previous_.resize(depth + 1);
            previous_[depth] = {chain.p, chain.end};
        }
        found.push_back(std::move(f));
        pos = chain.end;
    }
    return found;
}

bool Reader::in_quotation(std::size_t pos) const
{
    return std::any_of(quotes_.begin(), quotes_.end(), [&](const auto& r) { return pos > r.first && pos < r.second; });
}

void Reader::remember(const Chain& c)
{
    const Provision& p = c.p;
    if (std::get<0>(p.article) == 0 || c.self)
        return;
    if (!c.own_article)
        memory_.article = p;
    if (p.paragraph && !(c.own_article && c.first_level > 2)) // 前号, 第二号 name no paragraph a 同項 means
        memory_.paragraph = p;
    if (p.item)
        memory_.item = p;
}

const Provision* Reader::series_before(std::size_t pos, bool qualified)
{
    const std::size_t depth = depth_at(pos);
    if (depth < previous_.size() && previous_[depth].first && only_joiners(t_, previous_[depth].second, pos))
        return &*previous_[depth].first;
    if (qualified && depth > 0 && depth < attached_.size() && attached_[depth])
        return &*attached_[depth];
    return nullptr;
}

std::size_t Reader::depth_at(std::size_t pos)
{
    for (; scanned_ < pos && scanned_ < t_.size(); scanned_ += char_bytes(t_, scanned_)) {
        if (starts_with(t_, scanned_, "（")) {
            const bool after_citation =
                depth_ < previous_.size() && previous_[depth_].first && previous_[depth_].second == scanned_;
            ++depth_;
            attached_.resize(depth_ + 1);
            attached_[depth_] = after_citation ? previous_[depth_ - 1].first : std::nullopt;
        } else if (starts_with(t_, scanned_, "）") && depth_ > 0) {
            --depth_;
            attached_.resize(depth_ + 1);
        } else if (starts_with(t_, scanned_, "。") && depth_ < attached_.size()) {
            attached_[depth_].reset();
        }
    }
    if (previous_.size() > depth_ + 1)
        previous_.resize(depth_ + 1); // a closed bracket's citations continue nothing
    return depth_;
}

bool Reader::read_law(std::size_t pos, std::string& law, std::size_t& after, bool& titled) const
{
    titled = false;
    const bool lead = words_.title_leads.count(t_.substr(pos, char_bytes(t_, pos))) > 0;
    for (const auto& [title, id] : lead ? words_.titles : kNoNames) {
        if (!title.empty() && starts_with(t_, pos, title)) {
            law = id;
            after = skip_law_number(t_, pos + title.size());
            titled = true;
            return true;
        }
    }
    if (starts_with(t_, pos, "同法")) {
        law = memory_.other_law;
        after = pos + std::string_view("同法").size();
        return true;
    }
    if (is_word_char(utf8_char_before(t_, pos)))
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

bool Reader::read_chain(std::size_t pos, Chain& c)
{
    c.start = pos;
    std::size_t at = pos;
    std::string law;
    bool named_law = false;
    bool titled = false;
    if (read_law(pos, law, at, titled)) {
        if (!starts_with(t_, at, "第") && !starts_with(t_, at, "別表第") && !starts_with(t_, at, "附則第")) {
            if (titled && law != place_.law)
                memory_.other_law = law; // 「建築士法（…）の規定による…同法第三条」
            c.end = titled ? at : 0;
            return false;
        }
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
        if (!named_law && utf8_char_before(t_, at) == U'号') // the supplement of an amending law
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
            if (n.level == 3 && law_number_before(t_, at)) {
                // 法律第三十八号: the number of a law whose title the collection
                // does not hold (a title it holds is read with its number), so
                // a 同法 after it names no law here.
                memory_.other_law = std::string(kUnknownLaw);
                return false;
            }
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
                c.own_article = true; // 第一項 names a paragraph here, no article a 同条 could mean
            } else if (c.reason.empty()) {
                c.reason = std::string(kReasonAmbiguous);
            }
        } else if (const Provision* before = n.level == 1 && !named_law ? series_before(pos, false) : nullptr) {
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

std::size_t Reader::read_lower(std::size_t at, int level, Provision& p) const
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

} // namespace detail

void LawWords::sort_titles()
{
    const auto longest_first = [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); };
    std::stable_sort(titles.begin(), titles.end(), longest_first);
    for (auto& [law, names] : aliases)
        std::stable_sort(names.begin(), names.end(), longest_first);
    title_leads.clear();
    for (const auto& [title, law] : titles)
        if (!title.empty())
            title_leads.insert(std::string(title.substr(0, words::char_bytes(title, 0))));
}

std::vector<FoundCitation> find_citations(std::string_view text, const CitingPlace& place, const LawWords& words,
                                          CitationMemory& memory)
{
    return detail::Reader(text, place, words, memory).run();
}

} // namespace velto::citelink
