#include "terms/term_book.h"

#include "catalog/law_family.h"
#include "core/identifiers.h"
#include "core/sjis.h"
#include "core/text_format.h"

#include <algorithm>
#include <set>

namespace velto {

namespace {

constexpr std::size_t kLawWidth = 3;
constexpr std::size_t kMinWholeWord = 2; // characters

constexpr const char* kColumns = "SELECT 用語, ID_BN, 範囲, 始, 終 FROM T_用語 ";

void read_scope(std::string_view words, DefinedTerm& t)
{
    for (int unit = 0; unit <= static_cast<int>(TermUnit::Item); ++unit)
        for (bool from_here : {false, true})
            if (scope_words(static_cast<TermUnit>(unit), from_here) == words) {
                t.unit = static_cast<TermUnit>(unit);
                t.from_here = from_here;
                return;
            }
}

// The later beginning wins: the narrower scope, or the later 以下.
const DefinedTerm* latest_in_scope(const std::vector<DefinedTerm>& terms, std::string_view id)
{
    const DefinedTerm* best = nullptr;
    for (const DefinedTerm& t : terms)
        if (in_scope(t, id) && (!best || t.first > best->first))
            best = &t;
    return best;
}

std::string law_wide_end(const std::string& law) { return law + "-~"; }

} // namespace

const DefinedTerm* TermsInUse::definition(std::size_t index, std::string_view id) const
{
    const Word& w = words_.at(index);
    if (const DefinedTerm* own = latest_in_scope(w.own, id))
        return own;
    return w.inherited.empty() ? nullptr : &w.inherited.front();
}

void TermsInUse::add(DefinedTerm term, bool inherited)
{
    const auto [it, added] = index_.try_emplace(term.term, words_.size());
    if (added)
        words_.push_back(Word{term.term, {}, {}});
    Word& w = words_[it->second];
    (inherited ? w.inherited : w.own).push_back(std::move(term));
}

TermBook::TermBook(Database& db) : db_(db) {}

TermBook::~TermBook() = default;

bool TermBook::available()
{
    if (!available_)
        available_ = db_.has_table("T_用語");
    return *available_;
}

std::vector<DefinedTerm> TermBook::read(const std::string& statement)
{
    std::vector<DefinedTerm> out;
    for (auto rs = db_.execute(statement); !rs->eof(); rs->move_next()) {
        DefinedTerm t;
        t.term = rs->text("用語");
        t.sentence = rs->text("ID_BN");
        read_scope(rs->text("範囲"), t);
        t.first = rs->text("始");
        t.last = rs->text("終");
        out.push_back(std::move(t));
    }
    return out;
}

std::vector<std::string> TermBook::parents(const std::string& law)
{
    if (!families_)
        families_ = std::make_unique<LawFamilies>(read_law_families(db_));
    return families_->parents(law);
}

TermsInUse TermBook::terms_in_use(std::string_view law_id)
{
    TermsInUse terms;
    if (law_id.size() != kLawWidth || !available())
        return terms;
    const std::string law(law_id);
    for (DefinedTerm& t : read(format("%sWHERE ID_HN = '%s'", kColumns, sql_escape(law).c_str())))
        terms.add(std::move(t), false);
    for (const std::string& parent : parents(law))
        for (DefinedTerm& t : read(format("%sWHERE ID_HN = '%s' AND 終 = '%s' ORDER BY ID_BN", kColumns,
                                          sql_escape(parent).c_str(), sql_escape(law_wide_end(parent)).c_str())))
            terms.add(std::move(t), true);
    return terms;
}

std::optional<DefinedTerm> TermBook::term_at(std::string_view id_bn, std::string_view term)
{
    if (id_bn.size() <= kPageScope || term.empty() || !available())
        return std::nullopt;
    const std::string law(id_bn.substr(0, kLawWidth));
    const std::vector<DefinedTerm> own = read(format("%sWHERE ID_HN = '%s' AND 用語 = '%s'", kColumns,
                                                     sql_escape(law).c_str(), sql_escape(term).c_str()));
    if (const DefinedTerm* t = latest_in_scope(own, id_bn))
        return *t;
    for (const std::string& parent : parents(law)) {
        const std::vector<DefinedTerm> act =
            read(format("%sWHERE ID_HN = '%s' AND 用語 = '%s' AND 終 = '%s' ORDER BY ID_BN", kColumns,
                        sql_escape(parent).c_str(), sql_escape(term).c_str(), sql_escape(law_wide_end(parent)).c_str()));
        if (!act.empty())
            return act.front();
    }
    return std::nullopt;
}

std::vector<DefinedTerm> TermBook::law_terms(std::string_view law)
{
    if (!available())
        return {};
    return read(format("%sWHERE ID_HN = '%s' ORDER BY ID_BN, rowid", kColumns, sql_escape(law).c_str()));
}

const std::vector<std::string>& TermBook::whole_words()
{
    if (whole_words_)
        return *whole_words_;
    std::set<std::string> words;
    if (available())
        for (auto rs = db_.execute("SELECT DISTINCT 用語 FROM T_用語"); !rs->eof(); rs->move_next())
            words.insert(rs->text("用語"));
    for (auto rs = db_.execute("SELECT 法名一般, 法名略式 FROM T_法"); !rs->eof(); rs->move_next())
        for (std::string_view field : {"法名一般", "法名略式"})
            words.insert(rs->text(field));
    whole_words_.emplace();
    for (const std::string& w : words)
        if (utf8_length(w) >= kMinWholeWord)
            whole_words_->push_back(w);
    return *whole_words_;
}

} // namespace velto
