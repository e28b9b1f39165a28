// Paragraphs, items and sub-items: found among the sentences of an article or
// of the supplementary provisions, by the numbering fields of their
// identifiers (articles) or the number the sentence begins with
// (supplementary provisions, whose identifiers count sentences).
#include "citations/citation_index.h"
#include "core/database.h"
#include "core/identifiers.h"

#include <optional>
#include <set>
#include <tuple>

namespace velto {

using namespace citation;

namespace {

constexpr std::size_t kSentenceIdLength = 35;

struct Sentence {
    SentenceRow row;
    SentenceFields fields;
};

// The sentences of the shown pages `pages` (of the law of `prefix`) whose identifiers begin with `prefix` and
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

// A level below the paragraph: item, sub-item, sub-sub-item.
using LevelKey = std::pair<int, int>; // number and branch
struct Level {
    std::size_t group; // identifier prefix its sentences share with the provision above
    std::size_t scope; // identifier prefix its own sentences share
    LevelKey (*of_sentence)(const SentenceFields&);
    LevelKey (*of_citation)(const CitationBody&);
    void (*cite)(CitationBody&, LevelKey); // the citation of another one of the level, nothing below it
    std::string (*words)(const CitationBody&);
};

const Level kLevels[] = {
    {kParagraphScope, kItemScope, [](const SentenceFields& f) { return LevelKey{f.item, f.item_branch}; },
     [](const CitationBody& b) { return LevelKey{b.item, b.item_branch}; },
     [](CitationBody& b, LevelKey k) {
         std::tie(b.item, b.item_branch) = k;
         b.sub_item = b.sub_sub_item = 0;
     },
     [](const CitationBody& b) { return item_words(b.item, b.item_branch); }},
    {kItemScope, kSubItemScope, [](const SentenceFields& f) { return LevelKey{f.sub_item, 0}; },
     [](const CitationBody& b) { return LevelKey{b.sub_item, 0}; },
     [](CitationBody& b, LevelKey k) {
         b.sub_item = k.first;
         b.sub_sub_item = 0;
     },
     [](const CitationBody& b) { return sub_item_words(b.sub_item, 0); }},
    {kSubItemScope, kSubSubItemScope, [](const SentenceFields& f) { return LevelKey{f.sub_sub_item, 0}; },
     [](const CitationBody& b) { return LevelKey{b.sub_sub_item, 0}; },
     [](CitationBody& b, LevelKey k) { b.sub_sub_item = k.first; },
     [](const CitationBody& b) { return sub_item_words(0, b.sub_sub_item); }},
};

// The item, sub-item and sub-sub-item of `body` below the sentence `at`;
// `words` names the provision of `at` in messages ("建築基準法第六条第一項"),
// `prefix` the law in offers.
CitationResult descend(const std::vector<Sentence>& sentences, std::size_t at, const CitationBody& body,
                       std::string words, const std::string& prefix, std::string label)
{
    std::string anchor = sentences[at].row.id;
    std::size_t scope = kParagraphScope;
    for (const Level& level : kLevels) {
        const LevelKey wanted = level.of_citation(body);
        if (wanted.first == 0)
            continue;
        std::set<LevelKey> present;
        const Sentence* match = nullptr;
        for (const Sentence& s : sentences) {
            const LevelKey key = level.of_sentence(s.fields);
            if (key.first == 0 || !same_group(s.row.id, anchor, level.group))
                continue;
            present.insert(key);
            if (!match && key == wanted)
                match = &s;
        }
        if (!match) {
            CitationResult result{false, {}, words + "に" + level.words(body) + "はありません", {}};
            for (const LevelKey& near : neighbours(present, wanted)) {
                CitationBody other = body;
                level.cite(other, near);
                result.suggestions.push_back(prefix + citation_text(other));
            }
            return result;
        }
        anchor = match->row.id;
        scope = level.scope;
        words += level.words(body);
    }
    return found_at(anchor, scope, std::move(label));
}

// A paragraph that is not there: the message and the paragraphs on either side.
CitationResult missing_paragraph(const std::string& words, const CitationBody& body, int wanted,
                                 const std::set<int>& paragraphs, const std::string& prefix)
{
    CitationResult result{false, {}, words + "に" + paragraph_words(wanted) + "はありません", {}};
    for (int near : neighbours(paragraphs, wanted)) {
        CitationBody other = body;
        other.paragraph = near;
        other.item = other.item_branch = other.sub_item = other.sub_sub_item = 0;
        result.suggestions.push_back(prefix + citation_text(other));
    }
    return result;
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

    const std::vector<Sentence> sentences = read_sentences(db_, law.pages, article->second.substr(0, 12), false);
    // An item without a paragraph is of the first (an article of one paragraph).
    const int wanted = body.paragraph > 0 ? body.paragraph : 1;
    std::set<int> paragraphs;
    std::optional<std::size_t> at;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        const SentenceFields& f = sentences[i].fields;
        const int number = std::max(f.paragraph, 1); // the first paragraph may be numbered 0
        if (f.paragraph_branch != 0)
            continue;
        paragraphs.insert(number);
        if (!at && number == wanted)
            at = i;
    }
    std::string words = law.name + article_words(key);
    if (!at)
        return missing_paragraph(words, body, wanted, paragraphs, request.law_prefix());
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

    const std::vector<Sentence> sentences = read_sentences(db_, law.pages, law.supplement, true);
    std::vector<std::string> heads;
    for (const Sentence& s : sentences)
        heads.push_back(head_of(s.row.text));

    std::string words = law.name + "の附則";
    std::size_t from = 0, to = sentences.size();
    if (body.article > 0) {
        const ArticleKey key{body.article, body.branch1, body.branch2};
        std::set<ArticleKey> articles;
        std::optional<std::size_t> at;
        for (std::size_t i = 0; i < sentences.size(); ++i) {
            if (const auto found = head_article(heads[i])) {
                articles.insert(*found);
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
        std::set<int> paragraphs;
        std::optional<std::size_t> found;
        for (std::size_t i = from; i < to; ++i) {
            if (const int number = head_paragraph(heads[i])) {
                paragraphs.insert(number);
                if (!found && number == body.paragraph)
                    found = i;
            }
        }
        if (!found)
            return missing_paragraph(words, body, body.paragraph, paragraphs, request.law_prefix());
        at = *found;
    }
    if (body.paragraph > 0)
        words += paragraph_words(body.paragraph);
    return descend(sentences, at, body, words, request.law_prefix(), label);
}

} // namespace velto
