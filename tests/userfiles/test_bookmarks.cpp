// Bookmarks without a window: reading the file in either encoding, the text
// written, the rows of the list, and what is kept when the file cannot be
// read or written.
#include "userfiles/bookmarks.h"
#include "tests/compose_fixture.h"

#include <filesystem>

namespace velto::test {
namespace {

std::string line(const std::string& id) { return id + ", book_mark_root\r\n"; }
// ASCII text as UTF-16 with its byte-order mark, as an editor may save it.
std::string utf16(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (const char c : ascii)
        out += std::string{c, '\0'};
    return out;
}
const std::string kHeader = "VERSION 14.03\r\n";

class BookmarkFile : public ComposeFixture {
protected:
    std::string file() const { return dir.file("velto14.bmk"); }
    // Bookmarks of a fresh run on `text` ("" for no file).
    std::unique_ptr<Bookmarks> run_on(const std::string& text)
    {
        std::filesystem::remove(file());
        if (!text.empty())
            write_file(file(), text);
        auto bookmarks = std::make_unique<Bookmarks>(*doc);
        bookmarks->load();
        return bookmarks;
    }
};

TEST(BookmarkText, FirstPartOfEveryLineWithoutItsSpacesInShiftJisOrUtf8)
{
    const std::string id = "01A-00010000-00";
    const std::string sentence = "01A-00010000-00-0100-0000-0000-0000";
    const struct {
        std::string line;
        std::vector<std::string> ids;
    } cases[] = {
        {"01A-00010000-00, book_mark_root\r\n", {id}},
        {"  01A-00010000-00  ,book_mark_root\n", {id}},
        {"01A-0001 0000-00,", {id}},
        {"\x81\x40" "01A-0001\x81\x40" "0000-00\x81\x40, book_mark_root\r\n", {id}},     // Shift_JIS
        {"\xE3\x80\x80" "01A-0001\xE3\x80\x80" "0000-00 \xE3\x80\x80, x\r\n", {id}},    // UTF-8
        {"\xEF\xBB\xBF" "01A-00010000-00, book_mark_root\r\n", {id}},                   // UTF-8 mark
        {sentence + ", book_mark_root\r\n", {sentence}},
        {"VERSION 14.03\r\n\r\n", {}},
        {"01A-00010000-00\r\n", {}},             // no comma
        {"01A-0001000-00, book_mark_root\r\n", {}}, // 14 characters
        {"01A-0001000\x82\x50, x\r\n", {}},     // a full-width digit is no identifier
        {"01A-00010000-00\t, x\r\n", {}},       // only spaces are removed
    };
    for (const auto& c : cases)
        EXPECT_EQ(read_bookmark_text(c.line), c.ids) << c.line;
}

TEST_F(BookmarkFile, WrittenInIdentifierOrderWithoutPagesThatHaveNoLabel)
{
    EXPECT_EQ(bookmark_file_text({}, *doc), kHeader + "\r\n");
    const std::string written = bookmark_file_text(
        {"05K-KD180543-00", "01A-T0020000-01", "00A-Z0010000-00", "01A-F0000000-00", "01A-00520000-00",
         "01A-00010000-00-0100-0000-0000-0000", "01A-00000000-00", "01A-00010000-00"},
        *doc);
    EXPECT_EQ(written, kHeader + line("01A-00010000-00") + line("01A-00520000-00") + line("01A-F0000000-00") +
                           line("01A-T0020000-01") + line("05K-KD180543-00") + "\r\n");
}

TEST_F(BookmarkFile, RowsInIdentifierOrderWithLabelsTitlesAndPagesOfSplitArticles)
{
    auto bookmarks = run_on("");
    for (const char* id : {"05K-KD180543-00", "01A-00530000-00", "01A-T0020000-01", "00A-Z0010000-00",
                           "01A-F0000000-00", "01A-00520000-01", "01A-00010000-00", "01B-00010000-00"})
        EXPECT_TRUE(bookmarks->add(id)) << id;
    EXPECT_FALSE(bookmarks->add("01A-00010000-00"));
    EXPECT_FALSE(bookmarks->add("01A"));

    std::vector<std::vector<std::string>> rows;
    for (const BookmarkRow& row : bookmarks->rows())
        rows.push_back({row.id, row.law, row.label, row.title});
    const std::vector<std::vector<std::string>> expected{
        {"01A-00010000-00", "建築基準法", "1条", "目的"},
        {"01A-00520000-01", "建築基準法", "52条　(02/03)", "容積率"},
        {"01A-00530000-00", "建築基準法", "53条", ""}, // titled "なし"
        {"01A-F0000000-00", "建築基準法", "附則", ""},
        {"01A-T0020000-01", "建築基準法", "別表第2　(02/02)", "別表第二"},
        {"01B-00010000-00", "建築基準法施行令", "1条", "用語の定義"},
        {"05K-KD180543-00", "国土交通省告示", "平18年 543号", "構造計算の基準"},
    };
    EXPECT_EQ(rows, expected);
    // The program's own page has no row and is not written.
    EXPECT_EQ(bookmarks->ids().front(), "00A-Z0010000-00");
    ASSERT_TRUE(bookmarks->save());
    EXPECT_EQ(read_file(file()).find("00A-Z"), std::string::npos);

    EXPECT_TRUE(bookmarks->remove("01A-00530000-00"));
    EXPECT_FALSE(bookmarks->remove("01A-00530000-00"));
    EXPECT_EQ(bookmarks->rows().size(), expected.size() - 1);
}

TEST_F(BookmarkFile, PagesNoLongerInTheDatabaseAndRepeatedLinesGoAtTheNextSave)
{
    auto bookmarks = run_on(kHeader + "01A-00990000-00, book_mark_root\r\n" + "01A-00200000-00, book_mark_root\r\n" +
                            "\x81\x40" "01A-00010000-00, book_mark_root\r\n" + "01A-00200000-00, x\r\n" +
                            "01A-00010000-00-0100-0000-0000-0000, book_mark_root\r\n\r\n");
    EXPECT_EQ(bookmarks->ids(), (std::vector<std::string>{"01A-00010000-00", "01A-00010000-00-0100-0000-0000-0000",
                                                          "01A-00200000-00"}));
    EXPECT_EQ(bookmarks->rows().size(), 2u);
    ASSERT_TRUE(bookmarks->save());
    EXPECT_EQ(read_file(file()), kHeader + line("01A-00010000-00") + line("01A-00200000-00") + "\r\n");

    // Read back, the file gives the same rows.
    bookmarks = run_on(read_file(file()));
    EXPECT_EQ(bookmarks->rows().size(), 2u);
}

TEST_F(BookmarkFile, AFileThatCannotBeReadIsNeverReplaced)
{
    // Far larger than any bookmark file: not taken for one.
    const std::string big = kHeader + std::string(2 * 1024 * 1024, ' ') + line("01A-00010000-00");
    auto bookmarks = run_on(big);
    EXPECT_TRUE(bookmarks->unreadable());
    EXPECT_TRUE(bookmarks->add("01A-00200000-00")); // kept in memory
    EXPECT_EQ(bookmarks->rows().size(), 1u);
    EXPECT_FALSE(bookmarks->save());
    EXPECT_NE(bookmarks->failure_message().find("velto14.bmk"), std::string::npos);
    EXPECT_EQ(read_file(file()), big);

    // No file at all is no fault: the first save creates it.
    bookmarks = run_on("");
    EXPECT_FALSE(bookmarks->unreadable());
    EXPECT_TRUE(bookmarks->save());
    EXPECT_EQ(read_file(file()), kHeader + "\r\n");
}

TEST_F(BookmarkFile, AFileNotInTheFormatIsKeptUntilTheListChangesAndThenKeptAside)
{
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"UTF-16", utf16(kHeader + line("01A-00010000-00"))},
        {"NULs", kHeader + "01A-00010000-00" + std::string(1, '\0') + ", book_mark_root\r\n"},
        {"garbage", "\x89PNG\r\n\x1a\n\xff\xd8 not a bookmark file"},
        {"no VERSION line", line("01A-00010000-00")},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(file() + ".bad");
        auto bookmarks = run_on(c.bytes);
        EXPECT_TRUE(bookmarks->foreign()) << c.what;
        EXPECT_NE(bookmarks->foreign_message().find("velto14.bmk.bad"), std::string::npos);
        // Unchanged, it is never written, not even when the list goes.
        EXPECT_TRUE(bookmarks->save()) << c.what;
        bookmarks.reset();
        EXPECT_EQ(read_file(file()), c.bytes) << c.what;

        // Changed, the list is written and the file as it was is kept beside it.
        bookmarks = run_on(c.bytes);
        const std::size_t shown = bookmarks->ids().size();
        ASSERT_TRUE(bookmarks->add("01A-00200000-00")) << c.what;
        ASSERT_TRUE(bookmarks->save()) << c.what;
        EXPECT_EQ(read_file(file() + ".bad"), c.bytes) << c.what;
        EXPECT_EQ(read_bookmark_text(read_file(file())).size(), shown + 1) << c.what;
    }

    // A ".bad" of another file is kept too: the next free name takes this one.
    write_file(file() + ".bad", "an earlier file");
    auto bookmarks = run_on("garbage");
    ASSERT_TRUE(bookmarks->add("01A-00200000-00"));
    ASSERT_TRUE(bookmarks->save());
    EXPECT_EQ(read_file(file() + ".bad"), "an earlier file");
    EXPECT_EQ(read_file(file() + ".bad2"), "garbage");
}

} // namespace
} // namespace velto::test
