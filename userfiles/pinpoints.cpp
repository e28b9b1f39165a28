#include "userfiles/pinpoints.h"

namespace velto {

namespace {

// The article part of a page or sentence identifier.
constexpr std::size_t kArticleLength = 12;
constexpr std::size_t kPageLength = 15;

} // namespace

bool _pinpoint_lookup(const PinPointTable& table, std::string_view key, std::string& target)
{
    target.clear();
    if (key.size() != kPinPointKeyLength)
        return false;
    const auto it = table.find(key);
    if (it == table.end())
        return false;
    target = it->second;
    return true;
}

void _pinpoint_set(PinPointTable& table, std::string_view key, std::string_view target)
{
    if (key.size() != kPinPointKeyLength)
        return;
    table.insert_or_assign(std::string(key), std::string(target));
}

bool _pinpoint_erase(PinPointTable& table, std::string_view key)
{
    if (key.size() != kPinPointKeyLength)
        return false;
    const auto it = table.find(key);
    if (it == table.end())
        return false;
    table.erase(it);
    return true;
}

std::string PinPoints::current_target(std::string_view key, int priority) const
{
    const PinPointTable& first = priority == 1 ? defaults_ : user_;
    const PinPointTable& second = priority == 1 ? user_ : defaults_;
    std::string target;
    if (!_pinpoint_lookup(first, key, target))
        _pinpoint_lookup(second, key, target);
    return target;
}

PinPointJump PinPoints::resolve(std::string_view key, std::string_view id, int priority,
                                const std::function<bool(std::string_view)>& page_known)
{
    PinPointJump jump;
    jump.page = std::string(id);
    if (key.empty() || id.size() != kPageLength)
        return jump;
    PinPointTable* tables[] = {priority == 1 ? &defaults_ : &user_, priority == 1 ? &user_ : &defaults_};
    for (PinPointTable* table : tables) {
        std::string target;
        if (!_pinpoint_lookup(*table, key, target))
            continue;
        if (target.size() < kPageLength || target.compare(0, kArticleLength, id, 0, kArticleLength) != 0) {
            // The entry points into another article than the link.
            _pinpoint_erase(*table, key);
            if (table == &user_)
                jump.user_changed = true;
            continue;
        }
        std::string page(id.substr(0, kArticleLength));
        page += '-';
        page += target.substr(13, 2);
        if (page_known && page_known(page)) {
            jump.page = page;
            jump.mark = target;
            return jump;
        }
    }
    return jump;
}

std::vector<std::string> PinPoints::keys_of_page(std::string_view id) const
{
    std::vector<std::string> keys;
    if (id.size() != kPageLength)
        return keys;
    for (const PinPointTable* table : {&defaults_, &user_}) {
        // Keys of the page are contiguous in key order: they begin with it.
        for (auto it = table->lower_bound(id); it != table->end() && it->first.compare(0, kPageLength, id) == 0; ++it)
            keys.push_back(it->first);
    }
    return keys;
}

} // namespace velto
