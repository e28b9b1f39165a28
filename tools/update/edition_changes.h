// What an update changed in a law: the articles of its main provision that
// the new current text added, deleted, changed or moved against the edition
// it replaced, which the database keeps as an earlier one. The comparison is
// the one the reader's 改正比較 shows (editions/edition_compare.h), so the
// tool and the window never count differently.
//
// Reads the database only; a database or edition it cannot read is a message.
#pragma once

#include <string>

namespace velto::update {

// The counts line of the changes from the earlier edition `earlier_revision`
// (版ID) of law `law` to its current text in the database at `database`
// ("追加 1件、削除 0件、改正 86件、移動 1件"). False with `error` when the
// database cannot be read or keeps no such edition.
bool describe_article_changes(const std::string& database, const std::string& law,
                              const std::string& earlier_revision, std::string& counts, std::string& error);

} // namespace velto::update
