// What stands around a citation: the joiners of a series, 読み替え
// quotations, a law's name or number right before it.
#include "citations/citation_words.h"

#include "core/sjis.h"

#include <algorithm>

namespace velto::citelink::words {

bool only_joiners(std::string_view text, std::size_t from, std::size_t to)
{
    static constexpr std::string_view kJoiners[] = {"、", "，", "・", "及び", "又は", "並びに", "若しくは", "から",
                                                    "まで", "ただし書", "本文", "前段", "後段", "各号", "各項"};
    if (text.substr(from, to - from) == "（")
        return true;
    std::size_t pos = from;
    while (pos < to) {
        if (const std::size_t close = bracket_end(text, pos); close != std::string_view::npos && close <= to) {
            pos = close;
            continue;
        }
        bool joined = false;
        for (std::string_view joiner : kJoiners) {
            if (starts_with(text, pos, joiner)) {
                pos += joiner.size();
                joined = true;
                break;
            }
        }
        // A sub-item of the citation before, between joiners: 「第一号イ及びロ並びに第二号ロ」.
        if (std::size_t bytes = 0; !joined && pos > from && iroha_at(text, pos, bytes) > 0) {
            const std::size_t after = pos + bytes;
            const bool then_joiner = after == to || std::any_of(std::begin(kJoiners), std::end(kJoiners), [&](auto j) {
                                         return starts_with(text, after, j);
                                     });
            if (then_joiner) {
                pos = after;
                joined = true;
            }
        }
        if (!joined)
            return false;
    }
    return pos == to;
}

std::vector<std::pair<std::size_t, std::size_t>> quotation_ranges(std::string_view text)
{
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    if (text.find("とあるのは") == std::string_view::npos && text.find("と読み替") == std::string_view::npos)
        return ranges;
    int depth = 0;
    std::size_t open = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += char_bytes(text, pos)) {
        if (starts_with(text, pos, "「")) {
            if (depth++ == 0)
                open = pos;
        } else if (starts_with(text, pos, "」") && depth > 0 && --depth == 0) {
            ranges.emplace_back(open, pos);
        }
    }
    return ranges;
}

std::size_t skip_law_number(std::string_view text, std::size_t pos)
{
    const std::size_t close = bracket_end(text, pos);
    if (close == std::string_view::npos)
        return pos;
    return close; // its number, or 「以下「法」という。」
}

bool law_number_before(std::string_view text, std::size_t pos)
{
    switch (utf8_char_before(text, pos)) {
    case U'律': case U'令': case U'則': case U'示': case U'例': case U'程': case U'達':
        return true;
    default:
        return false;
    }
}

bool other_law_before(std::string_view text, std::size_t pos)
{
    char32_t c = utf8_char_before(text, pos);
    if (c == U'）') {
        // 「…法律（昭和…年法律第…号）第三条」, 「改正後の施行令（以下…という。）第百十条」:
        // the bracket follows the name of a law.
        const std::size_t close = pos - std::string_view("）").size();
        if (close >= 3 && text.substr(close - 3, 3) == "号")
            return true;
        int depth = 0;
        std::size_t open = std::string_view::npos;
        for (std::size_t q = pos; q > 0;) {
            const char32_t ch = utf8_char_before(text, q);
            std::size_t start = q - 1;
            while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
                --start;
            if (ch == U'）') {
                ++depth;
            } else if (ch == U'（' && --depth == 0) {
                open = start;
                break;
            }
            q = start;
        }
        if (open == std::string_view::npos)
            return false;
        c = utf8_char_before(text, open);
    }
    switch (c) {
    case U'法': case U'令': case U'律': case U'則': case U'例': case U'程': case U'約': case U'定':
        return true;
    default:
        return false;
    }
}

} // namespace velto::citelink::words
