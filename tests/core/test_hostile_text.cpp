// Text from the database or a file on its way to a widget or a terminal: the
// words a reader sees, never markup, never a control character.
#include "core/html_text.h"
#include "core/terminal_text.h"

#include <gtest/gtest.h>

using namespace velto;

TEST(ShownText, TheWordsAReaderSeesInThePage)
{
    const struct {
        std::string stored;
        std::string shown;
    } cases[] = {
        {"建築基準法", "建築基準法"},
        {"A &amp; B &lt;C&gt; &quot;D&quot; &#39;E&#39; &#91;第20条&#93;", "A & B <C> \"D\" 'E' [第20条]"},
        {"&lt;img src=x width=30000 height=30000&gt;", "<img src=x width=30000 height=30000>"},
        {"<b>太字</b>の<img src=\"/etc/passwd\" width=30000>題名", "太字の題名"},
        {"<font color=red>偽</font>", "偽"},
        {"1 < 2 かつ 3 <= 4 <", "1 < 2 かつ 3 <= 4 <"}, // a "<" that opens no tag is text
        {"&unknown; &amp &#xZZ;", "&unknown; &amp &#xZZ;"},
        {"a\x1b]0;retitled\x07" "b\bc\x7f" "d\xC2\x9B" "e", "a]0;retitledbcde"},
        {"&#27;]0;x&#7;&#x9B;", "]0;x"},
        {"  two \n\t lines  ", "two lines"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown_text(c.stored), c.shown) << c.stored;
}

TEST(ShownText, DeepOrLongMarkupIsReadInOnePass)
{
    std::string nested;
    for (int i = 0; i < 20000; ++i)
        nested += "<table><tr><td>";
    nested += "題名";
    EXPECT_EQ(shown_text(nested), "題名");
    // Many "&" without ";" and a quote that never closes stay linear.
    EXPECT_EQ(shown_text(std::string(1 << 20, '&')).size(), 1u << 20);
    EXPECT_EQ(shown_text("前<a title=\"" + std::string(1 << 20, 'x')), "前");
}

TEST(TerminalText, NoControlCharacterReachesTheTerminal)
{
    const struct {
        std::string text;
        std::string printed;
    } cases[] = {
        {"01A-00010000-00\t建築基準法 第1条\n", "01A-00010000-00\t建築基準法 第1条\n"},
        {"\x1b]0;pwned\x07title", "]0;pwnedtitle"},
        {"back\b\b\bspace\r\x7f", "backspace"},
        {"\xC2\x9B" "31m8-bit CSI", "31m8-bit CSI"},
        {"broken \x9B byte", "broken \xEF\xBF\xBD byte"},
        {std::string("nul\0here", 8), "nulhere"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(terminal_text(c.text), c.printed) << c.text;
}
