// Fixed-width identifiers of the law database and the numbering text derived
// from them.
//
// Every record is keyed by a single-byte text identifier of fixed width:
//   ID_HN  3 characters  HHH                          a law or notification family
//   ID_SN 23 characters  HHH-99xx-99xx-99xx-99xx      a 章/節/款/目 heading
//   ID_FN 15 characters  HHH-BBBBBBBB-PP              one page of one article
//   ID_BN 35 characters  ID_FN-GGGG-GGGG-GGGG-GGGG    one sentence of a page
// Fields are cut out by 0-based byte position. Length tests are exact: an
// identifier is never padded or trimmed, and one of the wrong length is
// rejected by every routine that parses it. Any text of any length or content
// may be passed to every routine here; nothing reads outside the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velto {

// Kind of a page, decided by character 4 of its ID_FN.
enum class IdKind { Article = 0, Notice = 1, Table = 2, Special = 3, Supplement = 4 };

// Lengths of the identifier prefix that the sentences (ID_BN) of one page
// (its ID_FN), paragraph, item, sub-item and sub-sub-item of a law share.
inline constexpr std::size_t kPageScope = 15;
inline constexpr std::size_t kParagraphScope = 20;
inline constexpr std::size_t kItemScope = 25;
inline constexpr std::size_t kSubItemScope = 28;
inline constexpr std::size_t kSubSubItemScope = 29;

// A set of numbering levels (one or more of the bits below).
using LevelBits = unsigned;

// Numbering levels of a law sentence.
namespace level {
constexpr LevelBits Article = 0x01;    // 条: 4-7, branches 8-9 and 10-11
constexpr LevelBits Paragraph = 0x02;  // 項: 16-17, branch 18
constexpr LevelBits Item = 0x04;       // 号: 21-22, branch code 23
constexpr LevelBits SubItem = 0x08;    // イ, ロ ...: 26-27
constexpr LevelBits SubSubItem = 0x10; // code 28
constexpr LevelBits Fifth = 0x20;      // code 29
} // namespace level

// Numbering levels of a notification sentence.
namespace notice_level {
constexpr LevelBits EraCode = 0x001;    // 5
constexpr LevelBits EraYear = 0x002;    // 6-7
constexpr LevelBits Number = 0x004;     // 8-11
constexpr LevelBits First = 0x008;      // 16-17, branch 18
constexpr LevelBits Second = 0x010;     // 21-22, branch 23
constexpr LevelBits Third = 0x020;      // 26-27
constexpr LevelBits Fourth = 0x040;     // code 28
constexpr LevelBits Fifth = 0x080;      // code 29
constexpr LevelBits Sixth = 0x100;      // 31-32
constexpr LevelBits Seventh = 0x200;    // code 33
constexpr LevelBits Eighth = 0x400;     // code 34
constexpr LevelBits Supplement = 0x800; // three-digit group 17-19; labelled 附則
// Known to the labels only (fixed texts).
constexpr LevelBits Appendix = 0x1000;       // 別記
constexpr LevelBits PageSupplement = 0x2000; // the page supplement (long form only)
constexpr LevelBits Table = 0x4000;          // 別表
} // namespace notice_level

// Heading levels of an ID_SN.
namespace section_level {
constexpr LevelBits Chapter = 1;    // 章
constexpr LevelBits Section = 2;    // 節
constexpr LevelBits Subsection = 4; // 款
constexpr LevelBits Division = 8;   // 目
} // namespace section_level

// Fields of a law ID_BN; only the requested levels are set, the rest stay 0.
struct SentenceFields {
    int article = 0;
    int branch1 = 0;
    int branch2 = 0;
    int paragraph = 0;
    int paragraph_branch = 0;
    int item = 0;
    int item_branch = 0;
    int sub_item = 0;
    int sub_sub_item = 0;
    int fifth = 0;
};

// Fields of a notification ID_BN, in the order of the notice_level bits.
struct NoticeSentenceFields {
    int era_code = 0;
    int era_year = 0;
    int number = 0;
    int first = 0;
    int first_branch = 0;
    int second = 0;
    int second_branch = 0;
    int third = 0;
    int fourth = 0;
    int fifth = 0;
    int sixth = 0;
    int seventh = 0;
    int eighth = 0;
    int group = 0; // three-digit group 17-19
};

// One heading level of an ID_SN: two-digit number and two branch codes.
struct SectionLevel {
    int number = 0;
    int branch1 = 0;
    int branch2 = 0;
};

struct SectionFields {
    SectionLevel chapter;    // 章 4-5, 6, 7
    SectionLevel section;    // 節 9-10, 11, 12
    SectionLevel subsection; // 款 14-15, 16, 17
    SectionLevel division;   // 目 19-20, 21, 22
};

// Decimal value of a cut field: an optional sign and the digits from the
// start, stopping at the first non-digit; no digits read as 0. Values beyond
// the int range are clamped.
int decimal_value(std::string_view text);

