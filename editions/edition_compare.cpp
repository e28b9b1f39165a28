#include "editions/edition_compare.h"

#include "compose/velto_doc.h"
#include "editions/text_diff.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace velto {

namespace {

// How alike an article must stay to be taken for itself under another number.
constexpr double kMovedSimilarity = 0.6;
// Pairs whose sampled overlap is below this are not measured: a Dice of 0.6
// is a Jaccard of 0.43, and the estimate from 64 samples seldom errs by 0.2.
constexpr double kLeastOverlap = 0.2;
// Words shorter than this ("削除") say too little to pair articles of different numbers.
constexpr std::size_t kShortestMovedWords = 30;

std::string page_title(const StoredArticle& article)
{
    std::string label;
    IdKind kind;
    if (!CVeltoDoc::_id_kind(article.id, kind))
        return article.id;
    if (kind == IdKind::Article && CVeltoDoc::_article_label(article.id, label))
        return label;
    if (kind == IdKind::Table && CVeltoDoc::_table_label(article.id, label))
        return label;
    return article.caption.empty() ? std::string("附則") : article.caption;
}

// The editions of the laws whose 版ID is `revision`, for telling whose edition it is.
std::string law_of_revision(Database& db, std::string_view revision)
{
    for (const char* table : {"T_版", "T_旧版"}) {
        if (!db.has_table(table))
            continue;
        auto rs = db.execute(std::string("SELECT ID_HN FROM ") + table + " WHERE 版ID = '" + sql_escape(revision) + "'");
        if (!rs->eof())
            return rs->text("ID_HN");
    }
    return {};
}

std::string edition_list(const std::vector<Edition>& editions)
{
    std::string out;
    for (const Edition& e : editions) {
        if (!out.empty())
            out += "、";
        out += e.enforced.empty() ? e.revision : e.enforced;
        if (e.current)
            out += "（現行）";
    }
    return out;
}

struct Entry {
    const StoredArticle* article;
    std::string words;
    std::vector<std::uint64_t> grams;
    std::vector<std::uint64_t> sample;
    bool paired = false;
};

std::vector<Entry> entries(const std::vector<StoredArticle>& articles)
{
    std::vector<Entry> out;
    out.reserve(articles.size());
    for (const StoredArticle& a : articles)
        out.push_back({&a, article_words(a), {}, {}, false});
    return out;
}

ArticleChange change(ChangeKind kind, const Entry* older, const Entry* newer)
{
    return {kind, newer ? newer->article->id : std::string(), older ? older->article->id : std::string(),
            page_title(*(newer ? newer : older)->article)};
}

} // namespace

std::string_view change_kind_name(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::Added: return "追加";
    case ChangeKind::Deleted: return "削除";
    case ChangeKind::Changed: return "改正";
    case ChangeKind::Moved: return "移動";
    }
    return {};
}

std::string EditionComparison::counts() const
{
    return "追加 " + std::to_string(added) + "件、削除 " + std::to_string(deleted) + "件、改正 " +
           std::to_string(changed) + "件、移動 " + std::to_string(moved) + "件";
}

std::string article_words(const StoredArticle& article)
{
    std::string words = without_blanks(article.caption == "なし" ? std::string() : article.caption);
    words += "\n";
    for (const StoredSentence& s : article.sentences) {
        words += without_blanks(s.text);
        if (!s.table.empty())
            words += "\n" + without_blanks(s.table);
        words += "\n";
    }
    return words;
}

