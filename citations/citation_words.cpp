#include "citations/citation_words.h"

#include "core/kanji_numerals.h"
#include "core/sjis.h"

#include <array>

namespace velto::citelink::words {

namespace {

constexpr std::string_view kDai = "第";
constexpr std::string_view kNo = "の";

// A kanji numeral at `pos`; its value, or -1, and where it ends.
int numeral_at(std::string_view text, std::size_t pos, std::size_t& end)
{
    end = kanji_numeral_end(text, pos);
    return end > pos ? kanji_number(text.substr(pos, end - pos)) : -1;
}

// "のB" at `pos` with B a numeral of at least 2 ("第三条の一部" is article 3 and text).
bool branch_at(std::string_view text, std::size_t pos, int& value, std::size_t& end)
{
    if (!starts_with(text, pos, kNo))
        return false;
    const int v = numeral_at(text, pos + kNo.size(), end);
    if (v < 2)
        return false;
    value = v;
    return true;
}

constexpr std::array<std::string_view, 40> kIroha = {
    "イ", "ロ", "ハ", "ニ", "ホ", "ヘ", "ト", "チ", "リ", "ヌ", "ル", "ヲ", "ワ", "カ",
    "ヨ", "タ", "レ", "ソ", "ツ", "ネ", "ナ", "ラ", "ム", "ウ", "ヰ", "ノ", "オ", "ク",
    "ヤ", "マ", "ケ", "フ", "コ", "エ", "テ", "ア", "サ", "キ", "ユ", "メ"};

bool is_katakana(char32_t c) { return (c >= 0x30A1 && c <= 0x30FA) || c == U'ー'; }

} // namespace

bool starts_with(std::string_view text, std::size_t pos, std::string_view word)
{
    return pos <= text.size() && text.substr(pos, word.size()) == word;
}

std::size_t char_bytes(std::string_view text, std::size_t pos)
{
    return pos < text.size() ? utf8_decode_at(text, pos).bytes : 1;
}

std::size_t bracket_end(std::string_view text, std::size_t pos)
{
    if (!starts_with(text, pos, "（"))
        return std::string_view::npos;
    int depth = 0;
    for (std::size_t q = pos; q < text.size(); q += char_bytes(text, q)) {
        if (starts_with(text, q, "（"))
            ++depth;
        else if (starts_with(text, q, "）") && --depth == 0)
            return q + std::string_view("）").size();
    }
    return std::string_view::npos;
}

bool is_word_char(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || c == U'々' || c == U'〆' ||
           (c >= 0x30A1 && c <= 0x30FF) || (c >= 0xFF21 && c <= 0xFF3A) ||
           (c >= 0xFF41 && c <= 0xFF5A) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool read_number(std::string_view text, std::size_t pos, Number& out)
{
    if (!starts_with(text, pos, kDai))
        return false;
    std::size_t end = 0;
    const int value = numeral_at(text, pos + kDai.size(), end);
    if (value <= 0)
        return false;
    static constexpr std::string_view kUnits[] = {"条", "項", "号"};
    for (int level = 1; level <= 3; ++level) {
        if (!starts_with(text, end, kUnits[level - 1]))
            continue;
        out = Number{level, value, 0, 0, end + kUnits[level - 1].size()};
        if (level == 2)
            return true;
        std::size_t after = 0;
        if (branch_at(text, out.end, out.branch, after)) {
            out.end = after;
            if (level == 1 && branch_at(text, out.end, out.branch2, after))
                out.end = after;
        }
        return true;
    }
    return false;
}

bool read_table_number(std::string_view text, std::size_t pos, Number& out)
{
    if (!starts_with(text, pos, kDai))
        return false;
    std::size_t end = 0;
    const int value = numeral_at(text, pos + kDai.size(), end);
    if (value <= 0 || value > 998)
        return false;
    out = Number{0, value, 0, 0, end};
    std::size_t after = 0;
    // 別表第三の四の項 names a row of 別表第三, not a table 第三の四.
    if (branch_at(text, end, out.branch, after) && !starts_with(text, after, "の項"))
        out.end = after;
    else
        out.branch = 0;
    return true;
}

std::size_t table_column_end(std::string_view text, std::size_t pos)
{
    std::size_t at = starts_with(text, pos, kNo) ? pos + kNo.size() : pos;
    const std::size_t close = bracket_end(text, at);
    if (close == std::string_view::npos || close - at > 5 * 3 ||
        !(starts_with(text, close, "欄") || starts_with(text, close, "項")))
        return pos;
    std::size_t end = close + std::string_view("欄").size();
    // 別表第二（い）項第一号: the row's item belongs to the table.
    if (Number item; read_number(text, end, item) && item.level == 3)
        end = item.end;
    return end;
}

bool table_row_before(std::string_view text, std::size_t pos)
{
    const char32_t c = utf8_char_before(text, pos);
    if (c != U'項' && c != U'欄')
        return false;
    return utf8_char_before(text, pos - std::string_view("項").size()) == U'）';
}

void clear_below(Provision& p, int level)
{
    if (level <= 1)
        p.article = {0, 0, 0};
    if (level <= 2)
        p.paragraph = 0;
    if (level <= 3)
        p.item = p.item_branch = 0;
    if (level <= 4)
        p.sub = 0;
}

void apply(Provision& p, const Number& n)
{
    clear_below(p, n.level);
    switch (n.level) {
    case 1: p.article = {n.value, n.branch, n.branch2}; break;
    case 2: p.paragraph = n.value; break;
    case 3: p.item = n.value; p.item_branch = n.branch; break;
    default: break;
    }
}

int iroha_at(std::string_view text, std::size_t pos, std::size_t& bytes)
{
    for (std::size_t i = 0; i < kIroha.size(); ++i) {
        if (!starts_with(text, pos, kIroha[i]))
            continue;
        const std::size_t end = pos + kIroha[i].size();
        if (end < text.size() && is_katakana(utf8_decode_at(text, end).code))
            return 0; // a word in katakana, not a sub-item
        bytes = kIroha[i].size();
        return static_cast<int>(i) + 1;
    }
    return 0;
}

bool read_relative_word(std::string_view text, std::size_t pos, Relative& out)
{
    static constexpr std::string_view kUnits[] = {"条", "項", "号"};
    const auto unit_at = [&](std::size_t at) {
        for (int level = 1; level <= 3; ++level)
            if (starts_with(text, at, kUnits[level - 1]))
                return level;
        return 0;
    };
    const auto finish = [&](Relative::Kind kind, int step, std::size_t at) {
        const int level = unit_at(at);
        if (level == 0)
            return false;
        const std::size_t end = at + kUnits[level - 1].size();
        // 同条例, この条例, 前条件 …: longer words, not citations.
        if (starts_with(text, end, "例") || starts_with(text, end, "件") || starts_with(text, end, "約"))
            return false;
        out = Relative{kind, level, step, end};
        return true;
    };
    if (starts_with(text, pos, "同"))
        return finish(Relative::Kind::Same, 0, pos + std::string_view("同").size());
    if (starts_with(text, pos, "この"))
        return finish(Relative::Kind::This, 0, pos + std::string_view("この").size());
    if (starts_with(text, pos, "次"))
        return finish(Relative::Kind::Step, 1, pos + std::string_view("次").size());
    if (!starts_with(text, pos, "前"))
        return false;
    std::size_t at = pos + std::string_view("前").size();
    if (starts_with(text, at, "各"))
        return finish(Relative::Kind::All, 0, at + std::string_view("各").size());
    std::size_t end = 0;
    const int n = numeral_at(text, at, end);
    if (n >= 2)
        return finish(Relative::Kind::Step, -n, end);
    return finish(Relative::Kind::Step, -1, at);
}

} // namespace velto::citelink::words
