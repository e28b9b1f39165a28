// Remembered state: the start page, window and splitter placement, search history, colours, dialog places.
#include "settings/persisted_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "tests/fixtures.h"
#include "tests/settings/ini_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace velto;
using namespace std::string_literals;
using namespace velto::test;

// ---- Start page ------------------------------------------------------------

TEST(PersistedState, StartPageRule)
{
    const DisplaySettings revive = default_display_settings();
    DisplaySettings no_revive = revive;
    no_revive[DisplaySettings::ReviveLastPage] = 0;
    const std::string page = "01A-00120304-00";

    struct Case {
        std::optional<std::string> cur;
        std::optional<int> version;
        const DisplaySettings* display;
        std::string expected;
        std::optional<int> version_after;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, &revive, std::string(kCoverPageId), 1403},
        {page, 1403, &revive, page, 1403},
        {page, 1500, &revive, page, 1500},
        {page, 1402, &revive, std::string(kCoverPageId), 1403},
        {page.substr(0, 14), 1500, &revive, std::string(kCoverPageId), 1403},
        {page + "0", 1403, &revive, std::string(kCoverPageId), 1403},
        {"", 1403, &revive, std::string(kCoverPageId), 1403},
        {page, 1403, &no_revive, std::string(kCoverPageId), 1403},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        if (c.cur)
            write_current_page_id(store, *c.cur);
        if (c.version)
            store.write_int(kSectionRecords, kValueVersion, *c.version);
        EXPECT_EQ(start_page_id(store, *c.display), c.expected) << c.cur.value_or("(absent)");
        EXPECT_EQ(store.read_int(kSectionRecords, kValueVersion), c.version_after) << c.cur.value_or("(absent)");
        // The stored identifier itself is left for the document to replace at close.
        EXPECT_EQ(store.read_string(kSectionSettings, kValueCurIDFN), c.cur);
    }
}

TEST(PersistedState, StartPageThroughReadOnlySettingsLeavesFileAlone)
{
    IniFile file;
    {
        auto store = file.open();
        write_current_page_id(*store, "01A-00120304-00");
        store->write_int(kSectionRecords, kValueVersion, 1000);
    }
    const std::string before = test::read_file(file.path());
    const auto store = file.open();
    ReadOnlySettings read_only(*store);
    EXPECT_EQ(start_page_id(read_only, read_display_settings(read_only)), kCoverPageId);
    EXPECT_EQ(test::read_file(file.path()), before);
    EXPECT_EQ(read_current_page_id(*store, ""), "01A-00120304-00");
    EXPECT_EQ(read_current_page_id(MemorySettingsStore(), ""), "");
}

// ---- Window and splitter placement ------------------------------------------

TEST(PersistedState, WindowPosRoundTripAndMaximisedRule)
{
    const WindowPlacement normal{44, 0, 1, -1, -1, -8, -8, 120, 80, 920, 680};
    EXPECT_EQ(format_window_pos(normal), "44:0:1:-1:-1:-8:-8:120:80:920:680");

    const WindowPlacement kept = placement_to_store(normal, false);
    EXPECT_EQ(kept, normal);
    EXPECT_EQ(initial_show_command(kept), kShowCommandShow);

    WindowPlacement flagged = normal;
    flagged.flags = 1;
    const WindowPlacement maximised = placement_to_store(flagged, true);
    EXPECT_EQ(maximised.show_command, 3);
    EXPECT_EQ(maximised.flags, 3);
    flagged.flags = 2;
    EXPECT_EQ(placement_to_store(flagged, true).flags, 2);

    IniFile file;
    write_window_pos(*file.open(), maximised);
    const auto stored = read_window_pos(*file.fresh());
    EXPECT_EQ(stored, maximised);
    EXPECT_EQ(initial_show_command(stored), kShowCommandMaximised);
    EXPECT_EQ(initial_show_command(std::nullopt), kShowCommandShow);
}

