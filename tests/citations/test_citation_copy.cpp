// 条文をコピー: a provision in full as plain text, headed by its citation and
// edition, on the reader's own folder (the whole laws of the collection) and
// on the sample.
#include "citations/citation_copy.h"
#include "tests/compose_fixture.h"

#include <gtest/gtest.h>

using namespace velto;

namespace {

using velto::test::Reader;

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

TEST(CitationCopy, AParagraphOrAnArticleWithItsCitationAndEdition)
{
    Reader reader(VELTO_BINARY_DIR "/");
    ASSERT_TRUE(reader.started);
    const struct {
        const char* page;
        const char* sentence;
        const char* heading;
        const char* first;   // the line after the heading
        std::size_t lines;   // 0: any number
    } cases[] = {
        // The paragraph under the mouse, with its items.
        {"01B-01120000-00", "01B-01120000-00-1800-0000-0000-0000",
         "建築基準法施行令第百十二条第十八項（令和7年12月1日施行）", "18　建築物の一部が法第二十七条第一項各号", 1},
        // An item: the paragraph it belongs to; labels and links as the page writes them.
        {"01A-00060000-00", "01A-00060000-00-0100-0200-0000-0000", "建築基準法第六条第一項（令和8年4月1日施行）",
         "第6条　建築主は、第一号若しくは第二号に掲げる建築物を建築しようとする場合", 0},
        // Nothing under the mouse: the whole article.
        {"01A-00060000-00", "", "建築基準法第六条（令和8年4月1日施行）", "第6条　建築主は、", 0},
        // An article of one paragraph is cited as the article.
        {"01A-00010000-00", "01A-00010000-00-0100-0000-0000-0000", "建築基準法第一条（令和8年4月1日施行）",
         "第1条　この法律は、建築物の敷地、構造、設備及び用途に関する最低の基準を定めて", 1},
        // A sentence of another page is no place in this one.
        {"01A-00010000-00", "01A-00060000-00-0100-0000-0000-0000", "建築基準法第一条（令和8年4月1日施行）", "第1条　この法律は、", 1},
    };
    for (const auto& c : cases) {
        std::string text;
        ASSERT_TRUE(copy_provision(reader.doc, c.page, c.sentence, text)) << c.page << " " << c.sentence;
        const std::vector<std::string> lines = lines_of(text);
        ASSERT_GE(lines.size(), 2u) << text;
        EXPECT_EQ(lines[0], c.heading) << text;
        EXPECT_EQ(lines[1].rfind(c.first, 0), 0u) << lines[1];
        if (c.lines)
            EXPECT_EQ(lines.size(), c.lines + 1) << text;
        // Plain text: no markup, no link marks, no reference lines.
        for (const char* foreign : {"<", "[第", "⇒", "_VELTO"})
            EXPECT_EQ(text.find(foreign), std::string::npos) << foreign << " in " << text;
    }
    EXPECT_TRUE(reader.reporter.messages().empty());

    // The whole of 第六条: every paragraph and item, its items numbered as the page numbers them.
    std::string article;
    ASSERT_TRUE(copy_provision(reader.doc, "01A-00060000-00", "", article));
    std::string paragraph;
    ASSERT_TRUE(copy_provision(reader.doc, "01A-00060000-00", "01A-00060000-00-0200-0000-0000-0000", paragraph));
    EXPECT_EQ(lines_of(paragraph)[0], "建築基準法第六条第二項（令和8年4月1日施行）");
    EXPECT_NE(article.find(lines_of(paragraph)[1]), std::string::npos);
    EXPECT_NE(article.find("\n一　別表第一"), std::string::npos) << article;
}

TEST(CitationCopy, TablesAsTabbedLinesAndWhatCannotBeCopied)
{
    EXPECT_EQ(table_text("<table><tr><td>a</td><TD x=1>b <br>c</TD></tr>\n<TR><th>d</th></TR></table>"), "a\tb c\nd");
    EXPECT_EQ(table_text("text without rows"), "");

    Reader reader(VELTO_BINARY_DIR "/sample/");
    ASSERT_TRUE(reader.started);
    std::string text = "left";
    EXPECT_FALSE(copy_provision(reader.doc, "00A-Z0010000-00", "", text)); // the program's own page
    EXPECT_EQ(text, "");
    EXPECT_FALSE(copy_provision(reader.doc, "01A-09990000-00", "", text)); // no such article
    EXPECT_FALSE(copy_provision(reader.doc, "bad", "", text));
    // The sample holds no edition: the citation alone.
    ASSERT_TRUE(copy_provision(reader.doc, "01A-00010000-00", "", text));
    EXPECT_EQ(lines_of(text)[0], "建築基準法第一条");
    EXPECT_TRUE(reader.reporter.messages().empty());
}

} // namespace
