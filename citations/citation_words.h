// The words citations are made of, read at a byte position of a law text:
// numbers (第二十条の二, 第三項, 第五号の二), the iroha of sub-items, the
// relative words (前条, 次項, 同号, 前二項, 前各号, この条), appended tables,
// and what stands around a citation (a law's number in brackets, the words
// that join a series, 読み替え quotations).
//
// Only the citation finder (citations/citation_finder.h) uses these; they
// read, never decide what a citation means. Every reader takes any text and
// any position and never reads outside the text.
#pragma once

#include "citations/citation_finder.h"

#include <string_view>
#include <utility>
#include <vector>

namespace velto::citelink::words {

bool starts_with(std::string_view text, std::size_t pos, std::string_view word);
std::size_t char_bytes(std::string_view text, std::size_t pos);
// A bracketed phrase at `pos`: where it ends (after its "）"), or npos.
std::size_t bracket_end(std::string_view text, std::size_t pos);
// Kanji, katakana and Latin letters: the characters of a word such as a law's title.
bool is_word_char(char32_t c);

// 第N条(のB(のC)), 第N項, 第N号(のB) at a position.
struct Number {
    int level = 0; // 1 条, 2 項, 3 号
    int value = 0;
    int branch = 0, branch2 = 0;
    std::size_t end = 0;
};
bool read_number(std::string_view text, std::size_t pos, Number& out);
// 別表の number after "別表": 第N(のB).
bool read_table_number(std::string_view text, std::size_t pos, Number& out);
// After 別表第N: the end of a following "（い）欄" or "の（い）欄", else `pos`.
std::size_t table_column_end(std::string_view text, std::size_t pos);
// Right after "（い）項" or "（い）欄": a 第N号 there is a row of an appended table.
bool table_row_before(std::string_view text, std::size_t pos);
// Sets the level of `n` in `p`, and clears the levels below it.
void apply(Provision& p, const Number& n);
// Clears `level` and every level below it (1 条 … 4 イ).
void clear_below(Provision& p, int level);

// A sub-item's letter (イ = 1 …) at `pos` that is a word of its own; 0 when none.
int iroha_at(std::string_view text, std::size_t pos, std::size_t& bytes);

// 前条, 次項, 前二号, 前各条, 同項, この条 … at a position.
struct Relative {
    enum class Kind { Step, All, Same, This } kind = Kind::Step;
    int level = 0; // 1 条, 2 項, 3 号
    int step = 0;  // -1 前, +1 次, -N 前N
    std::size_t end = 0;
};
bool read_relative_word(std::string_view text, std::size_t pos, Relative& out);

// Only joiners (、及び、又は、から、まで …), 各号, ただし書 and bracketed
// remarks stand in [from, to), or the opening bracket of a remark on the
// citation before ("第一項（第四号及び第五号に係る部分に限る。）").
bool only_joiners(std::string_view text, std::size_t from, std::size_t to);
// The byte ranges inside 「」 of a sentence that quotes words to be read
// otherwise (「…」とあるのは「…」); none in any other sentence.
std::vector<std::pair<std::size_t, std::size_t>> quotation_ranges(std::string_view text);
// After a law's title: past its bracketed number or short name
// ("（昭和二十五年法律第二百一号）", "（以下「法」という。）").
std::size_t skip_law_number(std::string_view text, std::size_t pos);
// 法律, 政令, 省令, 規則, 告示, 条例 … right before `pos`: 第N号 there is a law's number.
bool law_number_before(std::string_view text, std::size_t pos);
// The end of another law's name, or its bracketed number, right before `pos`
// (建築士法第三条 when 建築士法 is no title of the collection, …号）第三条).
bool other_law_before(std::string_view text, std::size_t pos);

} // namespace velto::citelink::words