TEST(PersistedState, WindowPosNeedsAllElevenFieldsAsPercentI)
{
    const auto parsed = parse_window_pos(" 0x10:010:-3:+4:5:6:7:8:9:10:11 and more");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->length, 16);
    EXPECT_EQ(parsed->flags, 8);
    EXPECT_EQ(parsed->show_command, -3);
    EXPECT_EQ(parsed->min_x, 4);
    EXPECT_EQ(parsed->normal_bottom, 11);

    for (const char* bad : {"", "1:2:3:4:5:6:7:8:9:10", "1:2:3:4:5:6:7:8:9:10:", "1:2:3:4:5:x:7:8:9:10:11",
                            "1 :2:3:4:5:6:7:8:9:10:11", "1;2;3;4;5;6;7:8:9:10:11", "08:2:3:4:5:6:7:8:9:10:11",
                            "1:2:3:4:5:6:7:8:9:10:4294967296", "1::3:4:5:6:7:8:9:10:11"})
        EXPECT_EQ(parse_window_pos(bad), std::nullopt) << bad;

    MemorySettingsStore store;
    store.write_string(kSettings, kValueWindowPos, "1:2:3");
    EXPECT_EQ(read_window_pos(store), std::nullopt);
    store.write_int(kSettings, kValueWindowPos, 1);
    EXPECT_EQ(read_window_pos(store), std::nullopt);
}

TEST(PersistedState, ColumnWidthsRoundTripAndWhatIsNoList)
{
    IniFile file;
    write_column_widths(*file.open(), 1004, {120, 0, 260, 9999});
    const auto store = file.fresh();
    EXPECT_EQ(store->read_string(kSettings, "ColumnWidths-1004"), "120,0,260,4000");
    EXPECT_EQ(read_column_widths(*store, 1004, 4), (std::vector<int>{120, 0, 260, 4000}));
    EXPECT_TRUE(read_column_widths(*store, 1004, 3).empty()); // another number of columns
    EXPECT_TRUE(read_column_widths(*store, 1002, 2).empty()); // none stored
    for (const char* text : {"", "12,", ",12", "12,-3", "12,4001", "1 2,3", "12;30", "12,abc", "99999"}) {
        store->write_string(kSettings, "ColumnWidths-1003", text);
        EXPECT_TRUE(read_column_widths(*store, 1003, 2).empty() && read_column_widths(*store, 1003, 1).empty())
            << text;
    }
}

TEST(PersistedState, SplitterPosRoundTripAndMalformed)
{
    IniFile file;
    write_splitter_pos(*file.open(), kValueSplitterPos1, SplitterPosition{0, 312, 10});
    write_splitter_pos(*file.open(), kValueSplitterPos2, SplitterPosition{0, -5, 0});
    const auto store = file.fresh();
    EXPECT_EQ(store->read_string(kSettings, kValueSplitterPos1), "0:312:10");
    EXPECT_EQ(read_splitter_pos(*store, kValueSplitterPos1), (SplitterPosition{0, 312, 10}));
    EXPECT_EQ(read_splitter_pos(*store, kValueSplitterPos2), (SplitterPosition{0, -5, 0}));
    EXPECT_EQ(read_splitter_pos(*store, "SplitterPos"), std::nullopt);

    for (const char* bad : {"", "0:300", "0:300:", "a:b:c", ":::", "0:3e2:1"})
        EXPECT_EQ(parse_splitter_pos(bad), std::nullopt) << bad;
    EXPECT_EQ(parse_splitter_pos("0:300:20:99"), (SplitterPosition{0, 300, 20}));
}

// ---- Search history --------------------------------------------------------

