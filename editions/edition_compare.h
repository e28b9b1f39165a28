// What changed in a law between two of its stored editions: every article of
// the main provision whose text differs, as 追加, 削除, 改正 or 移動, in order,
// with counts; and the supplementary provisions and appended tables that
// differ, listed without a column view. An article differs when its caption
// or the words of its sentences (and their tables) differ; its title line
// and blanks do not count.
//
// Renumbered articles are paired by content: an article that keeps most of
// its words under another number is 移動 (with any change of its words), an
// article replaced wholesale under its own number is 改正. Editions are named
// by 施行日 or 版ID; two editions of different laws, the same edition twice,
// an older edition given after a newer one, or an edition that is not stored
// give a message and no list, never a wrong one.
#pragma once

#include "core/database.h"
#include "editions/edition_store.h"

#include <string>
#include <string_view>
#include <vector>

namespace velto {

enum class ChangeKind { Added, Deleted, Changed, Moved };

// 追加, 削除, 改正, 移動.
std::string_view change_kind_name(ChangeKind kind);

struct ArticleChange {
    ChangeKind kind;
    std::string newer_id; // ID_FN in the newer edition; empty when deleted
    std::string older_id; // ID_FN in the older edition; empty when added
    std::string title;    // 第108条の4 (as in the newer edition; the older when deleted); 附則, 別表第1
};

struct EditionComparison {
    bool ok = false;
    std::string message; // why there is no list, when !ok
    Edition older, newer;
    std::vector<ArticleChange> articles; // the main provision, in order
    std::vector<ArticleChange> others;   // supplementary provisions and appended tables that differ
    int added = 0, deleted = 0, changed = 0, moved = 0;

    // "追加 3件、削除 1件、改正 84件、移動 1件".
    std::string counts() const;
};

// Compares the editions `older` and `newer` of `law` (each a 施行日 or a 版ID).
// Throws ComponentError when the database cannot be read.
EditionComparison compare_editions(Database& db, std::string_view law, std::string_view older, std::string_view newer);

// The two editions named, or a message: the refusals compare_editions makes.
// On success `message` is empty.
struct EditionPair {
    std::vector<Edition> stored;
    Edition older, newer;
    std::string message;
};
EditionPair choose_editions(Database& db, std::string_view law, std::string_view older, std::string_view newer);

// The changes between two lists of articles (read_articles), pairing as above.
std::vector<ArticleChange> compare_articles(const std::vector<StoredArticle>& older,
                                            const std::vector<StoredArticle>& newer);

// The words of an article that decide whether it differs: caption and
// sentences (with their tables), without blanks.
std::string article_words(const StoredArticle& article);

} // namespace velto
