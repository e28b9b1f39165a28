#include "editions/article_comparison.h"

#include "compose/velto_doc.h"

#include <algorithm>

namespace velto {

namespace {

// Sentences less alike than this are not set side by side but each alone.
constexpr double kPairedSimilarity = 0.3;

struct Sentence {
    const StoredSentence* stored;
    std::string words;
    std::vector<std::uint64_t> grams;
};

std::vector<Sentence> sentences_of(const StoredArticle* article)
{
    std::vector<Sentence> out;
    if (!article)
        return out;
    for (const StoredSentence& s : article->sentences)
        out.push_back({&s, without_blanks(s.text) + "\n" + without_blanks(s.table), {}});
    return out;
}

MarkedText plain(const std::string& text, bool changed)
{
    return text.empty() ? MarkedText() : MarkedText{{text, changed}};
}

ComparedCell cell_of(const CVeltoDoc& labels, const StoredSentence& s, bool changed)
{
    ComparedCell cell;
    cell.present = true;
    double indent = 0;
    if (!labels._sentence_layout(s.id, s.style, IdKind::Article, 0, 1.0, cell.label, cell.margin, indent))
        cell.label.clear();
    cell.text = plain(s.text, changed);
    cell.table = plain(s.table, changed);
    cell.label_changed = changed;
    return cell;
}

// Pairs of indices (older, newer) in order; npos on one side for a sentence alone.
using Alignment = std::vector<std::pair<std::size_t, std::size_t>>;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The most alike pairing of a run of sentences that are not equal, in order.
void align_run(std::vector<Sentence>& a, std::size_t a0, std::size_t a1, std::vector<Sentence>& b, std::size_t b0,
               std::size_t b1, Alignment& out)
{
    const std::size_t n = a1 - a0, m = b1 - b0;
    for (std::size_t i = a0; i < a1; ++i)
        a[i].grams = bigrams(a[i].words);
    for (std::size_t j = b0; j < b1; ++j)
        b[j].grams = bigrams(b[j].words);
    std::vector<double> best((n + 1) * (m + 1), 0.0);
    const auto at = [&](std::size_t i, std::size_t j) -> double& { return best[i * (m + 1) + j]; };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;) {
            const double alike = similarity(a[a0 + i].grams, b[b0 + j].grams);
            const double pair = alike >= kPairedSimilarity ? alike + at(i + 1, j + 1) : 0.0;
            at(i, j) = std::max({pair, at(i + 1, j), at(i, j + 1)});
        }
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m) {
            const double alike = similarity(a[a0 + i].grams, b[b0 + j].grams);
            if (alike >= kPairedSimilarity && at(i, j) == alike + at(i + 1, j + 1)) {
                out.emplace_back(a0 + i++, b0 + j++);
                continue;
            }
            if (at(i, j) == at(i + 1, j)) {
                out.emplace_back(a0 + i++, kNone);
                continue;
            }
            out.emplace_back(kNone, b0 + j++);
            continue;
        }
        if (i < n)
            out.emplace_back(a0 + i++, kNone);
        else
            out.emplace_back(kNone, b0 + j++);
    }
}