TEST(PersistedState, ElevenSearchesKeepTenAndRepeatedWordMovesToFirst)
{
    IniFile file;
    for (int n = 1; n <= 11; ++n) {
        auto store = file.open(); // each search in its own run, as at the search tab
        auto history = load_search_history(*store);
        record_search(*store, history, "word" + std::to_string(n));
    }
    auto store = file.open();
    auto history = load_search_history(*store);
    ASSERT_EQ(history.size(), 10u);
    EXPECT_EQ(history.front(), "word11");
    EXPECT_EQ(history.back(), "word2");
    EXPECT_EQ(store->read_string(kSettings, "SearchTarget-10"), "word2");
    EXPECT_EQ(store->read_string(kSettings, "SearchTarget-11"), std::nullopt);

    auto in_memory = history; // the combo box itself keeps ten as well
    add_to_search_history(in_memory, "word12");
    EXPECT_EQ(in_memory.size(), 10u);
    EXPECT_EQ(in_memory.back(), "word3");

    // Another case is another text: both stay, the older one moves down.
    record_search(*store, history, "WORD5");
    ASSERT_EQ(history.size(), 10u);
    EXPECT_EQ(history[0], "WORD5");
    EXPECT_EQ(std::count(history.begin(), history.end(), "word5"), 1);
    record_search(*store, history, "word5");
    EXPECT_EQ(history[0], "word5");
    EXPECT_EQ(history[1], "WORD5");
    EXPECT_EQ(std::count(history.begin(), history.end(), "word5"), 1);
    EXPECT_EQ(load_search_history(*file.fresh()), history);

    record_search(*store, history, "");
    EXPECT_EQ(history[0], "word5");
}

TEST(PersistedState, SearchHistoryStopsAtGapAndLeavesHigherNumbers)
{
    MemorySettingsStore store;
    for (int n = 1; n <= 6; ++n)
        store.write_string(kSettings, search_history_value_name(n), "old" + std::to_string(n));
    store.write_string(kSettings, "SearchTarget-03", "");
    EXPECT_EQ(search_history_value_name(3), "SearchTarget-03");
    EXPECT_EQ(search_history_value_name(10), "SearchTarget-10");

    auto history = load_search_history(store);
    EXPECT_EQ(history, (std::vector<std::string>{"old1", "old2"}));
    record_search(store, history, "new");
    EXPECT_EQ(store.read_string(kSettings, "SearchTarget-01"), "new");
    EXPECT_EQ(store.read_string(kSettings, "SearchTarget-03"), "old2");
    EXPECT_EQ(store.read_string(kSettings, "SearchTarget-04"), "old4");
    EXPECT_EQ(store.read_string(kSettings, "SearchTarget-06"), "old6");

    MemorySettingsStore fresh;
    write_search_history(fresh, {"a", "", "c"});
    EXPECT_TRUE(fresh.contains(kSettings, "SearchTarget-01"));
    EXPECT_FALSE(fresh.contains(kSettings, "SearchTarget-02"));
    EXPECT_FALSE(fresh.contains(kSettings, "SearchTarget-03"));
}

TEST(PersistedState, SearchWordsCompareAsTyped)
{
    EXPECT_TRUE(same_search_word("Steel", "Steel"));
    EXPECT_FALSE(same_search_word("Steel", "sTEEL"));
    EXPECT_FALSE(same_search_word("ＨＳ鋼", "ｈｓ鋼"));
    EXPECT_FALSE(same_search_word("HS", "ＨＳ"));
    EXPECT_FALSE(same_search_word("ア", "あ"));
    EXPECT_FALSE(same_search_word("ab", "abc"));
    EXPECT_FALSE(same_search_word("\xff", "\xfe"));
    EXPECT_FALSE(same_search_word("[", "{")); // not folded: only letters
}

// ---- Custom colours --------------------------------------------------------

TEST(PersistedState, CustColorsRoundTripAndMalformed)
{
    CustomColours colours = default_custom_colours();
    for (std::size_t k = 0; k < colours.size(); ++k)
        colours[k] = static_cast<std::uint32_t>(k * 0x0F0E0D);
    const std::string text = format_custom_colours(colours);
    ASSERT_EQ(text.size(), 111u);
    EXPECT_EQ(text.substr(0, 14), "000000:0F0E0D:");
    EXPECT_EQ(text.substr(105), "E1D2C3");

    IniFile file;
    write_custom_colours(*file.open(), colours);
    EXPECT_EQ(read_custom_colours(*file.fresh()), colours);

    const CustomColours white = default_custom_colours();
    EXPECT_EQ(white[7], kWhite);
    MemorySettingsStore store;
    EXPECT_EQ(read_custom_colours(store), white);
    for (const std::string& bad : {text.substr(0, 110), text + ":", "GG" + text.substr(2), text.substr(0, 7) + "::::::" + text.substr(13)}) {
        store.write_string(kSettings, kValueCustColors, bad);
        EXPECT_EQ(read_custom_colours(store), white) << bad;
    }
    // Fields are read as "%x" reads them: a hex prefix of the six characters.
    const auto lenient = parse_custom_colours("0xFFzz" + text.substr(6));
    ASSERT_TRUE(lenient);
    EXPECT_EQ((*lenient)[0], 0xFFu);
    EXPECT_EQ((*lenient)[1], colours[1]);
}

