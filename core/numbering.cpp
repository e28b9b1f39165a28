// Numbering text: numerals, eras and the labels written before articles,
// paragraphs, items and headings.
#include "core/identifiers.h"

#include <array>
#include <cstdio>

namespace velto {

namespace {

const char* const kUnknown = "不明";

// The first 40 signs of the iroha order.
constexpr std::array<const char*, 40> kIrohaKatakana = {
    "イ", "ロ", "ハ", "ニ", "ホ", "ヘ", "ト", "チ", "リ", "ヌ", "ル", "ヲ", "ワ", "カ",
    "ヨ", "タ", "レ", "ソ", "ツ", "ネ", "ナ", "ラ", "ム", "ウ", "ヰ", "ノ", "オ", "ク",
    "ヤ", "マ", "ケ", "フ", "コ", "エ", "テ", "ア", "サ", "キ", "ユ", "メ"};

constexpr std::array<const char*, 40> kIrohaHiragana = {
    "い", "ろ", "は", "に", "ほ", "へ", "と", "ち", "り", "ぬ", "る", "を", "わ", "か",
    "よ", "た", "れ", "そ", "つ", "ね", "な", "ら", "む", "う", "ゐ", "の", "お", "く",
    "や", "ま", "け", "ふ", "こ", "え", "て", "あ", "さ", "き", "ゆ", "め"};

constexpr std::array<const char*, 10> kKanjiDigits = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

// Small roman numerals ⅰ to ⅹ, then ⅹⅰ to ⅹⅳ.
constexpr std::array<const char*, 14> kRoman = {"ⅰ", "ⅱ", "ⅲ", "ⅳ", "ⅴ", "ⅵ", "ⅶ",
                                                "ⅷ", "ⅸ", "ⅹ", "ⅹⅰ", "ⅹⅱ", "ⅹⅲ", "ⅹⅳ"};

std::string dec(int n) { return std::to_string(n); }

// Upper-cased style letter at position i of a numbering style; '\0' when the
// style is too short, which selects the default style of that position.
char style_at(std::string_view style, std::size_t i)
{
    if (i >= style.size())
        return '\0';
    const char c = style[i];
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool is_single_bit(LevelBits bit) { return bit != 0 && (bit & (bit - 1)) == 0; }

// "の" and the number, for a branch above the given floor.
void append_branch(std::string& text, int branch, int floor)
{
    if (branch > floor)
        text += "の" + dec(branch);
}

std::string in_full_parens(const std::string& text) { return "（" + text + "）"; }

} // namespace

// --- numerals ---

std::string IdentifierRules::_kanji_numeral(int n)
{
    if (n == 0)
        return {};
    if (n < 0 || n > 99)
        return kUnknown;
    if (n == 10)
        return "十";
    if (n < 10)
        return kKanjiDigits[static_cast<std::size_t>(n)];
    const int tens = n / 10;
    std::string text = tens == 1 ? "" : kKanjiDigits[static_cast<std::size_t>(tens)];
    text += "十";
    text += kKanjiDigits[static_cast<std::size_t>(n % 10)];
    return text;
}

std::string IdentifierRules::_iroha_katakana(int n)
{
    if (n == 0)
        return {};
    if (n < 1 || n > static_cast<int>(kIrohaKatakana.size()))
        return kUnknown;
    return kIrohaKatakana[static_cast<std::size_t>(n - 1)];
}

std::string IdentifierRules::_iroha_hiragana(int n)
{
    if (n == 0)
        return {};
    if (n < 1 || n > static_cast<int>(kIrohaHiragana.size()))
        return kUnknown;
    return kIrohaHiragana[static_cast<std::size_t>(n - 1)];
}

std::string IdentifierRules::_roman_numeral(int n)
{
    if (n == 0)
        return {};
    if (n < 1 || n > static_cast<int>(kRoman.size()))
        return kUnknown;
    return kRoman[static_cast<std::size_t>(n - 1)];
}

namespace {

// The first day of each era, newest first. 明治 is counted from the start of
// 1868, the year the numbering of the reader begins.
struct EraStart {
    int year, month, day;
    const char* name;
};
constexpr std::array<EraStart, 5> kEraStarts = {{
    {2019, 5, 1, "令和"},
    {1989, 1, 8, "平成"},
    {1926, 12, 25, "昭和"},
    {1912, 7, 30, "大正"},
    {1868, 1, 1, "明治"},
}};

constexpr std::array<const char*, 6> kEraNames = {"不明", "明治", "大正", "昭和", "平成", "令和"};
constexpr std::array<const char*, 6> kEraLetters = {"不明", "明", "大", "昭", "平", "令"};

bool known_era(int code) { return code >= 1 && code < static_cast<int>(kEraNames.size()); }

} // namespace

std::string_view era_name_of_code(int code) { return kEraNames[known_era(code) ? code : 0]; }

std::string_view era_letter_of_code(int code) { return kEraLetters[known_era(code) ? code : 0]; }

bool IdentifierRules::_era_of_year(int year, std::string& era, int& era_year)
{
    // Only the year is known: a year in which an era began belongs to that era.
    for (const EraStart& start : kEraStarts) {
        if (year >= start.year) {
            era = start.name;
            era_year = year - start.year + 1;
            return true;
        }
    }
    return false;
}

bool IdentifierRules::_era_of_date(int year, int month, int day, std::string& era, int& era_year)
{
    for (const EraStart& start : kEraStarts) {
        if (year > start.year || (year == start.year && (month > start.month ||
                                                         (month == start.month && day >= start.day)))) {
            era = start.name;
            era_year = year - start.year + 1;
            return true;
        }
    }
    return false;
}

// --- page and heading labels ---

bool IdentifierRules::_article_label(std::string_view id_fn, std::string& label)
{
    label.clear();
    int article = 0;
    int branch1 = 0;
    int branch2 = 0;
    if (!_parse_article_id(id_fn, article, branch1, branch2) || article == 0)
        return false;
    label = "第" + dec(article) + "条";
    if (branch1 > 1) {
        append_branch(label, branch1, 1);
        append_branch(label, branch2, 1);
    }
    return true;
}

bool IdentifierRules::_notice_number_label(std::string_view id_fn, std::string& label, bool long_form)
{
    label.clear();
    int era_code = 0;
    int era_year = 0;
    int number = 0;
    if (!_parse_notice_id(id_fn, era_code, era_year, number))
        return false;
    const std::string era(era_letter_of_code(era_code));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, long_form ? "%s%02d年 %04d号" : "%s%d年 %d号", era.c_str(), era_year, number);
    label = buffer;
    return true;
}

bool IdentifierRules::_table_label(std::string_view id_fn, std::string& label)
{
    label.clear();
    if (id_fn.size() != 15)
        return false;
    const char kind = id_fn[4];
    if (kind != 'T' && kind != 't')
        return false;
    const int table = decimal_value(id_fn.substr(5, 3));
    if (is_appendix_page(id_fn)) {
        label = "別記";
    } else if (table == 0) {
        label = "別表";
    } else if (table < 0) {
        label = kUnknown;
    } else {
        label = "別表第" + dec(table);
        const int branch = decimal_value(id_fn.substr(8, 2));
        append_branch(label, branch, 0);
        if (branch > 0)
            append_branch(label, decimal_value(id_fn.substr(10, 2)), 0);
    }
    return true;
}

bool IdentifierRules::_section_label(std::string_view id_sn, std::string& label, LevelBits bit)
{
    label.clear();
    SectionFields fields;
    if (!_parse_section_id(id_sn, bit, fields))
        return false;
    const SectionLevel* level = nullptr;
    const char* suffix = nullptr;
    switch (bit) {
    case section_level::Chapter: level = &fields.chapter; suffix = "章"; break;
    case section_level::Section: level = &fields.section; suffix = "節"; break;
    case section_level::Subsection: level = &fields.subsection; suffix = "款"; break;
    case section_level::Division: level = &fields.division; suffix = "目"; break;
    default: return false;
    }
    if (level->number == 0)
        return false;
    label = dec(level->number) + suffix;
    if (level->branch1 > 1) {
        append_branch(label, level->branch1, 1);
        append_branch(label, level->branch2, 1);
    }
    return true;
}

// --- sentence labels ---

std::string IdentifierRules::_page_supplement(std::string_view id_bn, bool long_form) const
{
    std::string name;
    std::string supplement;
    if (!long_form || !_page_names(id_bn.substr(0, 15), name, supplement))
        return {};
    return supplement;
}

bool IdentifierRules::_sentence_label(std::string_view id_bn, std::string& label, LevelBits bit,
                                      std::string_view style, bool long_form) const
{
    label.clear();
    if (!is_single_bit(bit) || bit > level::Fifth)
        return false;
    SentenceFields f;
    if (!_parse_sentence_id(id_bn, bit, f))
        return false;
    std::string text;
    switch (bit) {
    case level::Article:
        if (f.article == 0)
            return false;
        text = "第" + dec(f.article) + "条";
        if (f.branch1 > 1) {
            append_branch(text, f.branch1, 1);
            append_branch(text, f.branch2, 1);
        }
        break;
    case level::Paragraph:
        if (f.paragraph == 0)
            return false;
        text = long_form ? "第" + dec(f.paragraph) + "項" : dec(f.paragraph);
        append_branch(text, f.paragraph_branch, 1);
        break;
    case level::Item:
        if (f.item == 0)
            return false;
        switch (style_at(style, 4)) {
        case 'B': text = dec(f.item); break;
        case 'C': break;
        case 'D': text = "第" + dec(f.item) + "条"; break;
        case 'T': text = _page_supplement(id_bn, long_form); break;
        default:
            text = _kanji_numeral(f.item);
            if (long_form)
                text = "第" + text + "号";
            break;
        }
        if (style_at(style, 5) == 'D') {
            if (f.item_branch > 0)
                text = dec(f.item_branch);
        } else if (f.item_branch > 1) {
            text += "の" + _kanji_numeral(f.item_branch);
        }
        break;
    case level::SubItem:
        if (f.sub_item == 0)
            return false;
        switch (style_at(style, 8)) {
        case 'B': text = _kanji_numeral(f.sub_item); break;
        case 'C': break;
        case 'T': text = _page_supplement(id_bn, long_form); break;
        default: text = _iroha_katakana(f.sub_item); break;
        }
        break;
    case level::SubSubItem:
        if (f.sub_sub_item == 0)
            return false;
        text = style_at(style, 9) == 'B' ? _iroha_katakana(f.sub_sub_item) : "(" + dec(f.sub_sub_item) + ")";
        break;
    case level::Fifth:
        if (f.fifth == 0)
            return false;
        text = in_full_parens(_roman_numeral(f.fifth));
        break;
    default:
        return false;
    }
    label = std::move(text);
    return true;
}

bool IdentifierRules::_notice_sentence_label(std::string_view id_bn, std::string& label, LevelBits bit,
                                             std::string_view style, bool long_form) const
{
    label.clear();
    constexpr LevelBits kKnown = notice_level::First | notice_level::Second | notice_level::Third |
                                 notice_level::Fourth | notice_level::Fifth | notice_level::Sixth |
                                 notice_level::Supplement | notice_level::Appendix |
                                 notice_level::PageSupplement | notice_level::Table;
    if (!is_single_bit(bit) || (bit & kKnown) == 0)
        return false;
    NoticeSentenceFields f;
    if (!_parse_notice_sentence_id(id_bn, bit, f))
        return false;
    std::string text;
    switch (bit) {
    case notice_level::First: {
        if (f.first == 0)
            return false;
        switch (style_at(style, 0)) {
        case 'B': text = long_form ? dec(f.first) : std::string(); break;
        case 'C': text = dec(f.first); break;
        case 'D': text = "第" + dec(f.first) + "条"; break;
        case 'E': text = _kanji_numeral(f.first); break;
        default: text = "第" + dec(f.first); break;
        }
        const int b = f.first_branch;
        if (style_at(style, 1) == 'B') {
            if (b > 0)
                text = dec(b);
        } else if (b > 1) {
            text = long_form ? text + "、" + dec(b) : dec(b);
        }
        break;
    }
    case notice_level::Second:
        if (f.second == 0)
            return false;
        switch (style_at(style, 4)) {
        case 'B': text = dec(f.second); break;
        case 'C': break;
        case 'D': text = "-"; break;
        case 'T': text = _page_supplement(id_bn, long_form); break;
        default:
            text = _kanji_numeral(f.second);
            if (long_form)
                text = "第" + text + "号";
            if (f.second_branch > 1)
                text += "の" + _kanji_numeral(f.second_branch);
            break;
        }
        break;
    case notice_level::Third:
        if (f.third == 0)
            return false;
        switch (style_at(style, 8)) {
        case 'B': text = in_full_parens(dec(f.third)); break;
        case 'C': text = in_full_parens(_iroha_katakana(f.third)); break;
        case 'D': text = in_full_parens(_kanji_numeral(f.third)); break;
        case 'E': break;
        case 'T': text = _page_supplement(id_bn, long_form); break;
        default: text = _iroha_katakana(f.third); break;
        }
        break;
    case notice_level::Fourth:
        if (f.fourth == 0)
            return false;
        switch (style_at(style, 9)) {
        case 'B': text = _iroha_katakana(f.fourth); break;
        case 'C': text = in_full_parens(_iroha_katakana(f.fourth)); break;
        case 'D': text = in_full_parens(_kanji_numeral(f.fourth)); break;
        case 'E': text = in_full_parens(_roman_numeral(f.fourth)); break;
        default: text = "(" + dec(f.fourth) + ")"; break;
        }
        break;
    case notice_level::Fifth:
        if (f.fifth == 0)
            return false;
        switch (style_at(style, 10)) {
        case 'B': text = "(" + dec(f.fifth) + ")"; break;
        case 'C': text = in_full_parens(_iroha_katakana(f.fifth)); break;
        case 'D': text = in_full_parens(_iroha_hiragana(f.fifth)); break;
        default: text = in_full_parens(_roman_numeral(f.fifth)); break;
        }
        break;
    case notice_level::Sixth:
        if (f.sixth == 0)
            return false;
        switch (style_at(style, 12)) {
        case 'B': text = in_full_parens(_roman_numeral(f.sixth)); break;
        case 'C': text = in_full_parens(_kanji_numeral(f.sixth)); break;
        default: text = in_full_parens(_iroha_katakana(f.sixth)); break;
        }
        break;
    case notice_level::Supplement: text = "附則"; break;
    case notice_level::Appendix: text = "別記"; break;
    case notice_level::PageSupplement: text = _page_supplement(id_bn, long_form); break;
    case notice_level::Table: text = "別表"; break;
    default: return false;
    }
    label = std::move(text);
    return true;
}

} // namespace velto
