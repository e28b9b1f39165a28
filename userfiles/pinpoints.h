// Pinpoint targets: the sentence a link leads to within the article it names.
//
// Every link anchor the page builders write carries an id of 55 characters,
// its pinpoint key: the ID_BN of the sentence that holds the link (35), "-to-",
// the first 12 characters of the linked article and a 4-character suffix such
// as "-m01". A target is the ID_BN of a sentence of the linked article. Targets
// come from two tables: the defaults shipped with the program and the reader's
// own choices. A key of any other length is never stored and never found.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

inline constexpr std::size_t kPinPointKeyLength = 55;
inline constexpr std::size_t kPinPointTargetLength = 35;

// Pinpoint key to target ID_BN, in ascending byte order of the key.
using PinPointTable = std::map<std::string, std::string, std::less<>>;

// The target of `key`; false, with `target` empty, when the table has none.
bool _pinpoint_lookup(const PinPointTable& table, std::string_view key, std::string& target);
// Inserts the pair or replaces the target of the key; ignored for a key that
// is not 55 characters long.
void _pinpoint_set(PinPointTable& table, std::string_view key, std::string_view target);
// Removes the key; true when it was there.
bool _pinpoint_erase(PinPointTable& table, std::string_view key);

// Where a followed link leads.
struct PinPointJump {
    std::string page;          // the page to show
    std::string mark;          // the sentence to mark on it; empty for none
    bool user_changed = false; // an entry of the user table was erased
};

// The default and the user table. `priority` is the PinPointPriority setting:
// 1 asks the default table first, any other value the user table first.
class PinPoints {
public:
    PinPointTable& defaults() { return defaults_; }
    const PinPointTable& defaults() const { return defaults_; }
    PinPointTable& user() { return user_; }
    const PinPointTable& user() const { return user_; }

    // The target `key` has now: from the first table that holds it, empty when
    // neither does.
    std::string current_target(std::string_view key, int priority) const;

    // Resolves the link `key` to the page `id` (an ID_FN). A target found
    // first wins when its page is one `page_known` accepts: the jump goes to
    // that page with the target as mark. A target that lies in another article
    // than `id` is erased from its table, and the next table is asked. Without
    // a target that applies, the jump goes to `id` without a mark.
    PinPointJump resolve(std::string_view key, std::string_view id, int priority,
                         const std::function<bool(std::string_view page)>& page_known);

    // The keys of the links of page `id` that have a target (a key's first 15
    // characters name the page of its link): those of the default table, then
    // those of the user table, each in key order.
    std::vector<std::string> keys_of_page(std::string_view id) const;

private:
    PinPointTable defaults_;
    PinPointTable user_;
};

} // namespace velto
