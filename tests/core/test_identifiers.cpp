#include "core/identifiers.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

using namespace velto;
using R = IdentifierRules;

namespace {

// A document stand-in that knows one page.
class OnePageRules : public IdentifierRules {
public:
    bool _page_names(std::string_view id_fn, std::string& name, std::string& supplement) const override
    {
        if (id_fn != "01A-00120304-00" && id_fn != "01A-KD180543-00")
            return false;
        name = "名";
        supplement = "（補）";
        return true;
    }
};

// An ID_BN from a page and the four sentence groups.
std::string bn(const std::string& fn, const std::string& g1, const std::string& g2, const std::string& g3,
               const std::string& g4)
{
    return fn + "-" + g1 + "-" + g2 + "-" + g3 + "-" + g4;
}

} // namespace

TEST(IdentifierDecimal, ReadsLeadingDigitsWithOptionalSign)
{
    const struct { const char* text; int value; } cases[] = {
        {"0012", 12}, {"-3", -3}, {"+7", 7}, {"12ab", 12}, {"ab", 0}, {"", 0}, {"F000", 0}, {" 5", 0},
        {"-", 0},     {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decimal_value(c.text), c.value) << c.text;
}

TEST(IdentifierKind, ClassifiesPagesByCharacterFour)
{
    const struct { const char* id; bool ok; IdKind kind; } cases[] = {
        {"01A-00010000-00", true, IdKind::Article},   {"01A-00000000-00", false, {}},
        {"01A-F0000000-00", true, IdKind::Supplement}, {"00A-Z0010000-00", true, IdKind::Special},
        {"02B-KD180543-00", true, IdKind::Notice},     {"01A-T0020100-00", true, IdKind::Table},
        {"01A-k0010000-00", false, {}},                {"01A-X0010000-00", false, {}},
        {"01A-0001000-00", false, {}},                 {"01A-000100000-00", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        IdKind kind = IdKind::Table;
        EXPECT_EQ(R::_id_kind(c.id, kind), c.ok) << c.id;
        if (c.ok) {
            EXPECT_EQ(kind, c.kind) << c.id;
        }
    }
}

TEST(IdentifierParse, ArticleAndNoticePages)
{
    int a = -1, b1 = -1, b2 = -1;
    ASSERT_TRUE(R::_parse_article_id("01A-01230405-01", a, b1, b2));
    EXPECT_EQ(a, 123); EXPECT_EQ(b1, 4); EXPECT_EQ(b2, 5);
    ASSERT_TRUE(R::_parse_article_id("01A-T0020100-00", a, b1, b2)); // kind not examined
    EXPECT_EQ(a, 0); EXPECT_EQ(b1, 1);
    EXPECT_FALSE(R::_parse_article_id("01A-01230405-0", a, b1, b2));

    const struct { const char* id; int era; } eras[] = {
        {"01K-KA180543-00", 1}, {"01K-KB180543-00", 2}, {"01K-KC180543-00", 3},
        {"01K-KD180543-00", 4}, {"01K-KE180543-00", 5}, {"01K-KF180543-00", 0}, {"01K-Kd180543-00", 0},
    };
    for (const auto& e : eras) {
        int era = -1, year = -1, number = -1;
        ASSERT_TRUE(R::_parse_notice_id(e.id, era, year, number)) << e.id;
        EXPECT_EQ(era, e.era) << e.id;
        EXPECT_EQ(year, 18); EXPECT_EQ(number, 543);
    }
    int era = 7, year = 7, number = 7;
    EXPECT_FALSE(R::_parse_notice_id("01K-kD180543-00", era, year, number));
    EXPECT_FALSE(R::_parse_notice_id("01K-KD180543-001", era, year, number));
    EXPECT_EQ(era, 7); // untouched on failure
}

TEST(IdentifierParse, SentenceFieldsOnlyForRequestedLevels)
{
    const std::string id = bn("01A-00120304-00", "0230", "04b0", "06C7", "0000");
    SentenceFields f;
    ASSERT_TRUE(R::_parse_sentence_id(id, 0x3F, f));
    EXPECT_EQ(f.article, 12); EXPECT_EQ(f.branch1, 3); EXPECT_EQ(f.branch2, 4);
    EXPECT_EQ(f.paragraph, 2); EXPECT_EQ(f.paragraph_branch, 3);
    EXPECT_EQ(f.item, 4); EXPECT_EQ(f.item_branch, 11);
    EXPECT_EQ(f.sub_item, 6); EXPECT_EQ(f.sub_sub_item, 12); EXPECT_EQ(f.fifth, 7);

    SentenceFields only;
    ASSERT_TRUE(R::_parse_sentence_id(id, level::Item, only));
    EXPECT_EQ(only.item, 4);
    EXPECT_EQ(only.article + only.paragraph + only.sub_item + only.fifth, 0);

    // Supplementary provisions carry no article number; other pages must.
    EXPECT_TRUE(R::_parse_sentence_id(bn("01A-F0000000-00", "0100", "0000", "0000", "0000"), 0x3F, f));
    EXPECT_FALSE(R::_parse_sentence_id(bn("01A-00000000-00", "0100", "0000", "0000", "0000"), 0x3F, f));
    EXPECT_FALSE(R::_parse_sentence_id(id + "0", 0x3F, f));
    EXPECT_FALSE(R::_parse_sentence_id(id.substr(0, 34), 0x3F, f));
}

TEST(IdentifierParse, NoticeSentenceAndSection)
{
    const std::string id = bn("01K-kD180543-00", "0123", "0452", "06bC", "07de");
    NoticeSentenceFields f;
    ASSERT_TRUE(R::_parse_notice_sentence_id(id, 0xFFF, f)); // lower-case k accepted here
    EXPECT_EQ(f.era_code, 4); EXPECT_EQ(f.era_year, 18); EXPECT_EQ(f.number, 543);
    EXPECT_EQ(f.first, 1); EXPECT_EQ(f.first_branch, 2);
    EXPECT_EQ(f.second, 4); EXPECT_EQ(f.second_branch, 5);
    EXPECT_EQ(f.third, 6); EXPECT_EQ(f.fourth, 11); EXPECT_EQ(f.fifth, 12);
    EXPECT_EQ(f.sixth, 7); EXPECT_EQ(f.seventh, 13); EXPECT_EQ(f.eighth, 14);
    EXPECT_EQ(f.group, 123);
    EXPECT_FALSE(R::_parse_notice_sentence_id(bn("01A-00010000-00", "0100", "0000", "0000", "0000"), 0xFFF, f));

    SectionFields s;
    ASSERT_TRUE(R::_parse_section_id("01A-0315-05A0-0000-1223", 0x0F, s));
    EXPECT_EQ(s.chapter.number, 3); EXPECT_EQ(s.chapter.branch1, 1); EXPECT_EQ(s.chapter.branch2, 5);
    EXPECT_EQ(s.section.number, 5); EXPECT_EQ(s.section.branch1, 10);
    EXPECT_EQ(s.subsection.number, 0);
    EXPECT_EQ(s.division.number, 12); EXPECT_EQ(s.division.branch1, 2); EXPECT_EQ(s.division.branch2, 3);
    SectionFields chapter_only;
    ASSERT_TRUE(R::_parse_section_id("01A-0315-05A0-0000-1223", section_level::Chapter, chapter_only));
    EXPECT_EQ(chapter_only.division.number, 0);
    EXPECT_FALSE(R::_parse_section_id("01A-0320-05A0-0000-122", 0x0F, s));
}

TEST(IdentifierDepth, LawSentences)
{
    const std::string fn = "01A-00010000-00";
    const struct { std::string id; int depth; } cases[] = {
        {bn(fn, "0100", "0000", "0000", "0000"), 0}, {bn(fn, "0000", "0000", "0000", "0000"), 0},
        {bn(fn, "0200", "0000", "0000", "0000"), 1}, {bn(fn, "0200", "0300", "0000", "0000"), 2},
        {bn(fn, "0200", "0300", "0100", "0000"), 3}, {bn(fn, "0200", "0300", "0110", "0000"), 4},
        {bn(fn, "0200", "0300", "01A0", "0000"), 3}, // a letter at 28 is not a depth-4 mark
        {bn(fn, "0100", "0000", "0001", "0000"), 5}, {bn(fn, "0100", "0000", "000e", "0000"), 5},
        {bn(fn, "0100", "0000", "000F", "0000"), 0}, // only A to E mark the fifth level
    };
    for (const auto& c : cases) {
        int depth = -1;
        ASSERT_TRUE(R::_sentence_depth(c.id, depth)) << c.id;
        EXPECT_EQ(depth, c.depth) << c.id;
    }
    int depth = 0;
    EXPECT_FALSE(R::_sentence_depth(fn, depth));
}

TEST(IdentifierDepth, NoticeSentences)
{
    const std::string fn = "01K-KD180543-00";
    const struct { std::string id; int depth; } cases[] = {
        {bn(fn, "0000", "0000", "0000", "0000"), 0}, {bn(fn, "0100", "0000", "0000", "0000"), 1},
        {bn(fn, "0100", "0200", "0000", "0000"), 2}, {bn(fn, "0100", "0200", "0300", "0000"), 3},
        {bn(fn, "0100", "0200", "03z0", "0000"), 4}, {bn(fn, "0100", "0200", "030Z", "0000"), 5},
        {bn(fn, "0100", "0200", "0300", "0100"), 6}, {bn(fn, "0100", "0000", "0000", "0010"), 1},
        {bn(fn, "f001", "0000", "0000", "0000"), 9}, {bn(fn, "S000", "0000", "0000", "0000"), 10},
        {bn(fn, "T000", "0000", "0000", "0000"), 11}, {bn(fn, "r000", "0000", "0000", "0000"), 12},
    };
    for (const auto& c : cases) {
        int depth = -1;
        ASSERT_TRUE(R::_notice_sentence_depth(c.id, depth)) << c.id;
        EXPECT_EQ(depth, c.depth) << c.id;
    }
}

TEST(IdentifierCode, CodeValues)
{
    const struct { const char* text; int value; } cases[] = {
        {"0", 0}, {"1", 1}, {"9", 9}, {"A", 10}, {"a", 10}, {"Z", 35}, {"z", 35},
        {"", 0},  {"12", 0}, {"-", 0}, {"\xE3", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(R::_code_value(c.text), c.value) << c.text;
}

TEST(NumberingNumerals, KanjiIrohaRoman)
{
    const struct { int n; const char* text; } kanji[] = {
        {0, ""}, {1, "一"}, {10, "十"}, {11, "十一"}, {20, "二十"}, {21, "二十一"}, {99, "九十九"}, {100, "不明"}, {-1, "不明"},
    };
    for (const auto& k : kanji)
        EXPECT_EQ(R::_kanji_numeral(k.n), k.text) << k.n;

    EXPECT_EQ(R::_iroha_katakana(0), "");
    EXPECT_EQ(R::_iroha_katakana(1), "イ");
    EXPECT_EQ(R::_iroha_katakana(25), "ヰ");
    EXPECT_EQ(R::_iroha_katakana(39), "ユ");
    EXPECT_EQ(R::_iroha_katakana(41), "不明");
    EXPECT_EQ(R::_iroha_hiragana(3), "は");
    EXPECT_EQ(R::_iroha_hiragana(39), "ゆ");
    EXPECT_EQ(R::_iroha_hiragana(-2), "不明");
    EXPECT_NE(R::_iroha_katakana(40), "不明");

    EXPECT_EQ(R::_roman_numeral(0), "");
    EXPECT_EQ(R::_roman_numeral(4), "ⅳ");
    EXPECT_EQ(R::_roman_numeral(10), "ⅹ");
    EXPECT_EQ(R::_roman_numeral(14), "ⅹⅳ");
    EXPECT_EQ(R::_roman_numeral(15), "不明");
}

TEST(NumberingEra, YearsAtTheBoundaries)
{
    const struct { int year; const char* era; int era_year; } cases[] = {
        {2025, "令和", 7}, {2019, "令和", 1}, {2018, "平成", 30},
        {2006, "平成", 18}, {1989, "平成", 1}, {1988, "昭和", 63}, {1926, "昭和", 1},
        {1925, "大正", 14}, {1912, "大正", 1}, {1911, "明治", 44}, {1868, "明治", 1},
    };
    for (const auto& c : cases) {
        std::string era;
        int year = 0;
        ASSERT_TRUE(R::_era_of_year(c.year, era, year)) << c.year;
        EXPECT_EQ(era, c.era); EXPECT_EQ(year, c.era_year);
    }
    std::string era = "x";
    int year = 5;
    EXPECT_FALSE(R::_era_of_year(1867, era, year));
    EXPECT_EQ(era, "x"); EXPECT_EQ(year, 5);
}

TEST(NumberingEra, DatesOnBothSidesOfEachChange)
{
    const struct { int y, m, d; const char* era; int era_year; } cases[] = {
        {2025, 4, 1, "令和", 7},  {2019, 5, 1, "令和", 1},   {2019, 4, 30, "平成", 31}, {1989, 1, 8, "平成", 1},
        {1989, 1, 7, "昭和", 64}, {1926, 12, 25, "昭和", 1}, {1926, 12, 24, "大正", 15}, {1912, 7, 30, "大正", 1},
        {1912, 7, 29, "明治", 45}, {1868, 1, 1, "明治", 1},
    };
    for (const auto& c : cases) {
        std::string era;
        int year = 0;
        ASSERT_TRUE(R::_era_of_date(c.y, c.m, c.d, era, year)) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(era, c.era) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(year, c.era_year) << c.y << "-" << c.m << "-" << c.d;
    }
    std::string era = "x";
    int year = 5;
    EXPECT_FALSE(R::_era_of_date(1867, 12, 31, era, year));
    EXPECT_EQ(era, "x"); EXPECT_EQ(year, 5);
}

TEST(LabelPage, ArticleNoticeTableSection)
{
    std::string s = "stale";
    EXPECT_TRUE(R::_article_label("01A-00010000-00", s)); EXPECT_EQ(s, "第1条");
    EXPECT_TRUE(R::_article_label("01A-00010200-00", s)); EXPECT_EQ(s, "第1条の2");
    EXPECT_TRUE(R::_article_label("01A-00010203-00", s)); EXPECT_EQ(s, "第1条の2の3");
    EXPECT_TRUE(R::_article_label("01A-00010103-00", s)); EXPECT_EQ(s, "第1条");
    EXPECT_FALSE(R::_article_label("01A-00000200-00", s)); EXPECT_EQ(s, "");

    EXPECT_TRUE(R::_notice_number_label("01K-KD180543-00", s, true)); EXPECT_EQ(s, "平18年 0543号");
    EXPECT_TRUE(R::_notice_number_label("01K-KD180543-00", s, false)); EXPECT_EQ(s, "平18年 543号");
    EXPECT_TRUE(R::_notice_number_label("01K-KA050007-00", s, true)); EXPECT_EQ(s, "明05年 0007号");
    EXPECT_TRUE(R::_notice_number_label("01K-KX050007-00", s, false)); EXPECT_EQ(s, "不明5年 7号");
    EXPECT_TRUE(R::_notice_number_label("01K-KE070012-00", s, false)); EXPECT_EQ(s, "令7年 12号");
    EXPECT_FALSE(R::_notice_number_label("01A-00010000-00", s, false)); EXPECT_EQ(s, "");

    EXPECT_TRUE(R::_table_label("01A-T0000000-00", s)); EXPECT_EQ(s, "別表");
    EXPECT_TRUE(R::_table_label("01A-t0020100-00", s)); EXPECT_EQ(s, "別表第2の1");
    EXPECT_TRUE(R::_table_label("01A-T0030000-00", s)); EXPECT_EQ(s, "別表第3");
    EXPECT_TRUE(R::_table_label("03C-T0010202-00", s)); EXPECT_EQ(s, "別表第1の2の2");
    EXPECT_TRUE(R::_table_label("03C-T0010002-00", s)); EXPECT_EQ(s, "別表第1"); // a second branch only after a first
    EXPECT_TRUE(R::_table_label("01C-T9990000-00", s)); EXPECT_EQ(s, "別記");
    EXPECT_TRUE(R::_table_label("01A-T-010000-00", s)); EXPECT_EQ(s, "不明");
    EXPECT_FALSE(R::_table_label("01A-00010000-00", s));
    EXPECT_FALSE(R::_table_label("01A-T", s));

    const char* sn = "01A-0315-05A0-0000-1223";
    EXPECT_TRUE(R::_section_label(sn, s, section_level::Chapter)); EXPECT_EQ(s, "3章"); // branch 2 needs branch 1 > 1
    EXPECT_TRUE(R::_section_label(sn, s, section_level::Section)); EXPECT_EQ(s, "5節の10");
    EXPECT_TRUE(R::_section_label(sn, s, section_level::Division)); EXPECT_EQ(s, "12目の2の3");
    EXPECT_FALSE(R::_section_label(sn, s, section_level::Subsection)); EXPECT_EQ(s, "");
    EXPECT_FALSE(R::_section_label(sn, s, 3));
}

TEST(LabelSentence, LawLevelsAndStyles)
{
    const OnePageRules rules;
    const std::string fn = "01A-00120304-00";
    const struct { std::string id; LevelBits bit; const char* style; bool long_form; const char* label; } cases[] = {
        {bn(fn, "0100", "0000", "0000", "0000"), level::Article, "", false, "第12条の3の4"},
        {bn(fn, "0230", "0000", "0000", "0000"), level::Paragraph, "", false, "2の3"},
        {bn(fn, "0200", "0000", "0000", "0000"), level::Paragraph, "", true, "第2項"},
        {bn(fn, "0100", "0300", "0000", "0000"), level::Item, "", false, "三"},
        {bn(fn, "0100", "0320", "0000", "0000"), level::Item, "", true, "第三号の二"},
        {bn(fn, "0100", "0320", "0000", "0000"), level::Item, "    b", false, "3の二"},
        {bn(fn, "0100", "0300", "0000", "0000"), level::Item, "    D", false, "第3条"},
        {bn(fn, "0100", "0320", "0000", "0000"), level::Item, "    CD", false, "2"},
        {bn(fn, "0100", "0300", "0000", "0000"), level::Item, "    CD", false, ""},
        {bn(fn, "0100", "0300", "0000", "0000"), level::Item, "    T", true, "（補）"},
        {bn(fn, "0100", "0300", "0000", "0000"), level::Item, "    T", false, ""},
        {bn(fn, "0100", "0100", "0200", "0000"), level::SubItem, "", false, "ロ"},
        {bn(fn, "0100", "0100", "1200", "0000"), level::SubItem, "        B", false, "十二"},
        {bn(fn, "0100", "0100", "0130", "0000"), level::SubSubItem, "", false, "(3)"},
        {bn(fn, "0100", "0100", "0130", "0000"), level::SubSubItem, "         b", false, "ハ"},
        {bn(fn, "0100", "0100", "010C", "0000"), level::Fifth, "", false, "（ⅹⅱ）"},
    };
    for (const auto& c : cases) {
        std::string label = "stale";
        EXPECT_TRUE(rules._sentence_label(c.id, label, c.bit, c.style, c.long_form)) << c.id << " " << c.bit;
        EXPECT_EQ(label, c.label) << c.id << " " << c.bit << " '" << c.style << "'";
    }
    // A page the document does not know has no supplement.
    const std::string unknown = bn("01A-00130000-00", "0100", "0300", "0000", "0000");
    std::string label = "stale";
    EXPECT_TRUE(rules._sentence_label(unknown, label, level::Item, "    T", true));
    EXPECT_EQ(label, "");
}

TEST(LabelSentence, InvalidLevelsFailWithEmptyText)
{
    const OnePageRules rules;
    const std::string id = bn("01A-00120304-00", "0100", "0000", "0000", "0000");
    const LevelBits bad[] = {0, level::Article | level::Paragraph, 0x40, level::Item, level::Fifth};
    for (LevelBits bit : bad) {
        std::string label = "stale";
        EXPECT_FALSE(rules._sentence_label(id, label, bit, "", true)) << bit;
        EXPECT_EQ(label, "");
    }
    std::string label = "stale";
    EXPECT_FALSE(rules._sentence_label(id.substr(1), label, level::Article, "", false));
    EXPECT_EQ(label, "");
}

TEST(LabelSentence, NoticeLevelsAndStyles)
{
    const OnePageRules rules;
    const std::string fn = "01A-KD180543-00";
    const struct { std::string id; LevelBits bit; const char* style; bool long_form; const char* label; } cases[] = {
        {bn(fn, "0300", "0000", "0000", "0000"), 0x008, "", false, "第3"},
        {bn(fn, "0300", "0000", "0000", "0000"), 0x008, "b", false, ""},
        {bn(fn, "0300", "0000", "0000", "0000"), 0x008, "B", true, "3"},
        {bn(fn, "0300", "0000", "0000", "0000"), 0x008, "C", false, "3"},
        {bn(fn, "0300", "0000", "0000", "0000"), 0x008, "D", false, "第3条"},
        {bn(fn, "1200", "0000", "0000", "0000"), 0x008, "E", false, "十二"},
        {bn(fn, "0310", "0000", "0000", "0000"), 0x008, "DB", false, "1"},
        {bn(fn, "0320", "0000", "0000", "0000"), 0x008, "D", true, "第3条、2"},
        {bn(fn, "0320", "0000", "0000", "0000"), 0x008, "D", false, "2"},
        {bn(fn, "0310", "0000", "0000", "0000"), 0x008, "D", false, "第3条"},
        {bn(fn, "0100", "0420", "0000", "0000"), 0x010, "", true, "第四号の二"},
        {bn(fn, "0100", "0420", "0000", "0000"), 0x010, "    B", false, "4"},
        {bn(fn, "0100", "0400", "0000", "0000"), 0x010, "    D", false, "-"},
        {bn(fn, "0100", "0400", "0000", "0000"), 0x010, "    t", true, "（補）"},
        {bn(fn, "0100", "0100", "0500", "0000"), 0x020, "", false, "ホ"},
        {bn(fn, "0100", "0100", "0500", "0000"), 0x020, "        B", false, "（5）"},
        {bn(fn, "0100", "0100", "0500", "0000"), 0x020, "        C", false, "（ホ）"},
        {bn(fn, "0100", "0100", "0500", "0000"), 0x020, "        D", false, "（五）"},
        {bn(fn, "0100", "0100", "0500", "0000"), 0x020, "        E", false, ""},
        {bn(fn, "0100", "0100", "0120", "0000"), 0x040, "", false, "(2)"},
        {bn(fn, "0100", "0100", "0120", "0000"), 0x040, "         B", false, "ロ"},
        {bn(fn, "0100", "0100", "0120", "0000"), 0x040, "         E", false, "（ⅱ）"},
        {bn(fn, "0100", "0100", "0103", "0000"), 0x080, "", false, "（ⅲ）"},
        {bn(fn, "0100", "0100", "0103", "0000"), 0x080, "          B", false, "(3)"},
        {bn(fn, "0100", "0100", "0103", "0000"), 0x080, "          D", false, "（は）"},
        {bn(fn, "0100", "0100", "0100", "0200"), 0x100, "", false, "（ロ）"},
        {bn(fn, "0100", "0100", "0100", "0200"), 0x100, "            C", false, "（二）"},
        {bn(fn, "F001", "0000", "0000", "0000"), 0x800, "", false, "附則"},
        {bn(fn, "S000", "0000", "0000", "0000"), 0x1000, "", false, "別記"},
        {bn(fn, "T000", "0000", "0000", "0000"), 0x2000, "", true, "（補）"},
        {bn(fn, "T000", "0000", "0000", "0000"), 0x2000, "", false, ""},
        {bn(fn, "R000", "0000", "0000", "0000"), 0x4000, "", false, "別表"},
    };
    for (const auto& c : cases) {
        std::string label = "stale";
        EXPECT_TRUE(rules._notice_sentence_label(c.id, label, c.bit, c.style, c.long_form)) << c.id << " " << c.bit;
        EXPECT_EQ(label, c.label) << c.id << " " << c.bit << " '" << c.style << "'";
    }
    const std::string id = bn(fn, "0000", "0000", "0000", "0000");
    for (LevelBits bit : {0x001u, 0x004u, 0x200u, 0x008u, 0x100u, 0x018u, 0x8000u}) {
        std::string label = "stale";
        EXPECT_FALSE(rules._notice_sentence_label(id, label, bit, "", true)) << bit;
        EXPECT_EQ(label, "");
    }
    std::string label;
    EXPECT_FALSE(rules._notice_sentence_label(bn("01A-00010000-00", "F000", "0000", "0000", "0000"), label,
                                              0x800, "", false));
}

TEST(NumberingHalfwidth, CountsSingleByteCharacters)
{
    EXPECT_EQ(R::_halfwidth_count(""), 0u);
    EXPECT_EQ(R::_halfwidth_count("abc"), 3u);
    EXPECT_EQ(R::_halfwidth_count("第3条ｱｲ"), 3u);
    EXPECT_EQ(R::_halfwidth_count("全角"), 0u);
}

// Arbitrary text of every length up to past the longest identifier: only the
// exact length is ever accepted, and nothing reads outside the text.
TEST(IdentifierRobustness, ArbitraryTextOfAnyLength)
{
    const OnePageRules rules;
    std::mt19937 rng(12345);
    const std::string alphabet = "0123456789AaBDEFKkRSTtZz-+ \xE3\x81\x82\xFF";
    for (std::size_t len = 0; len <= 40; ++len) {
        for (int round = 0; round < 50; ++round) {
            std::string text;
            for (std::size_t i = 0; i < len; ++i)
                text += alphabet[rng() % alphabet.size()];
            IdKind kind = IdKind::Article;
            int a = 0, b = 0, c = 0;
            SentenceFields sf;
            NoticeSentenceFields nf;
            SectionFields secf;
            std::string out;
            EXPECT_TRUE(len == 15 || !R::_id_kind(text, kind));
            EXPECT_TRUE(len == 15 || !R::_parse_article_id(text, a, b, c));
            EXPECT_TRUE(len == 15 || !R::_parse_notice_id(text, a, b, c));
            EXPECT_TRUE(len == 15 || !R::_table_label(text, out));
            EXPECT_TRUE(len == 15 || !R::_article_label(text, out));
            EXPECT_TRUE(len == 15 || !R::_notice_number_label(text, out, true));
            EXPECT_TRUE(len == 23 || !R::_parse_section_id(text, 0xF, secf));
            EXPECT_TRUE(len == 23 || !R::_section_label(text, out, 1));
            EXPECT_TRUE(len == 35 || !R::_parse_sentence_id(text, 0x3F, sf));
            EXPECT_TRUE(len == 35 || !R::_parse_notice_sentence_id(text, 0xFFF, nf));
            EXPECT_TRUE(len == 35 || !R::_sentence_depth(text, a));
            EXPECT_TRUE(len == 35 || !R::_notice_sentence_depth(text, a));
            for (LevelBits bit = 1; bit <= 0x4000; bit <<= 1) {
                EXPECT_TRUE(len == 35 || !rules._sentence_label(text, out, bit, text, true));
                EXPECT_TRUE(len == 35 || !rules._notice_sentence_label(text, out, bit, text, true));
            }
            R::_code_value(text);
            R::_halfwidth_count(text);
        }
    }
}