// ---- Find-in-page dialog ----------------------------------------------------

TEST(PersistedState, DialogAnchorRoundTripAndBadBinaries)
{
    IniFile file;
    write_dialog_anchor(*file.open(), DialogAnchor{0.25, 1.2});
    const DialogAnchor stored = read_dialog_anchor(*file.fresh());
    EXPECT_EQ(stored.a, 0.25);
    EXPECT_EQ(stored.b, 1.2);

    MemorySettingsStore store;
    EXPECT_EQ(read_dialog_anchor(store).a, 0.5);
    const std::string bad[] = {"1234567", "123456789", encode_double(std::nan("")),
                               encode_double(std::numeric_limits<double>::infinity())};
    for (const std::string& bytes : bad) {
        store.write_binary(kSettings, kValueSchDlgA, bytes);
        store.write_binary(kSettings, kValueSchDlgB, encode_double(0.75));
        const DialogAnchor anchor = read_dialog_anchor(store);
        EXPECT_EQ(anchor.a, 0.5);
        EXPECT_EQ(anchor.b, 0.75);
    }
    store.write_string(kSettings, kValueSchDlgA, encode_double(0.1));
    EXPECT_EQ(read_dialog_anchor(store).a, 0.5);
}

TEST(PersistedState, DialogPositionFollowsFrameAndStaysOnScreen)
{
    const Rect frame{100, 50, 800, 600};
    const Rect dialog{400, 300, 300, 200};
    const DialogAnchor anchor = dialog_anchor_on_close(frame, dialog);
    EXPECT_DOUBLE_EQ(anchor.a, (400 - 100 + 150) / 800.0);
    EXPECT_DOUBLE_EQ(anchor.b, (300 - 50 + 100) / 600.0);
    EXPECT_EQ(dialog_position_on_open(frame, 300, 200, anchor, 1920, 1080), (Point{400, 300}));

    // The main window moved: the dialog keeps its relative place.
    EXPECT_EQ(dialog_position_on_open(Rect{0, 0, 800, 600}, 300, 200, anchor, 1920, 1080), (Point{300, 250}));

    // 1.2 would put it beyond the right edge; 100 + 960 - 150 = 910 > 1024 - 300.
    EXPECT_EQ(dialog_position_on_open(frame, 300, 200, DialogAnchor{1.2, 0.5}, 1024, 768), (Point{724, 250}));
    EXPECT_EQ(dialog_position_on_open(frame, 300, 200, DialogAnchor{-1.0, 1e300}, 1024, 768), (Point{0, 568}));
    // A dialog wider than the screen ends at the upper bound.
    EXPECT_EQ(dialog_position_on_open(frame, 1200, 200, DialogAnchor{0.5, 0.5}, 1024, 768).x, -176);

    const DialogAnchor flat = dialog_anchor_on_close(Rect{0, 0, 0, -5}, dialog);
    EXPECT_EQ(flat.a, 0.5);
    EXPECT_EQ(flat.b, 0.5);
}

// ---- A settings file full of garbage ----------------------------------------

