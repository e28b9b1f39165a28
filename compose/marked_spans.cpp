#include "compose/marked_spans.h"

#include "core/sjis.h"
#include "core/text_replace.h"

#include <algorithm>

namespace velto {

namespace {
constexpr std::size_t npos = std::string_view::npos;
} // namespace

std::size_t find_whole(std::string_view text, std::string_view needle, std::size_t from)
{
    for (std::size_t at = find_text(text, needle, from); at != npos; at = find_text(text, needle, at + 1)) {
        if (is_char_boundary(text, at + needle.size()))
            return at;
    }
    return npos;
}

std::size_t sjis_width_upto(std::string_view text, std::size_t from, std::size_t to, std::size_t limit)
{
    if (to <= from || from >= text.size())
        return 0;
    const std::string_view span = text.substr(from, to - from);
    const std::string_view head = sjis_prefix(span, limit);
    return head.size() == span.size() ? sjis_width(head) : limit + 1;
}

SpanReplacer::SpanReplacer(std::string_view open, std::string_view close) : open_(open), close_(close) {}

std::size_t SpanReplacer::add(std::string_view span, std::string_view replacement)
{
    if (const std::size_t known = index_of(span); known != npos)
        return known;
    const std::size_t index = entries_.size();
    const Entry& entry = entries_.emplace_back(Entry{std::string(span), std::string(replacement)});
    const std::string_view stored = entry.span;
    index_.emplace(stored, index);
    const std::size_t close = find_whole(stored, close_);
    if (!open_.empty() && close != npos && stored.substr(0, open_.size()) == open_) {
        const std::string_view key = stored.substr(0, close + close_.size());
        by_key_[key].push_back(index);
        longest_key_ = std::max(longest_key_, key.size());
    }
    return index;
}

std::size_t SpanReplacer::index_of(std::string_view span) const
{
    const auto it = index_.find(span);
    return it == index_.end() ? npos : it->second;
}

std::string SpanReplacer::apply(std::string_view text, std::vector<std::size_t>* counts) const
{
    if (counts)
        counts->assign(entries_.size(), 0);
    if (by_key_.empty())
        return std::string(text);

    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    std::size_t from = 0;
    // The first close marker at or after the current open marker. It only
    // moves forward, so each part of the text is searched for it once.
    std::size_t close = 0;
    bool close_known = false;
    for (std::size_t open = find_whole(text, open_, from); open != npos; open = find_whole(text, open_, from)) {
        if (!close_known || close < open) {
            close = find_whole(text, close_, open);
            close_known = true;
        }
        if (close == npos)
            break; // no span can start here or later
        const std::size_t key_end = close + close_.size();
        const Entry* hit = nullptr;
        std::size_t hit_index = 0;
        if (key_end - open <= longest_key_) {
            if (const auto it = by_key_.find(text.substr(open, key_end - open)); it != by_key_.end()) {
                for (const std::size_t index : it->second) {
                    const Entry& entry = entries_[index];
                    if (text.substr(open, entry.span.size()) == entry.span &&
                        is_char_boundary(text, open + entry.span.size())) {
                        hit = &entry;
                        hit_index = index;
                        break;
                    }
                }
            }
        }
        if (!hit) {
            from = open + utf8_decode_at(text, open).bytes;
            continue;
        }
        out.append(text.substr(copied, open - copied));
        out.append(hit->replacement);
        copied = from = open + hit->span.size();
        if (counts)
            ++(*counts)[hit_index];
    }
    out.append(text.substr(copied));
    return out;
}

} // namespace velto
