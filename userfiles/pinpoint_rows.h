// The rows of the pinpoint list: what the reader may choose as the target of
// a link. The first row, "頁トップ", stands for the linked page itself (no
// target); every other row is a numbered sentence of the linked article, on
// any of its pages, labelled by its numbering and indented by its level with
// full-width blanks. The list control shows these rows.
#pragma once

#include "core/database.h"
#include "core/identifiers.h"

#include <string>
#include <string_view>
#include <vector>

namespace velto {

// List images of the rows.
inline constexpr int kPinPointCurrentImage = 4; // the current target
inline constexpr int kPinPointOtherImage = 0;

struct PinPointRow {
    std::string label;
    std::string id; // the page's ID_FN for the first row, a sentence's ID_BN for the others
    int image = kPinPointOtherImage;
};

struct PinPointRows {
    std::vector<PinPointRow> rows;
    int selected = 0;          // the row of the current target; 0 when it is not listed
    std::string last_sentence; // the ID_BN read last; empty when the article has no sentence
};

// False for a page whose kind offers no sentence to choose (an appended table,
// the program's own pages) and for an identifier that names no page.
bool pinpoint_offers_sentences(std::string_view id_fn);

// The rows for a link to page `id_fn` whose current target is `current`
// (empty for none). Throws ComponentError.
PinPointRows build_pinpoint_rows(Database& db, const IdentifierRules& ids, std::string_view id_fn,
                                 std::string_view current);

} // namespace velto