std::vector<ArticleChange> compare_articles(const std::vector<StoredArticle>& older_articles,
                                            const std::vector<StoredArticle>& newer_articles)
{
    std::vector<Entry> older = entries(older_articles), newer = entries(newer_articles);
    std::map<std::string_view, std::size_t> older_by_key, newer_by_key;
    for (std::size_t i = 0; i < older.size(); ++i)
        older_by_key.emplace(older[i].article->key(), i);
    for (std::size_t i = 0; i < newer.size(); ++i)
        newer_by_key.emplace(newer[i].article->key(), i);
    const auto same_key = [](const std::map<std::string_view, std::size_t>& index, const Entry& e) -> std::size_t {
        const auto it = index.find(e.article->key());
        return it == index.end() ? std::string::npos : it->second;
    };

    std::vector<ArticleChange> out;
    // Untouched articles.
    for (Entry& n : newer) {
        const std::size_t o = same_key(older_by_key, n);
        if (o != std::string::npos && older[o].words == n.words)
            n.paired = older[o].paired = true;
    }
    // Articles renumbered with their words as they were.
    std::unordered_map<std::string_view, std::size_t> older_by_words;
    for (std::size_t i = 0; i < older.size(); ++i)
        if (!older[i].paired && older[i].words.size() >= kShortestMovedWords)
            older_by_words.emplace(older[i].words, i);
    for (Entry& n : newer) {
        if (n.paired)
            continue;
        const auto it = older_by_words.find(n.words);
        if (it == older_by_words.end() || older[it->second].paired)
            continue;
        n.paired = older[it->second].paired = true;
        out.push_back(change(ChangeKind::Moved, &older[it->second], &n));
    }
    // Articles renumbered that keep most of their words: the most alike pairs
    // first, each only when it is more alike than the article under its own number.
    for (std::vector<Entry>* side : {&older, &newer})
        for (Entry& e : *side)
            if (!e.paired) {
                e.grams = bigrams(e.words);
                e.sample = sketch(e.grams);
            }
    const auto alike_same_key = [&](const std::map<std::string_view, std::size_t>& index, std::vector<Entry>& side,
                                    const Entry& e) {
        const std::size_t i = same_key(index, e);
        return i == std::string::npos || side[i].paired ? 0.0 : similarity(side[i].grams, e.grams);
    };
    struct Candidate {
        double alike;
        std::size_t older, newer;
    };
    std::vector<Candidate> candidates;
    for (std::size_t o = 0; o < older.size(); ++o) {
        if (older[o].paired || older[o].words.size() < kShortestMovedWords)
            continue;
        for (std::size_t n = 0; n < newer.size(); ++n) {
            if (newer[n].paired || newer[n].article->key() == older[o].article->key())
                continue;
            const std::size_t a = older[o].grams.size(), b = newer[n].grams.size();
            // Dice's measure cannot reach kMovedSimilarity when one is far longer.
            if (std::min(a, b) * (2 - kMovedSimilarity) < kMovedSimilarity * std::max(a, b) ||
                estimated_overlap(older[o].sample, newer[n].sample) < kLeastOverlap)
                continue;
            const double alike = similarity(older[o].grams, newer[n].grams);
            if (alike >= kMovedSimilarity)
                candidates.push_back({alike, o, n});
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.alike > b.alike; });
    for (const Candidate& c : candidates) {
        Entry& o = older[c.older];
        Entry& n = newer[c.newer];
        if (o.paired || n.paired || c.alike <= alike_same_key(newer_by_key, newer, o) ||
            c.alike <= alike_same_key(older_by_key, older, n))
            continue;
        o.paired = n.paired = true;
        out.push_back(change(ChangeKind::Moved, &o, &n));
    }
    // Articles changed under their own number, however much.
    for (Entry& n : newer) {
        const std::size_t o = same_key(older_by_key, n);
        if (n.paired || o == std::string::npos || older[o].paired)
            continue;
        n.paired = older[o].paired = true;
        out.push_back(change(ChangeKind::Changed, &older[o], &n));
    }
    for (Entry& o : older)
        if (!o.paired)
            out.push_back(change(ChangeKind::Deleted, &o, nullptr));
    for (Entry& n : newer)
        if (!n.paired)
            out.push_back(change(ChangeKind::Added, nullptr, &n));
    // In the order of the newer edition; a deleted article where its number stood.
    std::stable_sort(out.begin(), out.end(), [](const ArticleChange& a, const ArticleChange& b) {
        const std::string& ka = a.newer_id.empty() ? a.older_id : a.newer_id;
        const std::string& kb = b.newer_id.empty() ? b.older_id : b.newer_id;
        return ka != kb ? ka < kb : a.kind == ChangeKind::Deleted && b.kind != ChangeKind::Deleted;
    });
    return out;
}

