#include "core/paths.h"
#include "core/sjis.h"
#include "core/text_format.h"

#include <gtest/gtest.h>

using namespace velto;

TEST(ShiftJisWidth, CountsHalfWidthAsOneAndEverythingElseAsTwo)
{
    EXPECT_EQ(sjis_width("abc"), 3u);
    EXPECT_EQ(sjis_width("第3条"), 5u);
    EXPECT_EQ(sjis_width("ｱｲｳ"), 3u);   // half-width katakana
    EXPECT_EQ(sjis_width("ー（）"), 6u); // full-width punctuation
    EXPECT_EQ(sjis_width("é"), 2u);
    EXPECT_EQ(sjis_halfwidth_count("第3条のｲ(1)"), 5u);
    EXPECT_EQ(sjis_halfwidth_count(""), 0u);
}

TEST(ShiftJisWidth, CutsNeverSplitACharacter)
{
    EXPECT_EQ(sjis_prefix("建築基準法", 5), "建築");
    EXPECT_EQ(sjis_prefix("建築基準法", 6), "建築基");
    EXPECT_EQ(sjis_prefix("a建築", 2), "a");
    EXPECT_EQ(sjis_prefix("abc", 0), "");
    EXPECT_EQ(sjis_prefix("abc", 99), "abc");
}

TEST(ShiftJisWidth, MalformedUtf8IsMeasuredByteByByte)
{
    const std::string truncated = "建\xE7\xAF"; // 築 cut short
    EXPECT_EQ(utf8_length(truncated), 3u);
    EXPECT_EQ(sjis_width(truncated), 4u);
    EXPECT_EQ(sjis_prefix(truncated, 3), "建\xE7");
    EXPECT_EQ(utf8_decode_at("\xC0\x80", 0).bytes, 1u); // overlong form
    EXPECT_EQ(utf8_decode_at("\xED\xA0\x80", 0).bytes, 1u); // surrogate
    EXPECT_EQ(utf8_decode_at("\xF0\x9F\x98\x80", 0).code, 0x1F600u);
    EXPECT_EQ(utf8_decode_at("\xF0\x9F\x98", 0).bytes, 1u);
}

TEST(ShiftJisWidth, FastPathsAgreeWithTheCharacterByCharacterWidth)
{
    // ASCII runs are counted in blocks: characters and bad bytes at every
    // place of a block must still count as the decoder reads them.
    const std::string pieces[] = {"<td class=\"x\">", "第", "ｱ", "é", "\xE7\xAF", "\xFF", "😀", "（）"};
    for (const std::string& piece : pieces) {
        for (std::size_t before = 0; before < 10; ++before) {
            const std::string text = std::string(before, 'a') + piece + std::string(9, 'b') + piece;
            std::size_t expected = 0;
            for (std::size_t pos = 0; pos < text.size();) {
                const Utf8Char c = utf8_decode_at(text, pos);
                expected += c.bytes == 1 && c.code == 0xFFFD ? 1 : static_cast<std::size_t>(sjis_char_width(c.code));
                pos += c.bytes;
            }
            EXPECT_EQ(sjis_width(text), expected) << text;
            for (std::size_t limit = 0; limit <= expected + 1; ++limit)
                EXPECT_EQ(sjis_width_below(text, limit), expected < limit) << text << " " << limit;
        }
    }
}

TEST(NumberText, PaddedNumbersAreWhatPrintfWrites)
{
    const long long values[] = {0, 7, 42, 999, 12345, -3, -42, -12345, 9223372036854775807LL, -9223372036854775807LL - 1};
    for (const long long value : values) {
        for (const int width : {0, 1, 2, 4, 8, 25}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%0*lld", width, value);
            EXPECT_EQ(padded_number(value, width), expected) << value << " " << width;
        }
    }
}

TEST(ShiftJisWidth, CharacterSubstrings)
{
    EXPECT_EQ(utf8_substr("01A-建築-00", 4, 2), "建築");
    EXPECT_EQ(utf8_substr("abc", 5, 2), "");
    EXPECT_EQ(utf8_substr("abc", 1, std::string_view::npos), "bc");
    std::string out;
    utf8_append(out, U'条');
    utf8_append(out, U'😀');
    EXPECT_EQ(out, "条😀");
}

TEST(Paths, FoldersAndFileUrls)
{
    EXPECT_EQ(folder_of("/opt/velto/velto"), "/opt/velto/");
    EXPECT_EQ(folder_of("velto"), "");
    EXPECT_EQ(with_trailing_slash("/opt/velto"), "/opt/velto/");
    EXPECT_EQ(with_trailing_slash("/opt/velto/"), "/opt/velto/");
    EXPECT_EQ(file_url("/opt/ヴェルト 2014/images14/"), "file:///opt/%E3%83%B4%E3%82%A7%E3%83%AB%E3%83%88%202014/images14/");
    EXPECT_EQ(file_url("C:/Program Files/x#y"), "file:///C:/Program%20Files/x%23y");
}

#include "core/text_replace.h"

TEST(TextReplace, MatchesOnlyWholeCharacters)
{
    // "謎" is E8 AC 8E; "\xAC\x8E" must never be found inside it.
    EXPECT_EQ(find_text("謎謎", "\xAC\x8E"), std::string_view::npos);
    EXPECT_EQ(find_text("a謎b", "謎"), 1u);
    EXPECT_EQ(find_text("abc", ""), std::string_view::npos);

    std::string text = "第1条と第1条";
    EXPECT_EQ(replace_all(text, "第1条", "<a>第1条</a>"), 2u);
    EXPECT_EQ(text, "<a>第1条</a>と<a>第1条</a>");
    std::string invalid = "\xE8\xAC x \xAC\x8E";
    EXPECT_EQ(replace_all(invalid, "x", "y"), 1u);
    EXPECT_EQ(invalid, "\xE8\xAC y \xAC\x8E");
}

TEST(TextReplace, InsertsAroundTheFirstMatchAndRemovesSpans)
{
    std::string html = "<head></head><head></head>";
    EXPECT_TRUE(insert_before_first(html, "</head>", "S"));
    EXPECT_EQ(html, "<head>S</head><head></head>");
    EXPECT_TRUE(insert_after_first(html, "<head>", "T"));
    EXPECT_EQ(html, "<head>TS</head><head></head>");
    EXPECT_FALSE(insert_after_first(html, "<body>", "x"));

    std::string cells = "<td x:str=\"a\">1</td><td x:str=\"\">2</td><td x:str=\"open>3</td>";
    remove_spans(cells, "x:str=\"", "\"");
    EXPECT_EQ(cells, "<td >1</td><td >2</td><td x:str=\"open>3</td>");
}
