#include "tools/update/edition_changes.h"

#include "core/database.h"
#include "editions/edition_compare.h"
#include "editions/edition_store.h"

#include <algorithm>

namespace velto::update {

bool describe_article_changes(const std::string& database, const std::string& law,
                              const std::string& earlier_revision, std::string& counts, std::string& error)
{
    try {
        Database db;
        db.open("Data Source=" + database + ";", "admin", "");
        const std::vector<Edition> editions = stored_editions(db, law);
        const auto current = std::find_if(editions.begin(), editions.end(),
                                          [](const Edition& edition) { return edition.current; });
        if (current == editions.end()) {
            error = database + ": law " + law + " has no current edition";
            return false;
        }
        const EditionComparison comparison = compare_editions(db, law, earlier_revision, current->revision);
        if (!comparison.ok) {
            error = database + ": law " + law + ": " + comparison.message;
            return false;
        }
        counts = comparison.counts();
        return true;
    } catch (const ComponentError& e) {
        error = database + ": " + e.description.value_or(e.meaning);
        return false;
    }
}

} // namespace velto::update
