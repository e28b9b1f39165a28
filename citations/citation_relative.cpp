// The citations that name a provision by where the citing sentence stands
// (前条, 次項, 同号, 前各号, この条 …), appended tables and supplements.
#include "citations/citation_reader.h"

namespace velto::citelink::detail {

bool Reader::read_relative(std::size_t& at, Provision& base, int& level, Chain& c) const
{
    Relative r;
    if (!read_relative_word(t_, at, r))
        return false;
    level = r.level;
    c.first_level = r.level;
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
        if (r.level >= 3 && place_.item == 0) {
            fail(kReasonAmbiguous); // この号 in a paragraph's own sentence
            break;
        }
        base.article = place_.article;
        if (r.level >= 2)
            base.paragraph = place_.paragraph;
        if (r.level >= 3) {
            base.item = place_.item;
            base.item_branch = place_.item_branch;
        }
        c.self = true;
        break;
    case Relative::Kind::Step:
    case Relative::Kind::All:
        if (!in_article) {
            fail(kReasonAmbiguous);
            break;
        }
        base.article = place_.article;
        c.own_article = r.level >= 2;
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

bool Reader::read_table(std::size_t at, const std::string& law, Chain& c) const
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

bool Reader::read_supplement(std::size_t at, const std::string& law, Chain& c) const
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

} // namespace velto::citelink::detail
