// The stored editions of a law and their articles, as two editions are
// compared: the current edition (T_版, T_条, T_文, T_表) and the earlier ones
// (T_旧版, T_旧条, T_旧文, T_旧表), each read the same way, by the identifiers
// the current edition uses. Only what a reader sees is kept of a sentence
// (catalog/visible_text.h); what the pages do with it is left to them.
//
// Failures of the database throw ComponentError; rows of any content read
// without harm (an identifier of the wrong form is left out).
#pragma once

#include "core/database.h"

#include <string>
#include <string_view>
#include <vector>

namespace velto {

// One stored edition of a law.
struct Edition {
    std::string law;      // ID_HN
    std::string title;    // 題名 of that edition
    std::string enforced; // 施行日, "2025-12-01"; empty when unknown
    std::string revision; // 版ID
    bool current = false; // the text the reader shows (T_版), else an earlier one (T_旧版)
};

// The editions of `law` the database holds, oldest first (by 施行日, then
// 版ID; the current one last among equals). Empty when the law has none.
std::vector<Edition> stored_editions(Database& db, std::string_view law);

// The edition of `law` named by `name`: its 施行日 ("2023-05-26") or its 版ID.
// Null when none is.
const Edition* find_edition(const std::vector<Edition>& editions, std::string_view name);

struct StoredSentence {
    std::string id;    // ID_BN
    std::string style; // 書式コード
    std::string text;  // the words a reader sees
    std::string table; // the words of its table, cells separated by "｜"; empty when it has none
};

// An article of the main provision, or a page of the supplementary provisions
// or an appended table, with the sentences of all its pages.
struct StoredArticle {
    std::string id;      // ID_FN of its first page
    std::string caption; // 条名 of its first page
    std::vector<StoredSentence> sentences;

    // The article, independent of its page split: the first 12 characters.
    std::string_view key() const { return std::string_view(id).substr(0, 12); }
};

// The articles of the main provision of an edition (pages of kind 条), in
// identifier order; with `all_pages` also its supplementary provisions and
// appended tables. With `key` (12 characters) only that article.
std::vector<StoredArticle> read_articles(Database& db, const Edition& edition, bool all_pages = false,
                                         std::string_view key = {});

// The words of a table's HTML: cells separated by "｜", rows by a line break.
std::string table_words(std::string_view html);

} // namespace velto