EditionPair choose_editions(Database& db, std::string_view law, std::string_view older, std::string_view newer)
{
    EditionPair pair;
    pair.stored = stored_editions(db, law);
    if (pair.stored.empty()) {
        pair.message = "法令 " + std::string(law) + " の版は収録されていません。";
        return pair;
    }
    const std::string title = pair.stored.back().title;
    for (std::string_view name : {older, newer}) {
        if (find_edition(pair.stored, name))
            continue;
        const std::string other = law_of_revision(db, name);
        if (!other.empty() && other != law)
            pair.message = "版 " + std::string(name) + " は別の法令（" + other + "）の版です。同じ法令の版を二つ指定してください。";
        else
            pair.message = title + "（" + std::string(law) + "）の版 " + std::string(name) +
                           " は収録されていません。収録している版: " + edition_list(pair.stored);
        return pair;
    }
    pair.older = *find_edition(pair.stored, older);
    pair.newer = *find_edition(pair.stored, newer);
    if (pair.older.revision == pair.newer.revision && pair.older.current == pair.newer.current)
        pair.message = "同じ版（" + std::string(older) + "）を二度指定しています。比較する二つの版を指定してください。";
    else if (pair.older.enforced > pair.newer.enforced)
        pair.message = std::string(older) + " の版は " + std::string(newer) + " の版より新しい版です。古い版を先に指定してください。";
    return pair;
}

EditionComparison compare_editions(Database& db, std::string_view law, std::string_view older, std::string_view newer)
{
    EditionComparison result;
    const EditionPair pair = choose_editions(db, law, older, newer);
    result.message = pair.message;
    if (!pair.message.empty())
        return result;
    result.older = pair.older;
    result.newer = pair.newer;
    ReadTransaction transaction(db);
    const std::vector<StoredArticle> a = read_articles(db, result.older, true);
    const std::vector<StoredArticle> b = read_articles(db, result.newer, true);
    const auto main_only = [](const std::vector<StoredArticle>& all, bool main) {
        std::vector<StoredArticle> out;
        for (const StoredArticle& article : all) {
            IdKind kind;
            if (CVeltoDoc::_id_kind(article.id, kind) && (kind == IdKind::Article) == main)
                out.push_back(article);
        }
        return out;
    };
    result.articles = compare_articles(main_only(a, true), main_only(b, true));
    for (const ArticleChange& c : result.articles) {
        switch (c.kind) {
        case ChangeKind::Added: ++result.added; break;
        case ChangeKind::Deleted: ++result.deleted; break;
        case ChangeKind::Changed: ++result.changed; break;
        case ChangeKind::Moved: ++result.moved; break;
        }
    }
    // Supplementary provisions and tables are compared by their identifiers alone.
    std::vector<StoredArticle> other_a = main_only(a, false), other_b = main_only(b, false);
    std::map<std::string, const StoredArticle*> older_pages;
    for (const StoredArticle& p : other_a)
        older_pages.emplace(std::string(p.key()), &p);
    for (const StoredArticle& p : other_b) {
        const auto it = older_pages.find(std::string(p.key()));
        if (it == older_pages.end())
            result.others.push_back({ChangeKind::Added, p.id, {}, page_title(p)});
        else if (article_words(*it->second) != article_words(p))
            result.others.push_back({ChangeKind::Changed, p.id, it->second->id, page_title(p)});
        if (it != older_pages.end())
            older_pages.erase(it);
    }
    for (const auto& [key, p] : older_pages)
        result.others.push_back({ChangeKind::Deleted, {}, p->id, page_title(*p)});
    result.ok = true;
    return result;
}

} // namespace velto
