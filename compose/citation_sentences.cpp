// Paragraphs, items and sub-items: found among the sentences of an article or
// of the supplementary provisions, by the numbering fields of their
// identifiers (articles) or the number the sentence begins with
// (supplementary provisions, whose identifiers count sentences).
#include "compose/citation_index.h"
#include "core/database.h"
#include "core/identifiers.h"

#include <optional>

namespace velto {

using namespace citation;

namespace {

constexpr std::size_t kSentenceIdLength = 35;
// Lengths of the identifier prefixes that the sentences of a paragraph, an
// item, a sub-item and a sub-sub-item share.
constexpr std::size_t kParagraphScope = 20;
constexpr std::size_t kItemScope = 25;
constexpr std::size_t kSubItemScope = 28;
constexpr std::size_t kSubSubItemScope = 29;

struct Sentence {
    SentenceRow row;
    SentenceFields fields;
};

// The sentences of the shown pages whose identifiers begin with `prefix` and
// "-", in identifier order.
std::vector<Sentence> read_sentences(Database& db, const std::unordered_set<std::string>& pages,
                                     const std::string& prefix, bool with_text)
{
    const std::string escaped = sql_escape(prefix);
    auto rs = db.execute(std::string("SELECT ID_BN") + (with_text ? ", 法文" : "") + " FROM T_文 WHERE ID_BN > '" +
                         escaped + "-' AND ID_BN < '" + escaped + ".' ORDER BY ID_BN");
    std::vector<Sentence> out;
    for (; !rs->eof(); rs->move_next()) {
        Sentence s;
        s.row.id = rs->text("ID_BN");
        if (s.row.id.size() != kSentenceIdLength || !pages.count(s.row.id.substr(0, 15)) ||
            !IdentifierRules::_parse_sentence_id(s.row.id, 0x3F, s.fields))
            continue;
        if (with_text)
            s.row.text = rs->text("法文");
        out.push_back(std::move(s));
    }
    return out;
}

bool same_group(const std::string& a, const std::string& b, std::size_t scope)
{
    return a.compare(16, scope - 16, b, 16, scope - 16) == 0;
}

CitationResult found_at(const std::string& anchor, std::size_t scope, std::string label)
{
    return CitationResult{true, {anchor.substr(0, 15), anchor, anchor.substr(0, scope), std::move(label)}, {}, {}};
}

// The item, sub-item and sub-sub-item of `body` below the sentence `at`;
// `words` names the provision of `at` in messages ("建築基準法第六条第一項").
CitationResult descend(const std::vector<Sentence>& sentences, std::size_t at, const CitationBody& body,
                       const std::string& words, const std::string& prefix, std::string label)
{
    std::string anchor = sentences[at].row.id;
    std::size_t scope = kParagraphScope;
    std::string named = words;
    const struct Level {
        int wanted;
        std::size_t group, scope;
        int SentenceFields::*field;
        int SentenceFields::*branch;
    } levels[] = {
        {body.item, kParagraphScope, kItemScope, &SentenceFields::item, &SentenceFields::item_branch},
        {body.sub_item, kItemScope, kSubItemScope, &SentenceFields::sub_item, nullptr},
        {body.sub_sub_item, kSubItemScope, kSubSubItemScope, &SentenceFields::sub_sub_item, nullptr},
    };
    for (const Level& level : levels) {
        if (level.wanted == 0)
            continue;
        const int branch = level.branch == &SentenceFields::item_branch ? body.item_branch : 0;
        std::map<std::pair<int, int>, bool> present;
        const Sentence* match = nullptr;
        for (const Sentence& s : sentences) {
            if (!same_group(s.row.id, anchor, level.group) || s.fields.*level.field == 0)
                continue;
            const std::pair<int, int> key{s.fields.*level.field, level.branch ? s.fields.*level.branch : 0};
            present[key] = true;
            if (!match && key == std::make_pair(level.wanted, branch))
                match = &s;
        }
        const std::string what = level.field == &SentenceFields::item ? item_words(body.item, body.item_branch)
                                 : level.field == &SentenceFields::sub_item ? sub_item_words(body.sub_item, 0)
                                                                             : sub_item_words(0, body.sub_sub_item);
        if (!match) {
            CitationResult result{false, {}, named + "に" + what + "はありません", {}};
            for (const auto& [number, item_branch] : neighbours(present, {level.wanted, branch})) {
                CitationBody near = body;
                if (level.field == &SentenceFields::item) {
                    near.item = number;
                    near.item_branch = item_branch;
                    near.sub_item = near.sub_sub_item = 0;
                } else if (level.field == &SentenceFields::sub_item) {
                    near.sub_item = number;
                    near.sub_sub_item = 0;
                } else {
                    near.sub_sub_item = number;
                }
                result.suggestions.push_back(prefix + citation_text(near));
            }
            return result;
        }
        anchor = match->row.id;
        scope = level.scope;
        named += what;
    }
    return found_at(anchor, scope, std::move(label));
}

// The words a sentence of the supplementary provisions begins with, up to
// its first blank ("第一条", "２"), in plain characters; links marked in
// the stored text ("[第1条]") read as their words.
std::string head_of(const std::string& text)
{
    std::string head = normalize_citation(text.substr(0, std::min(text.find("　"), text.find(' '))));
    std::string plain;
    for (char c : head)
        if (c != '[' && c != ']')
            plain += c;
    return plain.size() > 40 ? std::string() : plain;
}

// The paragraph number a sentence of the supplementary provisions begins with ("２　..."); 0 for none.
int head_paragraph(const std::string& head)
{
    if (head.empty() || head.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return decimal_value(head);
}

// The article a sentence of the supplementary provisions begins with ("第一条　..."), if any.
std::optional<ArticleKey> head_article(const std::string& head)
{
    CitationBody body;
    std::string unread;
    if (head.empty() || head_paragraph(head) > 0 || !parse_citation_body(head, body, unread) || body.article == 0 ||
        body.paragraph != 0 || body.item != 0 || body.sub_item != 0)
        return std::nullopt;
    return ArticleKey{body.article, body.branch1, body.branch2};
}

} // namespace

CitationResult CitationResolver::resolve_article(const Request& request) const
{
    const LawIndex& law = *request.law;
    const CitationBody& body = request.body;
    const ArticleKey key{body.article, body.branch1, body.branch2};
    const auto article = law.articles.find(key);
    const std::string label = law.name + " " + citation_text(body);
    if (article == law.articles.end()) {
        CitationResult result{false, {}, law.name + "に" + article_words(key) + "はありません", {}};
        for (const ArticleKey& near : neighbours(law.articles, key)) {
            CitationBody other;
            std::tie(other.article, other.branch1, other.branch2) = near;
            result.suggestions.push_back(request.law_prefix() + citation_text(other));
        }
        return result;
    }
    if (body.paragraph == 0 && body.item == 0 && body.sub_item == 0)
        return CitationResult{true, {article->second, {}, {}, label}, {}, {}};

    const std::vector<Sentence> sentences = read_sentences(db_, index_->pages, article->second.substr(0, 12), false);
    // An item without a paragraph is of the first (an article of one paragraph).
    const int wanted = body.paragraph > 0 ? body.paragraph : 1;
    std::map<std::pair<int, int>, bool> paragraphs;
    std::optional<std::size_t> at;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        const SentenceFields& f = sentences[i].fields;
        const int number = std::max(f.paragraph, 1); // the first paragraph may be numbered 0
        if (f.paragraph_branch != 0)
            continue;
        paragraphs[{number, 0}] = true;
        if (!at && number == wanted)
            at = i;
    }
    std::string words = law.name + article_words(key);
    if (!at) {
        CitationResult result{false, {}, words + "に" + paragraph_words(wanted) + "はありません", {}};
        for (const auto& near : neighbours(paragraphs, {wanted, 0})) {
            CitationBody other = body;
            other.paragraph = near.first;
            other.item = other.item_branch = other.sub_item = other.sub_sub_item = 0;
            result.suggestions.push_back(request.law_prefix() + citation_text(other));
        }
        return result;
    }
    if (body.paragraph > 0)
        words += paragraph_words(body.paragraph);
    return descend(sentences, *at, body, words, request.law_prefix(), label);
}

CitationResult CitationResolver::resolve_supplement(const Request& request) const
{
    const LawIndex& law = *request.law;
    const CitationBody& body = request.body;
    if (law.supplement.empty())
        return CitationResult{false, {}, law.name + "に附則はありません", {}};
    const std::string label = law.name + " " + citation_text(body);
    if (body.article == 0 && body.paragraph == 0 && body.item == 0 && body.sub_item == 0)
        return CitationResult{true, {law.supplement, {}, {}, label}, {}, {}};

    const std::vector<Sentence> sentences = read_sentences(db_, index_->pages, law.supplement, true);
    std::vector<std::string> heads;
    for (const Sentence& s : sentences)
        heads.push_back(head_of(s.row.text));

    std::string words = law.name + "の附則";
    std::size_t from = 0, to = sentences.size();
    if (body.article > 0) {
        const ArticleKey key{body.article, body.branch1, body.branch2};
        std::map<ArticleKey, bool> articles;
        std::optional<std::size_t> at;
        for (std::size_t i = 0; i < sentences.size(); ++i) {
            if (const auto found = head_article(heads[i])) {
                articles[*found] = true;
                if (at && to == sentences.size())
                    to = i; // the article ends where the next begins
                if (!at && *found == key)
                    at = i;
            }
        }
        if (!at) {
            CitationResult result{false, {}, words + "に" + article_words(key) + "はありません", {}};
            for (const ArticleKey& near : neighbours(articles, key)) {
                CitationBody other;
                other.kind = CitationBody::Kind::Supplement;
                std::tie(other.article, other.branch1, other.branch2) = near;
                result.suggestions.push_back(request.law_prefix() + citation_text(other));
            }
            return result;
        }
        from = *at;
        words += article_words(key);
    }
    std::size_t at = from;
    if (body.paragraph > 1 || (body.paragraph == 1 && body.article == 0)) {
        std::map<std::pair<int, int>, bool> paragraphs;
        std::optional<std::size_t> found;
        for (std::size_t i = from; i < to; ++i) {
            if (const int number = head_paragraph(heads[i])) {
                paragraphs[{number, 0}] = true;
                if (!found && number == body.paragraph)
                    found = i;
            }
        }
        if (!found) {
            CitationResult result{false, {}, words + "に" + paragraph_words(body.paragraph) + "はありません", {}};
            for (const auto& near : neighbours(paragraphs, {body.paragraph, 0})) {
                CitationBody other = body;
                other.paragraph = near.first;
                other.item = other.item_branch = other.sub_item = other.sub_sub_item = 0;
                result.suggestions.push_back(request.law_prefix() + citation_text(other));
            }
            return result;
        }
        at = *found;
    }
    if (body.paragraph > 0)
        words += paragraph_words(body.paragraph);
    return descend(sentences, at, body, words, request.law_prefix(), label);
}

} // namespace velto
