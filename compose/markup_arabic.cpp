// 条・項・号 numbers in Arabic digits.
#include "compose/arabic_numbers.h"

#include "core/kanji_numerals.h"
#include "core/sjis.h"

#include <string_view>

namespace velto {

namespace {

bool at(std::string_view text, std::size_t pos, std::string_view word)
{
    return text.substr(pos, word.size()) == word;
}

// Appends the numeral text[from, to) in digits; false (nothing appended) when it reads as no number.
bool append_digits(std::string_view text, std::size_t from, std::size_t to, std::string& out)
{
    const int n = to > from ? kanji_number(text.substr(from, to - from)) : -1;
    if (n <= 0)
        return false;
    out += std::to_string(n);
    return true;
}

// "のB" branches after a number, as digits; returns where they end. A branch
// is 2 or more: "第三条の一部" is article 3 and words.
std::size_t append_branches(std::string_view text, std::size_t pos, std::string& out)
{
    constexpr std::string_view no = "の";
    while (at(text, pos, no)) {
        const std::size_t end = kanji_numeral_end(text, pos + no.size());
        std::string digits;
        if (!append_digits(text, pos + no.size(), end, digits) || digits == "1")
            break;
        out.append(no).append(digits);
        pos = end;
    }
    return pos;
}

} // namespace

void arabic_provision_numbers(std::string& html)
{
    const std::string_view text = html;
    std::string out;
    out.reserve(html.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == '<') { // a tag: copied as it is
            const std::size_t close = text.find('>', pos);
            const std::size_t end = close == std::string_view::npos ? text.size() : close + 1;
            out.append(text.substr(pos, end - pos));
            pos = end;
            continue;
        }
        const bool head = at(text, pos, "第") || at(text, pos, "前");
        if (head) {
            const std::size_t from = pos + std::string_view("第").size();
            const std::size_t to = kanji_numeral_end(text, from);
            const bool unit = at(text, to, "条") || at(text, to, "項") || at(text, to, "号");
            std::string digits;
            if (unit && append_digits(text, from, to, digits)) {
                out.append(text.substr(pos, from - pos)).append(digits).append(text.substr(to, 3));
                pos = to + 3;
                if (!at(text, to, "項"))
                    pos = append_branches(text, pos, out);
                continue;
            }
        }
        const std::size_t bytes = utf8_decode_at(text, pos).bytes;
        out.append(text.substr(pos, bytes));
        pos += bytes;
    }
    html = std::move(out);
}

void arabic_label(std::string& label)
{
    const std::size_t end = kanji_numeral_end(label, 0);
    std::string out;
    if (!append_digits(label, 0, end, out))
        return;
    const std::size_t rest = append_branches(label, end, out);
    label = out + label.substr(rest);
}

} // namespace velto
