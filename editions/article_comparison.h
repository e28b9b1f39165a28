// The 新旧対照 of one article between two editions, as rows of two columns:
// 改正後 (the newer edition) on the left, 改正前 (the older) on the right.
// Sentences are aligned (equal ones first, then the most alike of those
// between them); a changed sentence carries the passages that changed on each
// side; runs of unchanged sentences become one folded row. How the rows look
// is left to editions/comparison_page.h.
//
// An article that is in one edition only has the other column empty. Ids of
// any form may be passed: an article that is not stored has no rows.
#pragma once

#include "core/database.h"
#include "editions/edition_store.h"
#include "editions/text_diff.h"

#include <string>
#include <vector>

namespace velto {

class CVeltoDoc;

// One side of a row: the sentence's numbering tag and words.
struct ComparedCell {
    bool present = false;
    std::string label; // 第108条の4, ２, 一, イ …, with the blank after it
    bool label_changed = false;
    MarkedText text;
    MarkedText table; // the words of its table, rows separated by line breaks
    double margin = 0; // left margin in characters, as on the page
};

struct ComparedRow {
    enum class Kind { Title, Caption, Sentence, Folded };
    Kind kind = Kind::Sentence;
    ComparedCell newer, older;
    bool changed = false;
    // Folded: the unchanged sentences it stands for, each as the newer edition has it.
    std::vector<ComparedCell> folded;
};

struct ArticleComparison {
    Edition older, newer;
    std::string newer_id, older_id; // ID_FN; empty where the article is not
    std::vector<ComparedRow> rows;
    bool changed = false; // some row differs
};

// Compares the article `older_id` of `older` with `newer_id` of `newer`
// (either id empty for an article in one edition only). `labels` gives the
// numbering tags as the pages write them. Throws ComponentError.
ArticleComparison compare_article(Database& db, const CVeltoDoc& labels, const Edition& older, std::string_view older_id,
                                  const Edition& newer, std::string_view newer_id);

// The same on articles already read.
ArticleComparison compare_article(const CVeltoDoc& labels, const Edition& older, const StoredArticle* older_article,
                                  const Edition& newer, const StoredArticle* newer_article);

} // namespace velto
