#include "citations/citation_parser.h"

#include "core/identifiers.h"
#include "core/kanji_numerals.h"
#include "core/sjis.h"

#include <array>

namespace velto {

namespace {

// The largest number a citation may name: four digits, as in identifiers.
constexpr int kMaxNumber = 9999;

bool is_blank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == U'\u3000'; }

// Reads a normalised citation from left to right; blanks between parts are skipped.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool at_end()
    {
        skip_blanks();
        return pos_ >= text_.size();
    }
    std::string_view rest() const { return text_.substr(pos_); }

    // Consumes `word` when the text continues with it.
    bool take(std::string_view word)
    {
        skip_blanks();
        if (text_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }

    // A number in Arabic digits or a kanji numeral (also 元 for the first
    // year of an era); 0 when there is none here, -1 when it is malformed or
    // too large.
    int number(bool allow_gan = false)
    {
        skip_blanks();
        const std::size_t start = pos_;
        if (allow_gan && take("元"))
            return 1;
        if (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            long value = 0;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
                value = value * 10 + (text_[pos_] - '0');
                if (value > kMaxNumber)
                    value = kMaxNumber + 1;
                ++pos_;
            }
            if (value > kMaxNumber) {
                pos_ = start;
                return -1;
            }
            return static_cast<int>(value);
        }
        std::size_t end = pos_;
        while (end < text_.size()) {
            const Utf8Char c = utf8_decode_at(text_, end);
            if (!is_kanji_numeral(c.code))
                break;
            end += c.bytes;
        }
        if (end == start)
            return 0;
        const int value = kanji_number(text_.substr(start, end - start));
        if (value < 0 || value > kMaxNumber)
            return -1; // left unread, so that it is named
        pos_ = end;
        return value;
    }

    // The next character, not consumed (0 at the end).
    char32_t peek()
    {
        skip_blanks();
        return pos_ < text_.size() ? utf8_decode_at(text_, pos_).code : 0;
    }
    void advance()
    {
        if (pos_ < text_.size())
            pos_ += utf8_decode_at(text_, pos_).bytes;
    }

    std::size_t position() const { return pos_; }
    void reset(std::size_t pos) { pos_ = pos; }

private:
    void skip_blanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Place of a katakana in the iroha order (1 for イ); 0 for any other character.
int iroha_index(char32_t c)
{
    static const std::array<char32_t, 40> order = [] {
        std::array<char32_t, 40> codes{};
        for (int i = 0; i < 40; ++i) {
            const std::string sign = IdentifierRules::_iroha_katakana(i + 1);
            codes[static_cast<std::size_t>(i)] = utf8_decode_at(sign, 0).code;
        }
        return codes;
    }();
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i] == c)
            return static_cast<int>(i) + 1;
    return 0;
}

// Branches "の2", "の二の三" after a number; false when one is malformed.
bool take_branches(Cursor& in, int* first, int* second)
{
    for (int* branch : {first, second}) {
        if (!branch)
            return true;
        const std::size_t before = in.position();
        if (!in.take("の"))
            return true;
        const int value = in.number();
        if (value <= 0) {
            in.reset(before);
            return value == 0; // "の規定" and the like are words, not branches
        }
        *branch = value;
    }
    return true;
}

// A number with 第 before it allowed; -1, with the cursor where it was, when
// no well-formed number stands there.
int take_ordinal(Cursor& in)
{
    const std::size_t before = in.position();
    in.take("第");
    const int value = in.number();
    if (value < 0)
        in.reset(before);
    return value;
}

// A number followed by `unit` (項, 号), with 第 before it allowed; 0 when the
// text does not continue so, -1 when it is malformed.
int numbered(Cursor& in, std::string_view unit)
{
    const std::size_t before = in.position();
    const int value = take_ordinal(in);
    if (value > 0 && in.take(unit))
        return value;
    in.reset(before);
    return value < 0 ? -1 : 0;
}

// Words that qualify the provision named before them without naming another.
void skip_qualifiers(Cursor& in)
{
    static constexpr std::string_view kWords[] = {"ただし書", "但書", "本文", "前段", "後段", "各号", "柱書",
                                                  "括弧書", "の規定", "各項"};
    for (bool again = true; again;) {
        again = false;
        for (std::string_view word : kWords)
            again = again || in.take(word);
    }
}

// 項, 号, イ and (1) after an article (or on their own).
bool parse_parts(Cursor& in, CitationBody& out)
{
    const int paragraph = numbered(in, "項");
    if (paragraph < 0)
        return false;
    out.paragraph = paragraph;
    const int item = numbered(in, "号");
    if (item < 0)
        return false;
    out.item = item;
    if (item > 0 && !take_branches(in, &out.item_branch, nullptr))
        return false;
    if (const int sub = iroha_index(in.peek()); sub > 0) {
        in.advance();
        out.sub_item = sub;
        const std::size_t before = in.position();
        if (in.take("(")) {
            const int value = in.number();
            if (value > 0 && in.take(")"))
                out.sub_sub_item = value;
            else
                in.reset(before);
        }
    }
    return true;
}