// The decimal value of the last two characters of a page identifier: the page
// within a split article, counted from 0 ("-00" is the first page).
int page_suffix_value(std::string_view id_fn);

// The page of a law's 別記: the forms (様式, 書式) and figures (別図) the
// official text only references by picture, "HHH-T9990000-00". It is a page of
// the appended-table kind that holds no table: table number 999, which no
// appended table has.
inline constexpr std::string_view kAppendixPageBody = "T9990000";
bool is_appendix_page(std::string_view id_fn);

// Era codes of notification identifiers: "A" 1 明治, "B" 2 大正, "C" 3 昭和,
// "D" 4 平成, "E" 5 令和; any other character is 0, no era.
// Name of an era code ("明治" ... "令和") and its one-letter form used in
// labels ("明" ... "令"); "不明" for 0 and any other unknown code.
std::string_view era_name_of_code(int code);
std::string_view era_letter_of_code(int code);

// The identifier and numbering routines of the document. They need no state
// except the page-name map, which the document supplies through _page_names.
class IdentifierRules {
public:
    virtual ~IdentifierRules() = default;

    // Article name and supplement text of a page (ID_FN); false when the page
    // is unknown. Nothing is known here; the document overrides it.
    virtual bool _page_names(std::string_view id_fn, std::string& article_name, std::string& supplement) const;

    // --- identifiers (identifiers.cpp) ---

    // Kind of a page; false for a wrong length or an article number below 1.
    static bool _id_kind(std::string_view id_fn, IdKind& kind);
    // Article number and branches of an ID_FN; the kind is not examined.
    static bool _parse_article_id(std::string_view id_fn, int& article, int& branch1, int& branch2);
    // Era code (1 明治 .. 5 令和, 0 none), era year and number of a notification ID_FN.
    static bool _parse_notice_id(std::string_view id_fn, int& era_code, int& era_year, int& number);
    // Requested levels of a law ID_BN. Outputs are written only on success.
    static bool _parse_sentence_id(std::string_view id_bn, LevelBits bits, SentenceFields& fields);
    // Requested levels of a notification ID_BN. Outputs are written only on success.
    static bool _parse_notice_sentence_id(std::string_view id_bn, LevelBits bits, NoticeSentenceFields& fields);
    // Requested levels of an ID_SN. Outputs are written only on success.
    static bool _parse_section_id(std::string_view id_sn, LevelBits bits, SectionFields& fields);
    // Deepest numbering level of a law sentence, 0-5.
    static bool _sentence_depth(std::string_view id_bn, int& depth);
    // Deepest numbering level of a notification sentence, 0-6 or 9-12.
    static bool _notice_sentence_depth(std::string_view id_bn, int& depth);
    // Value of a branch code character: 1-9, A-Z (either case) 10-35, else 0.
    static int _code_value(std::string_view text);

    // --- numbering text (numbering.cpp) ---

    // Label of one level of a law sentence in the given numbering style.
    bool _sentence_label(std::string_view id_bn, std::string& label, LevelBits bit, std::string_view style,
                         bool long_form) const;
    // Label of one level of a notification sentence in the given numbering style.
    bool _notice_sentence_label(std::string_view id_bn, std::string& label, LevelBits bit, std::string_view style,
                                bool long_form) const;
    // 第N条, 第N条のB1, 第N条のB1のB2.
    static bool _article_label(std::string_view id_fn, std::string& label);
    // 平18年 0543号 (long form) or 平18年 543号.
    static bool _notice_number_label(std::string_view id_fn, std::string& label, bool long_form);
    // 別表, 別表第N, 別表第NのB, 別表第NのBのC (the second branch at 10-11);
    // 別記 for the page of a law's forms and figures (is_appendix_page).
    static bool _table_label(std::string_view id_fn, std::string& label);
    // N章, N節のB ... (without 第).
    static bool _section_label(std::string_view id_sn, std::string& label, LevelBits bit);

    static std::string _kanji_numeral(int n);
    static std::string _iroha_katakana(int n);
    static std::string _iroha_hiragana(int n);
    static std::string _roman_numeral(int n);
    // Japanese era of a Gregorian year (1868 and later): a year in which an era
    // began is counted to that era. Outputs untouched on failure.
    static bool _era_of_year(int year, std::string& era, int& era_year);
    // Japanese era of a date (1868-01-01 and later), to the day: 1989-01-07 is
    // 昭和64, 1989-01-08 平成1, 2019-05-01 令和1. Outputs untouched on failure.
    static bool _era_of_date(int year, int month, int day, std::string& era, int& era_year);
    // Number of single-byte (half-width) characters of a text in Shift-JIS terms.
    static std::size_t _halfwidth_count(std::string_view text);

private:
    // The supplement text of the page a sentence belongs to, written only in
    // long form and only when the page is known; otherwise empty.
    std::string _page_supplement(std::string_view id_bn, bool long_form) const;
};

} // namespace velto
