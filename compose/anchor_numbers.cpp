// The renumbering of repeated anchor ids (-p01, -p02 …) in a marked-up text.
#include "compose/markup.h"

#include "core/sjis.h"
#include "core/text_format.h"
#include "core/text_replace.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <unordered_map>

namespace velto {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Up to this many anchors of one length are searched for one by one.
constexpr std::size_t kFewPrefixes = 4;
constexpr unsigned kFilterShift = 12; // 4096 buckets of the rolling hash
constexpr std::size_t kFilterBits = std::size_t{1} << kFilterShift;

// Drops the last two characters of an anchor id (its running number).
std::string_view without_number(std::string_view anchor)
{
    std::size_t last = npos, before_last = npos;
    for (std::size_t pos = 0; pos < anchor.size(); pos += utf8_decode_at(anchor, pos).bytes) {
        before_last = last;
        last = pos;
    }
    return before_last == npos ? std::string_view{} : anchor.substr(0, before_last);
}

} // namespace

void TextMarkup::_number_anchors(std::string& text, const std::vector<std::string>& anchors)
{
    // The places of all anchors are found in one pass per distinct length
    // with a rolling hash, so a long list costs no more than a short one;
    // a length shared by only a few anchors is searched for directly.
    std::vector<std::string_view> prefixes;
    for (const std::string& anchor : anchors) {
        const std::string_view prefix = without_number(anchor);
        if (!prefix.empty())
            prefixes.push_back(prefix);
    }
    std::sort(prefixes.begin(), prefixes.end());
    prefixes.erase(std::unique(prefixes.begin(), prefixes.end()), prefixes.end());
    if (prefixes.empty())
        return;

    struct Edit {
        std::size_t pos; // first byte after the prefix
        std::size_t count;
    };
    std::vector<Edit> edits;
    constexpr std::uint64_t kBase = 1099511628211ULL;
    const auto hash_of = [&](std::string_view s) {
        std::uint64_t h = 0;
        for (const char c : s)
            h = h * kBase + static_cast<unsigned char>(c);
        return h;
    };

    std::unordered_map<std::size_t, std::vector<std::size_t>> by_length;
    for (std::size_t i = 0; i < prefixes.size(); ++i)
        by_length[prefixes[i].size()].push_back(i);
    std::vector<std::size_t> count(prefixes.size(), 0);
    std::vector<std::size_t> next_from(prefixes.size(), 0); // places do not overlap
    const std::string_view view = text;
    const auto place = [&](std::size_t i, std::size_t at) {
        next_from[i] = at + prefixes[i].size();
        if (++count[i] >= 2)
            edits.push_back({at + prefixes[i].size(), count[i]});
    };
    for (const auto& [length, members] : by_length) {
        if (length > view.size())
            continue;
        if (members.size() <= kFewPrefixes) {
            // A few prefixes: each is searched for on its own, far quicker
            // than hashing every byte.
            for (const std::size_t i : members)
                for (std::size_t at = view.find(prefixes[i]); at != npos; at = view.find(prefixes[i], at + 1)) {
                    if (at < next_from[i] || !is_char_boundary(view, at) || !is_char_boundary(view, at + length))
                        continue;
                    place(i, at);
                }
            continue;
        }
        std::unordered_multimap<std::uint64_t, std::size_t> wanted;
        // Most places hash to none of the anchors: a bit per hash bucket
        // turns them away before the map is asked.
        std::bitset<kFilterBits> maybe;
        const auto bucket = [](std::uint64_t h) { return (h * 0x9E3779B97F4A7C15ULL) >> (64 - kFilterShift); };
        for (const std::size_t i : members) {
            const std::uint64_t h = hash_of(prefixes[i]);
            wanted.emplace(h, i);
            maybe.set(bucket(h));
        }
        const auto none = wanted.end();
        std::uint64_t top = 1; // kBase^(length-1)
        for (std::size_t k = 1; k < length; ++k)
            top *= kBase;
        std::uint64_t h = hash_of(view.substr(0, length));
        for (std::size_t at = 0;; ++at) {
            const auto [first, last] = maybe.test(bucket(h)) ? wanted.equal_range(h) : std::make_pair(none, none);
            for (auto it = first; it != last; ++it) {
                const std::size_t i = it->second;
                if (at < next_from[i] || view.substr(at, length) != prefixes[i] || !is_char_boundary(view, at) ||
                    !is_char_boundary(view, at + length))
                    continue;
                place(i, at);
            }
            if (at + length >= view.size())
                break;
            h = (h - static_cast<unsigned char>(view[at]) * top) * kBase +
                static_cast<unsigned char>(view[at + length]);
        }
    }
    if (edits.empty())
        return;

    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.pos < b.pos; });
    std::string out;
    out.reserve(text.size() + edits.size());
    std::size_t copied = 0;
    for (const Edit& edit : edits) {
        // The two characters after the prefix are overwritten; an anchor at
        // the very end of the text, or inside an earlier edit, is left alone.
        if (edit.pos < copied || edit.pos >= view.size())
            continue;
        const std::size_t second = edit.pos + utf8_decode_at(view, edit.pos).bytes;
        if (second >= view.size())
            continue;
        const std::size_t end = second + utf8_decode_at(view, second).bytes;
        const std::string number = padded_number(static_cast<long long>(edit.count), 2);
        out.append(view.substr(copied, edit.pos - copied)).append(number);
        copied = end;
    }
    out.append(view.substr(copied));
    text = std::move(out);
}

} // namespace velto
