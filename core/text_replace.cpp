#include "core/text_replace.h"

#include "core/sjis.h"

#include <cstring>

namespace velto {

namespace {

// True when byte `pos` starts a character: walking from the nearest earlier
// ASCII byte (at most 3 bytes back) lands exactly on it.
bool on_boundary(std::string_view text, std::size_t pos)
{
    std::size_t start = pos;
    for (int back = 0; back < 4 && start > 0; ++back) {
        --start;
        if (static_cast<unsigned char>(text[start]) < 0x80)
            break;
    }
    while (start < pos)
        start += utf8_decode_at(text, start).bytes;
    return start == pos;
}

} // namespace

bool is_char_boundary(std::string_view text, std::size_t pos)
{
    return pos >= text.size() || on_boundary(text, pos);
}

namespace {

// The first byte match at or after `from`. Candidates are found by the
// needle's last byte: in Japanese UTF-8 text a continuation byte is rare,
// while the lead byte is shared by most characters.
std::size_t find_bytes(std::string_view text, std::string_view needle, std::size_t from)
{
    const std::size_t n = needle.size();
    if (from > text.size() || n > text.size() - from)
        return std::string_view::npos;
    for (std::size_t last = from + n - 1; last < text.size(); ++last) {
        const void* hit = std::memchr(text.data() + last, needle.back(), text.size() - last);
        if (!hit)
            break;
        last = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        const std::size_t start = last + 1 - n;
        if (std::memcmp(text.data() + start, needle.data(), n - 1) == 0)
            return start;
    }
    return std::string_view::npos;
}

} // namespace

std::size_t find_text(std::string_view text, std::string_view needle, std::size_t from)
{
    if (needle.empty())
        return std::string_view::npos;
    for (std::size_t pos = find_bytes(text, needle, from); pos != std::string_view::npos;
         pos = find_bytes(text, needle, pos + 1)) {
        if (on_boundary(text, pos))
            return pos;
    }
    return std::string_view::npos;
}

std::size_t replace_all(std::string& text, std::string_view needle, std::string_view replacement)
{
    std::size_t count = 0;
    std::size_t pos = find_text(text, needle, 0);
    if (pos == std::string_view::npos)
        return 0;
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    while (pos != std::string_view::npos) {
        out.append(text, copied, pos - copied);
        out.append(replacement);
        copied = pos + needle.size();
        ++count;
        pos = find_text(text, needle, copied);
    }
    out.append(text, copied, std::string::npos);
    text.swap(out);
    return count;
}

bool insert_before_first(std::string& text, std::string_view needle, std::string_view insertion)
{
    const std::size_t pos = find_text(text, needle);
    if (pos == std::string_view::npos)
        return false;
    text.insert(pos, insertion);
    return true;
}

bool insert_after_first(std::string& text, std::string_view needle, std::string_view insertion)
{
    const std::size_t pos = find_text(text, needle);
    if (pos == std::string_view::npos)
        return false;
    text.insert(pos + needle.size(), insertion);
    return true;
}

void remove_spans(std::string& text, std::string_view start, std::string_view end)
{
    std::size_t from = 0;
    for (;;) {
        const std::size_t s = find_text(text, start, from);
        if (s == std::string_view::npos)
            return;
        const std::size_t e = find_text(text, end, s + start.size());
        if (e == std::string_view::npos)
            return;
        text.erase(s, e + end.size() - s);
        from = s;
    }
}

} // namespace velto
