// What an update changed in a law: the articles of its main provision that
// the new current text added, deleted or changed against an earlier edition
// the database keeps (T_旧条, T_旧文). An article changed when its caption or
// its sentences differ, white space aside.
//
// Reads the database only; a database or edition it cannot read is a message.
#pragma once

#include <string>

namespace velto::update {

struct EditionChanges {
    int added = 0;
    int deleted = 0;
    int changed = 0;
};

// The changes from the earlier edition `earlier_revision` (版ID) of law `law`
// to its current text in the database at `database`.
bool count_article_changes(const std::string& database, const std::string& law, const std::string& earlier_revision,
                           EditionChanges& changes, std::string& error);

} // namespace velto::update
