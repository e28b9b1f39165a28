#include "terms/definition_finder.h"

#include "core/identifiers.h"
#include "core/sjis.h"

#include <string>

namespace velto {

namespace {

constexpr std::size_t kMaxTermCharacters = 40;
constexpr std::size_t kSentenceIdLength = 35;

struct ScopeWord {
    std::string_view word;
    TermUnit unit;
};

// The words that name a definition's reach; 款 is read as its section's.
constexpr ScopeWord kScopeWords[] = {
    {"この法律", TermUnit::Law},       {"この政令", TermUnit::Law},     {"この省令", TermUnit::Law},
    {"この府令", TermUnit::Law},       {"この規則", TermUnit::Law},     {"この命令", TermUnit::Law},
    {"この告示", TermUnit::Law},       {"この条例", TermUnit::Law},     {"この章", TermUnit::Chapter},   {"この節", TermUnit::Section},
    {"この款", TermUnit::Section},     {"この条", TermUnit::Article},   {"この項", TermUnit::Paragraph},
    {"この号", TermUnit::Item},
};

bool starts_with(std::string_view text, std::size_t at, std::string_view word)
{
    return at <= text.size() && text.substr(at).substr(0, word.size()) == word;
}

const ScopeWord* scope_word_at(std::string_view text, std::size_t at)
{
    for (const ScopeWord& w : kScopeWords)
        if (starts_with(text, at, w.word))
            return &w;
    return nullptr;
}

// The last scope word in text[0, end) that is followed by において or で
// before `end`; null when there is none.
const ScopeWord* scope_before(std::string_view text, std::size_t end)
{
    std::size_t at = text.rfind("この", end);
    for (; at != std::string_view::npos; at = at == 0 ? std::string_view::npos : text.rfind("この", at - 1)) {
        if (at >= end)
            continue;
        const ScopeWord* w = scope_word_at(text, at);
        if (!w)
            continue;
        const std::string_view rest = text.substr(at + w->word.size(), end - at - w->word.size());
        if (rest.find("において") != std::string_view::npos || rest.substr(0, 3) == "で")
            return w;
        return nullptr; // the nearest scope word says nothing of this definition
    }
    return nullptr;
}

// A term as quoted: not empty, short, one phrase.
bool plausible_term(std::string_view term)
{
    if (term.empty() || utf8_length(term) > kMaxTermCharacters)
        return false;
    for (std::string_view bad : {"「", "」", "。", "、", "<", "[", "\t"})
        if (term.find(bad) != std::string_view::npos)
            return false;
    return true;
}

void add(std::vector<DefinedTerm>& out, std::string_view term, std::string_view sentence, TermUnit unit, bool from_here)
{
    DefinedTerm t;
    t.term = std::string(term);
    t.sentence = std::string(sentence);
    t.unit = unit;
    t.from_here = from_here;
    out.push_back(std::move(t));
}

// 「X」とは in a sentence that names its reach.
void find_quoted(const LawSentence& s, std::vector<DefinedTerm>& out)
{
    const std::string_view text = s.text;
    for (std::size_t end = text.find("」とは"); end != std::string_view::npos; end = text.find("」とは", end + 1)) {
        const std::size_t open = text.rfind("「", end);
        if (open == std::string_view::npos)
            continue;
        const std::string_view term = text.substr(open + 3, end - open - 3);
        const ScopeWord* w = plausible_term(term) ? scope_before(text, open) : nullptr;
        if (w)
            add(out, term, s.id, w->unit, false);
    }
}

// 以下…「X」という at `at` (just after 以下); nothing when the words there are not such.
void read_hereinafter(const LawSentence& s, std::size_t at, std::vector<DefinedTerm>& out)
{
    const std::string_view text = s.text;
    TermUnit unit = TermUnit::Law;
    if (const ScopeWord* w = scope_word_at(text, at)) {
        unit = w->unit;
        at += w->word.size();
        for (std::string_view more : {"及び次条", "から次条まで"})
            if (starts_with(text, at, more))
                at += more.size();
        if (!starts_with(text, at, "において"))
            return;
        at += std::string_view("において").size();
    }
    for (bool again = true; again;) {
        again = false;
        for (std::string_view filler : {"、", "単に", "それぞれ", "これらを", "総称して", "併せて"})
            if (starts_with(text, at, filler)) {
                at += filler.size();
                again = true;
            }
    }
    std::vector<std::string_view> terms;
    while (starts_with(text, at, "「")) {
        const std::size_t close = text.find("」", at);
        if (close == std::string_view::npos)
            return;
        const std::string_view term = text.substr(at + 3, close - at - 3);
        if (!plausible_term(term))
            return;
        terms.push_back(term);
        at = close + 3;
        bool joined = false;
        for (std::string_view joint : {"、", "又は", "及び", "若しくは", "並びに", "と「"})
            if (starts_with(text, at, joint)) {
                at += joint == "と「" ? 3 : joint.size();
                joined = true;
                break;
            }
        if (!joined)
            break;
    }
    bool named = false;
    for (std::string_view end : {"という", "と総称する", "と略称する"})
        named = named || starts_with(text, at, end);
    if (!named)
        return;
    for (std::string_view term : terms)
        add(out, term, s.id, unit, true);
}

// 「X」 as X; any other word as it is.
std::string_view without_quotes(std::string_view term)
{
    if (term.size() > 6 && term.substr(0, 3) == "「" && term.substr(term.size() - 3) == "」")
        return term.substr(3, term.size() - 6);
    return term;
}

bool is_item_sentence(std::string_view id)
{
    return id.size() == kSentenceIdLength && id.substr(21, 4) != "0000" && id.substr(26, 4) == "0000";
}

// The term an item of a definitions article begins with, or empty.
std::string_view item_term(std::string_view text)
{
    const std::size_t blank = text.find("　");
    if (blank == std::string_view::npos)
        return {};
    std::string_view term = text.substr(0, blank);
    term = without_quotes(term);
    return plausible_term(term) && term.find("（") == std::string_view::npos ? term : std::string_view();
}

bool is_paragraph_sentence(std::string_view id)
{
    return id.size() == kSentenceIdLength && id.substr(21, 4) == "0000";
}

// 「この法律の用語は左の例による。」: the paragraphs after it in its article
// each define one word, unquoted ("防火対象物とは、…をいう。"). Not the
// sentence of a rule that takes its act's words ("…において使用する用語の例による").
bool leads_unquoted_definitions(std::string_view text)
{
    return text.find("用語は") != std::string_view::npos &&
           (text.find("左の例による") != std::string_view::npos || text.find("次の例による") != std::string_view::npos) &&
           text.find("使用する用語") == std::string_view::npos;
}

// The word before 「とは、」 at the start of a sentence ("防火対象物とは、"), quoted or not.
std::string_view term_before_towa(std::string_view text, std::size_t from)
{
    const std::size_t towa = text.find("とは、", from);
    if (towa == std::string_view::npos || towa == from)
        return {};
    std::string_view term = text.substr(from, towa - from);
    term = without_quotes(term);
    if (!plausible_term(term))
        return {};
    for (std::string_view clause : {"（", "において", "場合", "規定"})
        if (term.find(clause) != std::string_view::npos)
            return {}; // a clause, not a word
    return term;
}

// A word a provision defines for another's use, at the start of its sentence:
// 「前項の地盤面とは」 holds within its article, 「前条第二項第一号イに規定する
// 保有水平耐力計算とは」 in the whole law, as the provisions that use it do.
void find_defined_for_use(const LawSentence& s, std::vector<DefinedTerm>& out)
{
    const std::string_view text = s.text;
    constexpr std::string_view kPreviousParagraph = "前項の";
    constexpr std::string_view kProvided = "に規定する";
    if (starts_with(text, 0, kPreviousParagraph)) {
        if (const std::string_view term = term_before_towa(text, kPreviousParagraph.size()); !term.empty())
            add(out, term, s.id, TermUnit::Article, false);
        return;
    }
    bool cited = false;
    for (std::string_view lead : {"前条", "次条", "同条", "第", "法第", "令第"})
        cited = cited || starts_with(text, 0, lead);
    const std::size_t provided = text.find(kProvided);
    if (!cited || provided == std::string_view::npos)
        return;
    const std::string_view citation = text.substr(0, provided);
    if (citation.find("、") != std::string_view::npos || citation.find("。") != std::string_view::npos)
        return;
    if (const std::string_view term = term_before_towa(text, provided + kProvided.size()); !term.empty())
        add(out, term, s.id, TermUnit::Law, false);
}

} // namespace

std::vector<DefinedTerm> find_definitions(const std::vector<LawSentence>& sentences)
{
    std::vector<DefinedTerm> out;
    std::string_view lead_paragraph; // the paragraph whose items are definitions
    TermUnit lead_unit = TermUnit::Law;
    std::string_view lead_article;   // the article whose later paragraphs define words unquoted
    TermUnit lead_article_unit = TermUnit::Law;
    for (const LawSentence& s : sentences) {
        const std::string_view text = s.text;
        if (!lead_article.empty() && s.id.substr(0, kPageScope) != lead_article)
            lead_article = {};
        if (!lead_article.empty() && is_paragraph_sentence(s.id)) {
            if (const std::string_view term = term_before_towa(text, 0); !term.empty())
                add(out, term, s.id, lead_article_unit, false);
        } else if (is_paragraph_sentence(s.id)) {
            find_defined_for_use(s, out);
        }
        if (leads_unquoted_definitions(text) && is_paragraph_sentence(s.id)) {
            const ScopeWord* w = scope_before(text, text.find("用語は"));
            lead_article_unit = w ? w->unit : TermUnit::Law;
            lead_article = s.id.substr(0, kPageScope);
        }
        if (!lead_paragraph.empty() && s.id.substr(0, kParagraphScope) == lead_paragraph) {
            if (is_item_sentence(s.id)) {
                // "都市計画区域又は準都市計画区域　それぞれ…" defines two words.
                std::string_view term = item_term(text);
                for (std::size_t joint; !term.empty(); term = term.substr(joint + std::string_view("又は").size())) {
                    joint = term.find("又は");
                    add(out, term.substr(0, joint), s.id, lead_unit, false);
                    if (joint == std::string_view::npos)
                        break;
                }
            }
        } else {
            lead_paragraph = {};
        }
        const std::size_t words = text.find("用語の意義は");
        if (words != std::string_view::npos && text.find("各号") != std::string_view::npos &&
            s.id.size() == kSentenceIdLength) {
            const ScopeWord* w = scope_before(text, words);
            lead_unit = w ? w->unit : TermUnit::Law;
            lead_paragraph = s.id.substr(0, kParagraphScope);
        }
        find_quoted(s, out);
        for (std::size_t at = text.find("以下"); at != std::string_view::npos; at = text.find("以下", at + 1))
            read_hereinafter(s, at + std::string_view("以下").size(), out);
    }
    return out;
}

} // namespace velto