bool parse_table(Cursor& in, CitationBody& out)
{
    out.kind = CitationBody::Kind::Table;
    const int number = take_ordinal(in);
    if (number < 0)
        return false;
    out.table = number;
    if (number > 0 && !take_branches(in, &out.table_branch, nullptr))
        return false;
    return true;
}

bool parse_supplement(Cursor& in, CitationBody& out)
{
    out.kind = CitationBody::Kind::Supplement;
    const std::size_t before = in.position();
    const int number = take_ordinal(in);
    if (number < 0)
        return false;
    if (number > 0 && in.take("条")) {
        out.article = number;
        if (!take_branches(in, &out.branch1, &out.branch2))
            return false;
    } else {
        in.reset(before);
    }
    return parse_parts(in, out);
}

bool parse_article(Cursor& in, CitationBody& out)
{
    const std::size_t before = in.position();
    const int number = take_ordinal(in);
    if (number < 0)
        return false;
    if (number > 0) {
        // A number before 項 or 号 is not an article: "1項2号" is of the article shown.
        const std::size_t after = in.position();
        if (in.take("項") || in.take("号")) {
            in.reset(before);
        } else {
            in.reset(after);
            out.article = number;
            in.take("条");
            if (!take_branches(in, &out.branch1, &out.branch2))
                return false;
        }
    } else {
        in.reset(before);
    }
    return parse_parts(in, out);
}

char32_t plain_char(char32_t c)
{
    if (c >= U'０' && c <= U'９')
        return U'0' + (c - U'０');
    if (c >= U'Ａ' && c <= U'Ｚ')
        return U'A' + (c - U'Ａ');
    if (c >= U'ａ' && c <= U'ｚ')
        return U'A' + (c - U'ａ');
    if (c >= U'a' && c <= U'z')
        return U'A' + (c - U'a');
    switch (c) {
    case U'（': case U'〔': case U'［': return U'(';
    case U'）': case U'〕': case U'］': return U')';
    case U'ノ': case U'之': return U'の';
    default: return c;
    }
}

} // namespace

std::string normalize_citation(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool blank = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode_at(text, pos);
        pos += c.bytes;
        if (is_blank(c.code) || c.code < 0x20 || c.code == 0xFFFD) {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        utf8_append(out, plain_char(c.code));
    }
    return out;
}

bool parse_citation_body(std::string_view body, CitationBody& out, std::string& unread)
{
    out = CitationBody{};
    Cursor in(body);
    bool ok;
    if (in.take("別表"))
        ok = parse_table(in, out);
    else if (in.take("附則"))
        ok = parse_supplement(in, out);
    else
        ok = parse_article(in, out);
    if (ok)
        skip_qualifiers(in);
    if (ok && in.at_end()) {
        // Something must have been named: an article, a part of one, a table or the supplement.
        const bool named = out.kind != CitationBody::Kind::Article || out.article > 0 || out.paragraph > 0 ||
                           out.item > 0 || out.sub_item > 0;
        if (named) {
            unread.clear();
            return true;
        }
    }
    unread = std::string(in.rest());
    if (unread.empty())
        unread = std::string(body);
    return false;
}

std::size_t leading_parts_length(std::string_view normalized)
{
    Cursor in(normalized);
    CitationBody parts;
    if (!parse_parts(in, parts) || (parts.paragraph == 0 && parts.item == 0))
        return 0;
    return in.position();
}

bool parse_notice_citation(std::string_view text, NoticeCitation& out)
{
    out = NoticeCitation{};
    Cursor in(text);
    static constexpr std::pair<std::string_view, int> kEras[] = {
        {"明治", 1}, {"大正", 2}, {"昭和", 3}, {"平成", 4}, {"令和", 5}, {"明", 1}, {"大", 2}, {"昭", 3},
        {"平", 4},   {"令", 5},   {"M", 1},    {"T", 2},    {"S", 3},    {"H", 4},  {"R", 5}};
    for (const auto& [name, code] : kEras) {
        if (in.take(name)) {
            out.era_code = code;
            break;
        }
    }
    if (out.era_code > 0) {
        out.era_year = in.number(true);
        if (out.era_year <= 0)
            return false;
        in.take("年");
    }
    // The ministry (建, 建設省, 国交, 国土交通省 ...) is not part of the number: passed over.
    int skipped = 0;
    while (!in.at_end() && in.peek() != U'告') {
        const char32_t c = in.peek();
        if ((c >= U'0' && c <= U'9') || is_kanji_numeral(c) || ++skipped > 12)
            return false;
        in.advance();
    }
    if (!in.take("告"))
        return false;
    in.take("示");
    in.take("第");
    out.number = in.number();
    if (out.number <= 0)
        return false;
    in.take("号");
    return in.at_end();
}

} // namespace velto
