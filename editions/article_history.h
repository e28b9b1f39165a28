// The history of an article across the stored editions of its law: the
// editions in which its text differs from the one before (followed through a
// renumbering), each a pair that a 新旧対照 can be opened on; the line a page
// shows under the article's title; and the link of that line, which names
// the pair and the article in both editions.
//
// Comparisons of whole editions are kept once made (one reader, one
// database). Failures of the database throw ComponentError; a link of any
// form is read without harm (a foreign one is no request).
#pragma once

#include "core/database.h"
#include "editions/edition_compare.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

// One step of an article's history: what became of it between two editions.
struct ArticleRevision {
    Edition older, newer;
    ChangeKind kind;
    std::string older_id, newer_id; // ID_FN in each; empty where it is not
};

class EditionChanges {
public:
    explicit EditionChanges(Database& db) : db_(db) {}

    // The stored editions of `law`, oldest first (kept once read).
    const std::vector<Edition>& editions(std::string_view law);
    // Whether `law` has two editions or more to compare.
    bool comparable(std::string_view law) { return editions(law).size() >= 2; }
    // The comparison of two editions (kept once made).
    const EditionComparison& between(std::string_view law, const Edition& older, const Edition& newer);
    // The steps in which the article of page `id_fn` (of the current edition)
    // changed, newest first; empty when it never did or is not an article.
    std::vector<ArticleRevision> history(std::string_view id_fn);

private:
    Database& db_;
    std::map<std::string, std::vector<Edition>, std::less<>> editions_;
    std::map<std::string, EditionComparison> comparisons_;
    std::map<std::string, std::vector<ArticleRevision>, std::less<>> histories_;
};

// What a link to a 新旧対照 asks for.
struct ComparisonRequest {
    std::string law;
    std::string older, newer;       // 版ID
    std::string older_id, newer_id; // ID_FN; one may be empty
};

// "velto-diff:compare?law=01B&older=…&newer=…&older_id=…&newer_id=…".
std::string comparison_link(const ArticleRevision& revision);
std::optional<ComparisonRequest> parse_comparison_link(std::string_view url);

// The line under the title of an article page: 「この条の改正：」 and a link per
// step, "令和7年12月1日施行（移動）"; empty when there is no step.
std::string history_line_html(const std::vector<ArticleRevision>& history, int font_size);

} // namespace velto