TEST(PersistedState, GarbageIniStartsWithDefaultsAndWhatParses)
{
    std::mt19937 random(7);
    std::string junk;
    for (int i = 0; i < 400; ++i)
        junk += static_cast<char>(random() & 0xFF);

    const std::string content =
        "garbage line without equals\n=value without key\n[Settings-2014\n[Settings-2014]\n"
        "Synchro=abc\nRefer=99999999999999999999\nBrachet=@ByteArray(\x01\x02)\nPinPoint=0\n"
        "FontSizeBasic=12.5\nFontSizeTable=0x10\nFontColorTop=\" 7\"\nFontColorBasic=1, 2\n"
        "FontColorJouSection=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
        "FontColorKkjDate=@Variant(\\0\\0\\0\\t\\0\\0\\0\\x1\\0\\0\\0\\t)\n"
        "FontColorLink=@Invalid()\nFontColorLinkActive=-0\nFontColorKeyWord=+123\n"
        "FontColorTag=\xff\xfe\x00junk\n"s
        "FontColorBrachet1A=@ByteArray(\nFontColorBrachet1B=@Variant(\\0\\0\\0\\x6)\n"
        "FontColorBrachet2A=-2147483649\nFontColorBrachet2B=   \n"
        "FontColorBrachet3A=\\x31\\x32\nFontColorPinPoint=\"1\"\n"
        "CurIDFN=@ByteArray(01A-00120304-00)\nWindowPos=1:2:3:4:5:6:7:8:9:10\n"
        "SplitterPos1=:::\nSplitterPos2=0:250:30\nCustColors="
        + std::string(110, 'A')
        + "\nSchDlgA=@ByteArray(abc)\nSchDlgB=0.25\n"
          "SearchTarget-01=alpha\nSearchTarget-02=@ByteArray(beta)\nSearchTarget-03=gamma\n"
          "TabPage=3\nSearchEmph=@Variant(\\xff\\xff)\nClipChk=1e3\n"
          "[Records]\nVersion=1403\n[Junk]\n"
        + junk + "\nBackColor=\"unterminated\n";
    IniFile file;
    test::write_file(file.path(), content);

    const auto store = file.open();
    ASSERT_TRUE(store->usable());
    EXPECT_EQ(read_view_toggles(*store), (ViewToggles{1, 1, 1, 0}));

    DisplaySettings expected = default_display_settings();
    expected[DisplaySettings::FontColorLinkActive] = 0;
    expected[DisplaySettings::FontColorKeyWord] = 123;
    expected[DisplaySettings::FontColorBrachet3A] = 12; // escaped digits are still "12"
    expected[DisplaySettings::FontColorPinPoint] = 1;   // quoted "1"
    EXPECT_EQ(read_display_settings(*store), expected);

    EXPECT_EQ(start_page_id(*store, expected), kCoverPageId);
    EXPECT_EQ(read_window_pos(*store), std::nullopt);
    EXPECT_EQ(read_splitter_pos(*store, kValueSplitterPos1), std::nullopt);
    EXPECT_EQ(read_splitter_pos(*store, kValueSplitterPos2), (SplitterPosition{0, 250, 30}));
    EXPECT_EQ(read_custom_colours(*store), default_custom_colours());
    EXPECT_EQ(read_dialog_anchor(*store).a, 0.5);
    EXPECT_EQ(read_dialog_anchor(*store).b, 0.5);
    EXPECT_EQ(load_search_history(*store), std::vector<std::string>{"alpha"});
    EXPECT_EQ(read_int_or(*store, kSectionSettings, kValueTabPage, kDefaultTabPage), 3);
    EXPECT_EQ(read_int_or(*store, kSectionSettings, kValueSearchEmph, kDefaultSearchEmph), 1);
    EXPECT_EQ(read_int_or(*store, kSectionSettings, kValueClipChk, kDefaultClipChk), 0);

    // The program still saves over it.
    write_display_settings(*store, default_display_settings());
    auto history = load_search_history(*store);
    record_search(*store, history, "delta");
    const auto again = file.fresh();
    EXPECT_EQ(read_display_settings(*again), default_display_settings());
    // 01 and 02 are rewritten; 03 was stored before and is left as it was.
    EXPECT_EQ(load_search_history(*again), (std::vector<std::string>{"delta", "alpha", "gamma"}));
}
