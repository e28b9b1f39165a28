// Classification and parsing of the fixed-width identifiers.
#include "core/identifiers.h"

#include "core/sjis.h"

#include <climits>

namespace velto {

namespace {

constexpr std::size_t kFnLength = 15; // ID_FN
constexpr std::size_t kSnLength = 23; // ID_SN
constexpr std::size_t kBnLength = 35; // ID_BN

// The field at [pos, pos + len) of an identifier; shorter or empty when the
// text ends earlier.
std::string_view cut(std::string_view id, std::size_t pos, std::size_t len)
{
    if (pos >= id.size())
        return {};
    return id.substr(pos, len);
}

int number_at(std::string_view id, std::size_t pos, std::size_t len) { return decimal_value(cut(id, pos, len)); }

int code_at(std::string_view id, std::size_t pos) { return IdentifierRules::_code_value(cut(id, pos, 1)); }

char upper_at(std::string_view id, std::size_t pos)
{
    if (pos >= id.size())
        return '\0';
    const char c = id[pos];
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Era code of a notification identifier character.
int era_code_of(char c)
{
    switch (c) {
    case 'A': return 1; // 明治
    case 'B': return 2; // 大正
    case 'C': return 3; // 昭和
    case 'D': return 4; // 平成
    case 'E': return 5; // 令和
    default: return 0;
    }
}

// A lettered level is present when its character is one of the given letters
// (upper-cased) or a non-zero digit.
bool level_present(std::string_view id, std::size_t pos, char last_letter)
{
    const char c = upper_at(id, pos);
    return (c >= 'A' && c <= last_letter) || number_at(id, pos, 1) != 0;
}

} // namespace

int decimal_value(std::string_view text)
{
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        if (value <= INT_MAX)
            value = value * 10 + (text[pos] - '0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int page_suffix_value(std::string_view id_fn)
{
    return decimal_value(id_fn.substr(id_fn.size() >= 2 ? id_fn.size() - 2 : 0));
}

bool is_appendix_page(std::string_view id_fn)
{
    return id_fn.size() >= 12 && (id_fn[4] == 'T' || id_fn[4] == 't') && id_fn.substr(5, 3) == "999";
}

bool IdentifierRules::_page_names(std::string_view, std::string&, std::string&) const { return false; }

bool IdentifierRules::_id_kind(std::string_view id_fn, IdKind& kind)
{
    if (id_fn.size() != kFnLength)
        return false;
    switch (id_fn[4]) {
    case 'K': kind = IdKind::Notice; return true;
    case 'T': kind = IdKind::Table; return true;
    case 'Z': kind = IdKind::Special; return true;
    case 'F': kind = IdKind::Supplement; return true;
    default: break;
    }
    if (number_at(id_fn, 4, 4) < 1)
        return false;
    kind = IdKind::Article;
    return true;
}

bool IdentifierRules::_parse_article_id(std::string_view id_fn, int& article, int& branch1, int& branch2)
{
    if (id_fn.size() != kFnLength)
        return false;
    article = number_at(id_fn, 4, 4);
    branch1 = number_at(id_fn, 8, 2);
    branch2 = number_at(id_fn, 10, 2);
    return true;
}

bool IdentifierRules::_parse_notice_id(std::string_view id_fn, int& era_code, int& era_year, int& number)
{
    if (id_fn.size() != kFnLength || id_fn[4] != 'K')
        return false;
    era_code = era_code_of(id_fn[5]);
    era_year = number_at(id_fn, 6, 2);
    number = number_at(id_fn, 8, 4);
    return true;
}

bool IdentifierRules::_parse_sentence_id(std::string_view id_bn, LevelBits bits, SentenceFields& fields)
{
    if (id_bn.size() != kBnLength)
        return false;
    if (id_bn[4] != 'F' && number_at(id_bn, 4, 4) <= 0)
        return false;
    SentenceFields f;
    if (bits & level::Article) {
        f.article = number_at(id_bn, 4, 4);
        f.branch1 = number_at(id_bn, 8, 2);
        f.branch2 = number_at(id_bn, 10, 2);
    }
    if (bits & level::Paragraph) {
        f.paragraph = number_at(id_bn, 16, 2);
        f.paragraph_branch = number_at(id_bn, 18, 1);
    }
    if (bits & level::Item) {
        f.item = number_at(id_bn, 21, 2);
        f.item_branch = code_at(id_bn, 23);
    }
    if (bits & level::SubItem)
        f.sub_item = number_at(id_bn, 26, 2);
    if (bits & level::SubSubItem)
        f.sub_sub_item = code_at(id_bn, 28);
    if (bits & level::Fifth)
        f.fifth = code_at(id_bn, 29);
    fields = f;
    return true;
}

bool IdentifierRules::_parse_notice_sentence_id(std::string_view id_bn, LevelBits bits, NoticeSentenceFields& fields)
{
    if (id_bn.size() != kBnLength || upper_at(id_bn, 4) != 'K')
        return false;
    NoticeSentenceFields f;
    if (bits & notice_level::EraCode)
        f.era_code = era_code_of(id_bn[5]);
    if (bits & notice_level::EraYear)
        f.era_year = number_at(id_bn, 6, 2);
    if (bits & notice_level::Number)
        f.number = number_at(id_bn, 8, 4);
    if (bits & notice_level::First) {
        f.first = number_at(id_bn, 16, 2);
        f.first_branch = number_at(id_bn, 18, 1);
    }
    if (bits & notice_level::Second) {
        f.second = number_at(id_bn, 21, 2);
        f.second_branch = number_at(id_bn, 23, 1);
    }
    if (bits & notice_level::Third)
        f.third = number_at(id_bn, 26, 2);
    if (bits & notice_level::Fourth)
        f.fourth = code_at(id_bn, 28);
    if (bits & notice_level::Fifth)
        f.fifth = code_at(id_bn, 29);
    if (bits & notice_level::Sixth)
        f.sixth = number_at(id_bn, 31, 2);
    if (bits & notice_level::Seventh)
        f.seventh = code_at(id_bn, 33);
    if (bits & notice_level::Eighth)
        f.eighth = code_at(id_bn, 34);
    if (bits & notice_level::Supplement)
        f.group = number_at(id_bn, 17, 3);
    fields = f;
    return true;
}

bool IdentifierRules::_parse_section_id(std::string_view id_sn, LevelBits bits, SectionFields& fields)
{
    if (id_sn.size() != kSnLength)
        return false;
    // Each level is a group of four characters: two-digit number, two branch codes.
    const auto group = [id_sn](std::size_t pos) {
        SectionLevel l;
        l.number = number_at(id_sn, pos, 2);
        l.branch1 = code_at(id_sn, pos + 2);
        l.branch2 = code_at(id_sn, pos + 3);
        return l;
    };
    SectionFields f;
    if (bits & section_level::Chapter)
        f.chapter = group(4);
    if (bits & section_level::Section)
        f.section = group(9);
    if (bits & section_level::Subsection)
        f.subsection = group(14);
    if (bits & section_level::Division)
        f.division = group(19);
    fields = f;
    return true;
}

bool IdentifierRules::_sentence_depth(std::string_view id_bn, int& depth)
{
    if (id_bn.size() != kBnLength)
        return false;
    if (level_present(id_bn, 29, 'E'))
        depth = 5;
    else if (number_at(id_bn, 28, 1) != 0)
        depth = 4;
    else if (number_at(id_bn, 26, 2) != 0)
        depth = 3;
    else if (number_at(id_bn, 21, 2) != 0)
        depth = 2;
    else
        depth = number_at(id_bn, 16, 2) > 1 ? 1 : 0; // an article's first paragraph is depth 0
    return true;
}

bool IdentifierRules::_notice_sentence_depth(std::string_view id_bn, int& depth)
{
    if (id_bn.size() != kBnLength)
        return false;
    if (number_at(id_bn, 31, 2) != 0) {
        depth = 6;
    } else if (level_present(id_bn, 29, 'Z')) {
        depth = 5;
    } else if (level_present(id_bn, 28, 'Z')) {
        depth = 4;
    } else if (number_at(id_bn, 26, 2) != 0) {
        depth = 3;
    } else if (number_at(id_bn, 21, 2) != 0) {
        depth = 2;
    } else {
        // The first group may open a fixed part of the notification instead of a number.
        switch (upper_at(id_bn, 16)) {
        case 'F': depth = 9; break;  // 附則
        case 'S': depth = 10; break; // 別記
        case 'T': depth = 11; break; // page supplement
        case 'R': depth = 12; break; // 別表
        default: depth = number_at(id_bn, 16, 2) > 0 ? 1 : 0; break;
        }
    }
    return true;
}

int IdentifierRules::_code_value(std::string_view text)
{
    if (text.size() != 1)
        return 0;
    const char c = upper_at(text, 0);
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 0;
}

std::size_t IdentifierRules::_halfwidth_count(std::string_view text) { return sjis_halfwidth_count(text); }

} // namespace velto
