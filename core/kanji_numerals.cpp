#include "core/kanji_numerals.h"

#include "core/sjis.h"

#include <array>

namespace velto {

namespace {

int digit_of(char32_t c)
{
    switch (c) {
    case U'〇': return 0;
    case U'一': return 1;
    case U'二': return 2;
    case U'三': return 3;
    case U'四': return 4;
    case U'五': return 5;
    case U'六': return 6;
    case U'七': return 7;
    case U'八': return 8;
    case U'九': return 9;
    default: return -1;
    }
}

int unit_of(char32_t c)
{
    switch (c) {
    case U'十': return 10;
    case U'百': return 100;
    case U'千': return 1000;
    default: return 0;
    }
}

} // namespace

bool is_kanji_numeral(char32_t c) { return digit_of(c) >= 0 || unit_of(c) > 0; }

std::size_t kanji_numeral_end(std::string_view text, std::size_t pos)
{
    while (pos < text.size()) {
        const Utf8Char c = utf8_decode_at(text, pos);
        if (!is_kanji_numeral(c.code))
            break;
        pos += c.bytes;
    }
    return pos;
}

int kanji_number(std::string_view numeral)
{
    if (numeral.empty())
        return -1;
    bool has_unit = false;
    for (std::size_t pos = 0; pos < numeral.size();) {
        const Utf8Char c = utf8_decode_at(numeral, pos);
        if (!is_kanji_numeral(c.code))
            return -1;
        has_unit = has_unit || unit_of(c.code) > 0;
        pos += c.bytes;
    }
    long value = 0;
    if (!has_unit) { // positional: 二〇三
        for (std::size_t pos = 0; pos < numeral.size();) {
            const Utf8Char c = utf8_decode_at(numeral, pos);
            value = value * 10 + digit_of(c.code);
            if (value > 1000000)
                return -1;
            pos += c.bytes;
        }
        return static_cast<int>(value);
    }
    int pending = -1; // a digit waiting for its unit
    int last_unit = 10000;
    for (std::size_t pos = 0; pos < numeral.size();) {
        const Utf8Char c = utf8_decode_at(numeral, pos);
        pos += c.bytes;
        if (const int unit = unit_of(c.code)) {
            if (unit >= last_unit || pending == 0)
                return -1;
            value += (pending < 0 ? 1 : pending) * unit;
            pending = -1;
            last_unit = unit;
        } else {
            if (pending >= 0)
                return -1;
            pending = digit_of(c.code);
        }
    }
    if (pending > 0)
        value += pending;
    else if (pending == 0)
        return -1;
    return static_cast<int>(value);
}

std::string kanji_numeral_text(int n)
{
    if (n < 1 || n > 9999)
        return std::to_string(n);
    static constexpr std::array<const char*, 10> kDigits = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    static constexpr std::array<const char*, 4> kUnits = {"千", "百", "十", ""};
    std::string text;
    int divisor = 1000;
    for (const char* unit : kUnits) {
        const int digit = n / divisor % 10;
        if (digit > 0) {
            // 一 is written before no unit but the ones: 百, not 一百.
            if (digit > 1 || divisor == 1)
                text += kDigits[static_cast<std::size_t>(digit)];
            text += unit;
        }
        divisor /= 10;
    }
    return text;
}

} // namespace velto
