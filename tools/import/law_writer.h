// Writes the rows of laws into a law database file.
#pragma once

#include "tools/import/law_mapper.h"

#include <string>
#include <vector>

namespace velto::import {

// What one write puts into the database.
struct LawWrite {
    // Current texts: each replaces its law's rows. Every row whose identifier
    // belongs to the law (T_法 and T_版 by ID_HN; T_章, T_条, T_文, T_表, T_参,
    // T_他 and T_告 by the prefix "HHH-") is deleted, then the new rows are
    // inserted.
    std::vector<const LawRows*> current;
    // Earlier editions of laws the database holds (edition_store.h), written
    // after the current texts.
    std::vector<const LawRows*> earlier;
    // Each law's current edition is kept as an earlier edition before its new
    // text replaces it (unless the new text is that edition).
    bool keep_replaced = false;
};

// Writes `write` into the database at `path` in one transaction, then makes
// the index of the links (T_引) anew for the whole database. A missing file
// is created with the reader's schema, and an older database gains the tables
// it lacks.
// The new database is written beside the old one and renamed over it when
// complete (FileReplacement): a reader, or a later run after this one was
// killed, finds the old file or the new one, never one in between. On failure
// the database is left as it was and `error` names the file and what went wrong.
bool write_laws(const std::string& path, const LawWrite& write, std::string& error);

// write_laws of one current text.
bool write_law(const std::string& path, const LawRows& rows, std::string& error);

} // namespace velto::import