// Equal sentences matched in order (a longest common subsequence), the runs between them paired by likeness.
Alignment align(std::vector<Sentence>& a, std::vector<Sentence>& b)
{
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::uint32_t> lcs((n + 1) * (m + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& { return lcs[i * (m + 1) + j]; };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            at(i, j) = a[i].words == b[j].words ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    Alignment out;
    std::size_t i = 0, j = 0, run_a = 0, run_b = 0;
    while (i < n && j < m) {
        if (a[i].words == b[j].words && at(i, j) == at(i + 1, j + 1) + 1) {
            align_run(a, run_a, i, b, run_b, j, out);
            out.emplace_back(i++, j++);
            run_a = i;
            run_b = j;
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
    align_run(a, run_a, n, b, run_b, m, out);
    return out;
}

void add_changed(ComparedRow& row, const CVeltoDoc& labels, const StoredSentence& older, const StoredSentence& newer)
{
    row.older = cell_of(labels, older, false);
    row.newer = cell_of(labels, newer, false);
    const TextDiff text = diff_text(older.text, newer.text);
    const TextDiff table = diff_text(older.table, newer.table);
    row.older.text = text.older;
    row.newer.text = text.newer;
    row.older.table = table.older;
    row.newer.table = table.newer;
    row.older.label_changed = row.newer.label_changed = row.older.label != row.newer.label;
    row.changed = !text.same || !table.same;
}

} // namespace

ArticleComparison compare_article(const CVeltoDoc& labels, const Edition& older, const StoredArticle* a,
                                  const Edition& newer, const StoredArticle* b)
{
    ArticleComparison out;
    out.older = older;
    out.newer = newer;
    out.older_id = a ? a->id : std::string();
    out.newer_id = b ? b->id : std::string();
    if (!a && !b)
        return out;

    ComparedRow title;
    title.kind = ComparedRow::Kind::Title;
    for (auto [article, cell] : {std::pair{a, &title.older}, std::pair{b, &title.newer}}) {
        std::string label;
        if (article && CVeltoDoc::_article_label(article->id, label))
            *cell = {true, label, false, {}, {}, 0};
    }
    title.older.label_changed = title.newer.label_changed =
        title.older.present && title.newer.present && title.older.label != title.newer.label;
    out.rows.push_back(title);

    const std::string older_caption = a && a->caption != "なし" ? a->caption : std::string();
    const std::string newer_caption = b && b->caption != "なし" ? b->caption : std::string();
    if (!older_caption.empty() || !newer_caption.empty()) {
        ComparedRow caption;
        caption.kind = ComparedRow::Kind::Caption;
        const TextDiff diff = diff_text(older_caption, newer_caption);
        caption.older = {a != nullptr, {}, false, a && b ? diff.older : plain(older_caption, true), {}, 0};
        caption.newer = {b != nullptr, {}, false, a && b ? diff.newer : plain(newer_caption, true), {}, 0};
        caption.changed = !diff.same;
        out.rows.push_back(caption);
    }

    std::vector<Sentence> sa = sentences_of(a), sb = sentences_of(b);
    for (const auto& [i, j] : align(sa, sb)) {
        ComparedRow row;
        if (i != kNone && j != kNone && sa[i].words == sb[j].words) {
            const ComparedCell cell = cell_of(labels, *sb[j].stored, false);
            if (out.rows.back().kind != ComparedRow::Kind::Folded) {
                out.rows.emplace_back();
                out.rows.back().kind = ComparedRow::Kind::Folded;
            }
            out.rows.back().folded.push_back(cell);
            continue;
        }
        if (i != kNone && j != kNone) {
            add_changed(row, labels, *sa[i].stored, *sb[j].stored);
        } else if (i != kNone) {
            row.older = cell_of(labels, *sa[i].stored, true);
            row.changed = true;
        } else {
            row.newer = cell_of(labels, *sb[j].stored, true);
            row.changed = true;
        }
        out.rows.push_back(row);
    }
    out.changed = std::any_of(out.rows.begin(), out.rows.end(), [](const ComparedRow& r) { return r.changed; });
    return out;
}

ArticleComparison compare_article(Database& db, const CVeltoDoc& labels, const Edition& older, std::string_view older_id,
                                  const Edition& newer, std::string_view newer_id)
{
    ReadTransaction transaction(db);
    const auto read = [&](const Edition& edition, std::string_view id) {
        return id.size() < 12 ? std::vector<StoredArticle>()
                              : read_articles(db, edition, true, id.substr(0, 12));
    };
    const std::vector<StoredArticle> a = read(older, older_id), b = read(newer, newer_id);
    return compare_article(labels, older, a.empty() ? nullptr : &a.front(), newer, b.empty() ? nullptr : &b.front());
}

} // namespace velto
