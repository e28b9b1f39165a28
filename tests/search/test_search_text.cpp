#include "search/search_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velto {
namespace {

// UTF-8 of a character of the Basic Multilingual Plane.
std::string utf8(char32_t c)
{
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

std::string normalised(std::string text)
{
    NormaliseSearchText(text);
    return text;
}

TEST(SearchText, FullWidthDigitsAndLettersBecomeSingleByteUpperCase)
{
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(normalised(utf8(U'０' + i)), std::string(1, static_cast<char>('0' + i))) << i;
    for (int i = 0; i < 26; ++i) {
        const std::string upper(1, static_cast<char>('A' + i));
        EXPECT_EQ(normalised(utf8(U'Ａ' + i)), upper) << i;
        EXPECT_EQ(normalised(utf8(U'ａ' + i)), upper) << i;
        EXPECT_EQ(normalised(std::string(1, static_cast<char>('a' + i))), upper) << i;
    }
    EXPECT_EQ(normalised("ｈ鋼ＨＥａｍ２ｂ"), "H鋼HEAM2B");
}

TEST(SearchText, EverythingElseStaysAsItIs)
{
    // The neighbours of the converted ranges, Japanese text, the full-width
    // space, and bytes that do not form a whole character.
    for (const std::string& text :
         {utf8(U'／'), utf8(U'：'), utf8(U'＠'), utf8(U'［'), utf8(U'｀'), utf8(U'｛'), utf8(U'？'),
          std::string("建築基準法　第二十条"), std::string("0-9 A-Z _@[`{"), std::string("\xEF\xBC"),
          std::string("x\xEF"), std::string()}) {
        std::string expected = text;
        for (char& c : expected) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
        EXPECT_EQ(normalised(text), expected);
    }
}

TEST(SearchText, EntryIsTrimmedOfSingleByteBlanksOnly)
{
    SearchEntryCheck check = check_search_entry(" \t ｂｅａｍ１２ \r\n");
    EXPECT_EQ(check.action, SearchEntryAction::Search);
    EXPECT_EQ(check.text, "BEAM12");

    // A full-width space is part of the text, at the ends as well.
    check = check_search_entry("  　柱　ｈ ");
    EXPECT_EQ(check.action, SearchEntryAction::Search);
    EXPECT_EQ(check.text, "　柱　H");

    for (const char* blank : {"", "   ", "\t\r\n\v\f"})
        EXPECT_EQ(check_search_entry(blank).action, SearchEntryAction::Empty) << '"' << blank << '"';
    EXPECT_EQ(check_search_entry("　").action, SearchEntryAction::Search);
}

TEST(SearchText, EachForbiddenCharacterRefusesTheText)
{
    EXPECT_EQ(std::string(kSearchForbiddenChars), "[]<>\"'!?|:;\\#$&^~");
    for (char c : kSearchForbiddenChars) {
        const std::string text = std::string("構造") + c + "計算";
        EXPECT_TRUE(has_forbidden_search_char(text)) << c;
        EXPECT_EQ(check_search_entry(text).action, SearchEntryAction::Forbidden) << c;
    }
    // Full-width look-alikes and every other printable single byte are allowed.
    EXPECT_EQ(check_search_entry("構造？＜計算＞").action, SearchEntryAction::Search);
    for (char c = 0x20; c < 0x7F; ++c) {
        if (kSearchForbiddenChars.find(c) != std::string_view::npos)
            continue;
        EXPECT_FALSE(has_forbidden_search_char(std::string("A") + c + "B")) << c;
    }
}

TEST(SearchText, ForbiddenMessageListsAllSeventeenCharacters)
{
    EXPECT_EQ(forbidden_search_message(),
              "次の文字が含まれる語句は検索できません。\n\n"
              "[  ]  <  >  \"  '  !  ?  |  :  ;  \\  #  $  &  ^  ~  ");
}

TEST(SearchText, HiddenPageNumberIsRecognisedAfterNormalising)
{
    EXPECT_EQ(check_search_entry("7318450962").action, SearchEntryAction::HiddenPage);
    EXPECT_EQ(check_search_entry(" ７３１８４５０９６２ ").action, SearchEntryAction::HiddenPage);
    EXPECT_EQ(check_search_entry("73184509621").action, SearchEntryAction::Search);
    EXPECT_EQ(check_search_entry("7318450962　").action, SearchEntryAction::Search);
}

TEST(SearchText, SplitWordsAtHalfAndFullWidthSpacesOnly)
{
    using Words = std::vector<std::string>;
    const struct {
        std::string text;
        bool ok;
        Words words;
    } cases[] = {
        {"建築物", true, {"建築物"}},
        {"　建築物　", true, {"建築物"}},                  // one word inside full-width spaces
        {"建築物　敷地", true, {"建築物", "敷地"}},          // a full-width space separates
        {"  A  B　　 C  ", true, {"A", "B", "C"}},           // runs of spaces count once
        {"耐火\t防火", true, {"耐火\t防火"}},                 // a tab is part of the word
        {"\t耐火 \n防火\r\n", true, {"耐火", "\n防火"}},     // white space at the ends is trimmed
        {"a b c d", true, {"a", "b", "c", "d"}},             // counting words is the caller's
        {"", false, {}},
        {"　 　", false, {}},
        {std::string(2048, 'x'), true, {std::string(2048, 'x')}},
        {" " + std::string(2049, 'x'), false, {}},
        {std::string(1024, 'x') + "　" + std::string(1023, 'x'), true,
         {std::string(1024, 'x'), std::string(1023, 'x')}}, // the space counts one byte once replaced
    };
    for (const auto& c : cases) {
        Words words{"left over"};
        EXPECT_EQ(_split_words(c.text, words), c.ok) << c.text.substr(0, 40);
        EXPECT_EQ(words, c.words) << c.text.substr(0, 40);
    }
    // Shift-JIS bytes, not UTF-8 bytes: 1024 kanji are 2048 bytes.
    std::string kanji;
    for (int i = 0; i < 1024; ++i)
        kanji += "字";
    Words words;
    EXPECT_TRUE(_split_words(kanji, words));
    EXPECT_FALSE(_split_words(kanji + "x", words));
}

} // namespace
} // namespace velto
