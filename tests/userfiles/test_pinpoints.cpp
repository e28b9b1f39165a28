// Pinpoint targets without a window: the files, the two tables and their
// priority, following a link, the reader's choices and the rows of the list.
#include "userfiles/pinpoint_file.h"
#include "userfiles/pinpoint_rows.h"
#include "tests/compose_fixture.h"

#include <filesystem>

namespace velto::test {
namespace {

// A link of 第1条 to 第20条, and one of 第2条 to 第52条 (an article of three pages).
const std::string kTo20 = "01A-00010000-00-0100-0000-0000-0000-to-01A-00200000-m01";
const std::string kTo52 = "01A-00020000-00-0100-0000-0000-0000-to-01A-00520000-m01";
const std::string k20First = "01A-00200000-00-0100-0000-0000-0000";
const std::string k20Second = "01A-00200000-00-0200-0000-0000-0000";
const std::string k52Second = "01A-00520000-01-0200-0000-0000-0000";

std::string line(const std::string& key, const std::string& target) { return key + ", " + target + "\r\n"; }

class PinPointFiles : public ComposeFixture {
protected:
    std::string user_file() const { return dir.file("velto14.ppj"); }
    // Restarts the document on the given files ("" leaves a file out).
    void restart(const std::string& defaults, const std::string& user)
    {
        stop();
        std::filesystem::remove(dir.file("default.ppj"));
        std::filesystem::remove(user_file());
        if (!defaults.empty())
            write_file(dir.file("default.ppj"), defaults);
        if (!user.empty())
            write_file(user_file(), user);
        start();
    }
    void set_priority(int priority)
    {
        DisplaySettings values = doc->display();
        values[DisplaySettings::PinPointPriority] = priority;
        doc->set_display(values);
    }
};

// --- reading and writing the files

TEST(PinPointFile, ReadsKeyAndTargetByPositionAndDropsWhatCannotBeAnEntry)
{
    const struct {
        std::string text;
        PinPointTable expected;
    } cases[] = {
        {"VERSION 14.03\r\n" + line(kTo20, k20First), {{kTo20, k20First}}},
        // LF only, and whatever stands between key and target.
        {kTo20 + " ;; " + k20Second + "\n", {{kTo20, k20Second}}},
        // Any line with VERSION in it, whatever else it holds.
        {line(kTo20, k20First).insert(60, "VERSION"), {}},
        {"x VERSION 99\r\n" + line(kTo52, k52Second), {{kTo52, k52Second}}},
        // A key part of 54 characters; a line too short for a key.
        {line(kTo20.substr(1), k20First).substr(0, 54) + "\r\n" + "short\r\n", {}},
        // A later line replaces an earlier one of the same key.
        {line(kTo20, k20First) + line(kTo20, k20Second), {{kTo20, k20Second}}},
        // Blanks or bytes outside ASCII in key or target: no entry.
        {line(std::string(55, ' '), k20First) + line(kTo20, "01A-00200000-00-0100-0000-0000-000　"), {}},
        {std::string("\xff\xfe\x00\x01garbage", 12) + std::string(200, '\xe3') + "\n" + std::string(300, '\0'), {}},
    };
    for (const auto& c : cases) {
        PinPointTable table;
        read_pinpoint_text(c.text, table);
        EXPECT_EQ(table, c.expected) << c.text;
    }
}

TEST_F(PinPointFiles, UserFileIsWrittenInKeyOrderAfterEveryChangeAndReadBack)
{
    restart("", "");
    EXPECT_FALSE(std::filesystem::exists(user_file())); // nothing changed, nothing written
    doc->_pinpoint_choose(kTo52, k52Second);
    doc->_pinpoint_choose(kTo20, k20Second);
    EXPECT_EQ(read_file(user_file()), "VERSION 14.03\r\n" + line(kTo20, k20Second) + line(kTo52, k52Second));

    restart("", read_file(user_file()));
    EXPECT_EQ(doc->pinpoints().user(), (PinPointTable{{kTo20, k20Second}, {kTo52, k52Second}}));
    EXPECT_TRUE(doc->pinpoints().defaults().empty());

    // A garbage file: no entries, no message; the next save keeps it aside
    // (and says so), then replaces it.
    const std::string garbage = std::string(5000, '\x01') + "\r\nVERS\xff\n";
    restart("", garbage);
    EXPECT_TRUE(doc->pinpoints().user().empty());
    EXPECT_TRUE(reporter.messages().empty());
    doc->_pinpoint_choose(kTo20, k20First);
    EXPECT_EQ(read_file(user_file()), "VERSION 14.03\r\n" + line(kTo20, k20First));
    EXPECT_EQ(read_file(user_file() + ".bad"), garbage);
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_NE(reporter.messages()[0].text.find("velto14.ppj.bad"), std::string::npos);
}

TEST_F(PinPointFiles, AUserFileThatWasNotReadIsNeverReplaced)
{
    // Over the reading limit: not read, and no choice replaces it.
    const std::string large = "VERSION 14.03\r\n" + std::string(kMaxPinPointFileSize, ' ');
    restart("", large);
    EXPECT_TRUE(doc->pinpoints().user().empty());
    doc->_pinpoint_choose(kTo20, k20First);
    doc->_pinpoint_choose(kTo52, k52Second);
    EXPECT_EQ(doc->_pinpoint_target(kTo20), k20First); // in use until the reader closes
    doc->OnCloseDocument();
    EXPECT_EQ(std::filesystem::file_size(user_file()), large.size());
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_NE(reporter.messages()[0].text.find("読み込めなかった"), std::string::npos);
}

TEST_F(PinPointFiles, PageTopRemovesTheUserTargetSoTheDefaultAppliesAgain)
{
    restart(line(kTo20, k20First), line(kTo20, k20Second));
    set_priority(0);
    EXPECT_EQ(doc->_pinpoint_target(kTo20), k20Second);
    doc->_pinpoint_choose(kTo20, "01A-00200000-00");
    EXPECT_EQ(doc->_pinpoint_target(kTo20), k20First);
    EXPECT_EQ(read_file(user_file()), "VERSION 14.03\r\n");
    doc->OnCloseDocument();
    EXPECT_EQ(read_file(user_file()), "VERSION 14.03\r\n");
    EXPECT_EQ(read_file(dir.file("default.ppj")), line(kTo20, k20First)); // never written
}

TEST_F(PinPointFiles, AnUnwritableUserFileIsToldOnceAndTheChoicesStayInUse)
{
    // In the window's message line, as the bookmarks tell it; a box where there is none.
    for (const bool message_line : {false, true}) {
        restart("", "");
        reporter.clear();
        std::vector<std::string> said;
        if (message_line)
            doc->set_message_sink([&said](const std::string& text) { said.push_back(text); });
        std::filesystem::create_directory(user_file()); // a folder where the file belongs
        doc->_pinpoint_choose(kTo20, k20First);
        doc->_pinpoint_choose(kTo52, k52Second);
        doc->OnCloseDocument();
        if (!message_line) {
            ASSERT_EQ(reporter.messages().size(), 1u);
            said.push_back(reporter.messages()[0].text);
        }
        EXPECT_TRUE(reporter.messages().size() == (message_line ? 0u : 1u));
        ASSERT_EQ(said.size(), 1u);
        EXPECT_EQ(said[0], "ピンポイントジャンプの設定を保存できませんでした（設定は終了するまで有効です）: " + user_file());
        EXPECT_EQ(doc->_pinpoint_target(kTo52), k52Second);
        EXPECT_TRUE(std::filesystem::is_directory(user_file()));
    }
}

// --- priority and following a link

TEST_F(PinPointFiles, PriorityDecidesWhichTableWins)
{
    restart(line(kTo20, k20First), line(kTo20, k20Second));
    for (const auto& [priority, target] : {std::pair{1, k20First}, std::pair{0, k20Second}}) {
        set_priority(priority);
        EXPECT_EQ(doc->_pinpoint_target(kTo20), target) << priority;
        const PinPointJump jump = doc->_pinpoint_resolve(kTo20, "01A-00200000-00");
        EXPECT_EQ(jump.page, "01A-00200000-00");
        EXPECT_EQ(jump.mark, target) << priority;
    }
    // No key (a click elsewhere), an unknown key: the link's own page, no mark.
    for (const std::string& key : {std::string(), kTo52}) {
        const PinPointJump jump = doc->_pinpoint_resolve(key, "01A-00200000-00");
        EXPECT_EQ(jump.page, "01A-00200000-00");
        EXPECT_TRUE(jump.mark.empty());
    }
}

TEST_F(PinPointFiles, FollowingALinkLandsOnThePageOfItsTargetAndDropsStrayEntries)
{
    const std::string stray = "01A-00030000-00-0100-0000-0000-0000"; // another article than the link's
    restart(line(kTo52, stray) + line(kTo20, "01A-00200000-07-0100-0000-0000-0000"),
            line(kTo52, k52Second) + line(kTo20, stray));
    set_priority(1);

    // The stray default entry goes (in memory only); the user's target applies, on page -01.
    PinPointJump jump = doc->_pinpoint_resolve(kTo52, "01A-00520000-00");
    EXPECT_EQ(jump.page, "01A-00520000-01");
    EXPECT_EQ(jump.mark, k52Second);
    EXPECT_FALSE(doc->pinpoints().defaults().contains(kTo52));
    EXPECT_NE(read_file(dir.file("default.ppj")).find(kTo52), std::string::npos);

    // A page the document does not know: on to the user table, whose stray entry goes from the file too.
    jump = doc->_pinpoint_resolve(kTo20, "01A-00200000-00");
    EXPECT_EQ(jump.page, "01A-00200000-00");
    EXPECT_TRUE(jump.mark.empty());
    EXPECT_TRUE(jump.user_changed);
    EXPECT_EQ(read_file(user_file()), "VERSION 14.03\r\n" + line(kTo52, k52Second));
    EXPECT_EQ(doc->pinpoints().defaults().size(), 1u); // the entry of an unknown page stays

    // The links of a page with a target: defaults first, then the user's.
    EXPECT_EQ(doc->pinpoints().keys_of_page("01A-00010000-00"), std::vector<std::string>{kTo20});
    EXPECT_EQ(doc->pinpoints().keys_of_page("01A-00020000-00"), std::vector<std::string>{kTo52});
    EXPECT_EQ(doc->_pinpoint_colour(), "FFFFCC");
}

// --- the rows of the list

TEST_F(PinPointFiles, RowsListTheNumberedSentencesOfTheWholeArticle)
{
    using Rows = std::vector<std::tuple<std::string, std::string, int>>;
    const auto rows = [&](const std::string& id, const std::string& current, int& selected) {
        const PinPointRows built = build_pinpoint_rows(doc->database(), *doc, id, current);
        selected = built.selected;
        Rows out;
        for (const PinPointRow& r : built.rows)
            out.emplace_back(r.label, r.id, r.image);
        return out;
    };
    int selected = -1;
    // Numbered paragraphs over three pages: the first paragraph gets a row too.
    EXPECT_EQ(rows("01A-00520000-01", k52Second, selected),
              (Rows{{"頁トップ", "01A-00520000-01", 0},
                    {"1", "01A-00520000-00-0100-0000-0000-0000", 0},
                    {"2", k52Second, 4},
                    {"3", "01A-00520000-02-0300-0000-0000-0000", 0}}));
    EXPECT_EQ(selected, 2);
    // One paragraph with items: no row for the paragraph; an item without a label has none either.
    EXPECT_EQ(rows("01A-00020000-00", "", selected),
              (Rows{{"頁トップ", "01A-00020000-00", 4}, {"一", "01A-00020000-00-0100-0100-0000-0000", 0}}));
    EXPECT_EQ(selected, 0);
    // A notice: its first level by its style; a second level written "-" names nothing.
    EXPECT_EQ(rows("05K-KD180543-00", "05K-KD180543-00-0100-0100-0000-0000", selected),
              (Rows{{"頁トップ", "05K-KD180543-00", 0}, {"第1条", "05K-KD180543-00-0100-0000-0000-0000", 0}}));
    EXPECT_EQ(selected, 0);
    // An article of one unnumbered sentence: only the page top, and the sentence to show instead.
    const PinPointRows single = build_pinpoint_rows(doc->database(), *doc, "01A-00530000-00", "");
    EXPECT_EQ(single.rows.size(), 1u);
    EXPECT_EQ(single.last_sentence.substr(0, 15), "01A-00530000-00");

    for (const auto& [id, offers] : {std::pair{"01A-00200000-00", true}, {"05K-KD180543-00", true},
                                     {"01A-F0000000-00", true}, {"01A-T0010000-00", false},
                                     {"00A-Z0010000-00", false}, {"01A-0020", false}})
        EXPECT_EQ(pinpoint_offers_sentences(id), offers) << id;
}

} // namespace
} // namespace velto::test
