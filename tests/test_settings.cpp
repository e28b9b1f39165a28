#include "core/persisted_state.h"
#include "core/settings.h"
#include "core/settings_file.h"
#include "core/settings_store.h"
#include "fixtures.h"

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

namespace {

// An INI settings file in a fresh folder. QSettings keeps the contents of a
// file it has written in a per-process cache, so reading back through open()
// may see the values as they were written, not as the file text gives them;
// fresh() reads a copy under a new name, as the next program run would.
class IniFile {
public:
    std::string path() const { return dir_.file("velto.ini"); }
    std::unique_ptr<QtSettingsStore> open() const { return std::make_unique<QtSettingsStore>(path()); }
    std::unique_ptr<QtSettingsStore> fresh()
    {
        const std::string copy = dir_.file("copy" + std::to_string(++copies_) + ".ini");
        test::write_file(copy, test::read_file(path()));
        return std::make_unique<QtSettingsStore>(copy);
    }

private:
    test::TempDir dir_;
    int copies_ = 0;
};

const std::string kSettings(kSectionSettings);

} // namespace

// ---- Stores ----------------------------------------------------------------

TEST(SettingsStore, StoredIntMustBeAWholeDecimalInRange)
{
    const struct { const char* text; std::optional<int> value; } cases[] = {
        {"12", 12}, {"-5", -5}, {"+7", 7}, {"007", 7}, {"2147483647", 2147483647}, {"-2147483648", INT_MIN},
        {"2147483648", std::nullopt}, {"-2147483649", std::nullopt}, {"99999999999999999999999", std::nullopt},
        {"", std::nullopt}, {"-", std::nullopt}, {"abc", std::nullopt}, {"12abc", std::nullopt},
        {" 12", std::nullopt}, {"0x10", std::nullopt}, {"1.5", std::nullopt}, {"+-1", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_stored_int(c.text), c.value) << c.text;
}

TEST(SettingsStore, IniKindsRoundTripAndOtherKindsReadAbsent)
{
    IniFile file;
    const std::string binary = "\x00\xff\x01@ByteArray(x)"s;
    const std::string text = "@start, with comma; 日本語 =\"quoted\"";
    {
        auto store = file.open();
        ASSERT_TRUE(store->usable());
        store->write_int("S", "Int", -42);
        store->write_string("S", "Text", text);
        store->write_string("S", "Abc", "abc");
        store->write_binary("S", "Bytes", binary);
    }
    const auto store = file.fresh();
    EXPECT_EQ(store->read_int("S", "Int"), -42);
    EXPECT_EQ(store->read_string("S", "Text"), text);
    EXPECT_EQ(store->read_binary("S", "Bytes"), binary);

    EXPECT_EQ(store->read_int("S", "Abc"), std::nullopt);
    EXPECT_EQ(store->read_int("S", "Bytes"), std::nullopt);
    EXPECT_EQ(store->read_string("S", "Bytes"), std::nullopt);
    EXPECT_EQ(store->read_binary("S", "Abc"), std::nullopt);
    EXPECT_EQ(store->read_int("S", "Missing"), std::nullopt);
    EXPECT_EQ(store->read_int("Other", "Int"), std::nullopt);
}

TEST(SettingsStore, MemoryKeepsKindsApartAndReadOnlyDropsWrites)
{
    MemorySettingsStore memory;
    memory.write_int("S", "N", 5);
    memory.write_string("S", "T", "5");
    memory.write_binary("S", "B", "5");
    EXPECT_EQ(memory.read_int("S", "N"), 5);
    EXPECT_EQ(memory.read_int("S", "T"), std::nullopt);
    EXPECT_EQ(memory.read_string("S", "B"), std::nullopt);
    EXPECT_EQ(memory.read_binary("S", "B"), "5");

    ReadOnlySettings read_only(memory);
    read_only.write_int("S", "New", 1);
    read_only.write_string("S", "T", "changed");
    read_only.write_binary("S", "B", "changed");
    EXPECT_EQ(memory.size(), 3u);
    EXPECT_EQ(read_only.read_string("S", "T"), "5");
    EXPECT_EQ(read_only.read_binary("S", "B"), "5");
}

// A nested "@Variant" would make QSettings recurse until the stack runs out:
// such values are never decoded, whatever the file's size.
TEST(SettingsStore, SerialisedValuesAreNeverDecoded)
{
    IniFile file;
    std::string nested;
    for (int level = 0; level < 40000; ++level)
        nested += "\0\0\0\x09\0\0\0\x01"s;
    nested += "\0\0\0\x02\0\0\0\x07"s;
    test::write_file(file.path(), "[Settings-2014]\nFontSizeBasic=@Variant(" + nested + ")\nTabPage=2\n"
                                  "FontSizeTable=@Rect(1 2 3 4)\nPinPoint=@Invalid()\n");

    const auto store = file.open();
    ASSERT_TRUE(store->usable());
    EXPECT_EQ(read_display_settings(*store), default_display_settings());
    EXPECT_EQ(read_int_or(*store, kSettings, "PinPoint", -1), -1);
    EXPECT_EQ(store->read_int(kSettings, "TabPage"), 2);
    store->write_int(kSettings, "TabPage", 1);
    EXPECT_EQ(test::read_file(file.path()), "[Settings-2014]\nTabPage=1\n");

    test::TempDir dir; // a folder where the file should be
    EXPECT_FALSE(QtSettingsStore(dir.path()).usable());
}

// Ten search texts of the longest kind (2048 half-width katakana) make a file
// of some 60 KB: every value of it is read, and later values are still saved.
TEST(SettingsStore, LongSearchHistoryKeepsTheFileInUse)
{
    IniFile file;
    std::string kana;
    for (int i = 0; i < 2048; ++i)
        kana += "ｱ";
    std::vector<std::string> words;
    {
        auto store = file.open();
        std::vector<std::string> history;
        for (int i = 0; i < 10; ++i) {
            words.insert(words.begin(), std::to_string(i) + kana.substr(3));
            record_search(*store, history, words.front());
        }
        write_display_settings(*store, default_display_settings());
    }
    EXPECT_GT(test::read_file(file.path()).size(), 60000u);
    EXPECT_EQ(load_search_history(*file.fresh()), words);
    file.open()->write_int(kSettings, "TabPage", 3);
    EXPECT_EQ(file.fresh()->read_int(kSettings, "TabPage"), 3);
}

// A file of random bytes, whether under or over the size limit, is read for
// what it holds and replaced by what the program writes; it never grows past
// the limit and saving goes on working.
TEST(SettingsStore, RandomBytesNeverGrowOrStopSaving)
{
    for (const std::size_t size : {std::size_t{900} * 1024, std::size_t{1500} * 1024}) {
        std::mt19937 random(static_cast<unsigned>(size));
        std::string junk(size, '\0');
        for (char& c : junk)
            c = static_cast<char>(random() % 7 == 0 ? '=' : random() % 11 == 0 ? '\n' : random() & 0xFF);
        IniFile file;
        test::write_file(file.path(), junk);
        for (int round = 0; round < 3; ++round) {
            auto store = file.open();
            ASSERT_TRUE(store->usable());
            DisplaySettings block = read_display_settings(*store);
            block[DisplaySettings::FontSizeBasic] = 10 + round;
            write_display_settings(*store, block);
            auto history = load_search_history(*store);
            record_search(*store, history, "検索" + std::to_string(round));
            const auto written = static_cast<long long>(test::read_file(file.path()).size());
            EXPECT_LE(written, kMaxSettingsFileSize) << size << " round " << round;
            const auto again = file.fresh();
            EXPECT_EQ(read_display_settings(*again)[DisplaySettings::FontSizeBasic], 10 + round) << size;
            EXPECT_EQ(load_search_history(*again).front(), "検索" + std::to_string(round)) << size;
        }
    }
}

// The file text: what is written reads back the same, files written by
// QSettings' own INI format read as they did, and nothing read is bigger than
// its limit.
TEST(SettingsFile, ValuesRoundTripAndQtIniFilesReadAlike)
{
    std::string all_bytes;
    for (int b = 0; b < 256; ++b)
        all_bytes += static_cast<char>(b);
    const QString texts[] = {
        "", "plain", "@start", "@@double", "@ByteArray(not bytes)", "@Variant(x)", " lead and trail ",
        "a;b", "a,b", "x=y", "\"quoted\"", "back\\slash", "tab\tnew\nline\x01" "abc\x7f" "9",
        QString::fromUtf8("日本語ｱｲｳ　全角"), QString::fromUtf8("[Section]"), QString::fromUtf8("#not a comment"),
    };
    QSettings::SettingsMap map;
    int n = 0;
    for (const QString& text : texts)
        map.insert("Settings-2014/T" + QString::number(n++), text);
    map.insert("Settings-2014/Bytes", QByteArray::fromStdString(all_bytes));
    map.insert("Settings-2014/Empty", QByteArray());
    map.insert("Records/Version", 1403);
    map.insert("Records/Negative", -2147483647 - 1);
    map.insert("Top", 7);
    map.insert(QString::fromUtf8("Odd/Key with %=[] 名"), QString("v"));

    const QSettings::SettingsMap read = parse_settings_text(format_settings_text(map));
    ASSERT_EQ(read.size(), map.size());
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const QVariant& value = read.value(it.key());
        if (it.value().typeId() == QMetaType::QByteArray)
            EXPECT_EQ(value, it.value()) << it.key().toStdString();
        else
            EXPECT_EQ(value.toString(), it.value().toString()) << it.key().toStdString();
    }

    // The same values through QSettings' INI writer.
    test::TempDir dir;
    {
        QSettings qt(QString::fromStdString(dir.file("qt.ini")), QSettings::IniFormat);
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            qt.setValue(it.key(), it.value());
    }
    const QSettings::SettingsMap from_qt = parse_settings_text(QByteArray::fromStdString(test::read_file(dir.file("qt.ini"))));
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (it.value().toString().startsWith("@Variant") || it.value().toString().startsWith("@ByteArray"))
            continue; // QSettings writes these two as "@@...", read back as the text
        const QVariant& value = from_qt.value(it.key());
        if (it.value().typeId() == QMetaType::QByteArray)
            EXPECT_EQ(value, it.value()) << it.key().toStdString();
        else
            EXPECT_EQ(value.toString(), it.value().toString()) << it.key().toStdString();
    }

    // A value over its limit is left out on its own; the rest is read.
    const QByteArray long_value(kMaxSettingsValueSize + 1, 'x');
    const QSettings::SettingsMap limited =
        parse_settings_text("[S]\nLong=" + long_value + "\nShort=" + long_value.left(kMaxSettingsValueSize) + "\n");
    EXPECT_FALSE(limited.contains("S/Long"));
    EXPECT_EQ(limited.value("S/Short").toString().size(), kMaxSettingsValueSize);
}

// ---- Display settings and switches ------------------------------------------

TEST(SettingsStore, ABatchReachesTheFileOnceAtItsEnd)
{
    IniFile ini;
    auto store = ini.open();
    store->write_int(kSettings, "First", 1); // alone: on disk at once
    EXPECT_NE(test::read_file(ini.path()).find("First=1"), std::string::npos);
    {
        SettingsBatch outer(*store);
        store->write_int(kSettings, "Second", 2);
        {
            SettingsBatch inner(*store);
            store->write_string(kSettings, "Third", "3");
        }
        EXPECT_EQ(store->read_int(kSettings, "Second"), 2);
        EXPECT_EQ(test::read_file(ini.path()).find("Second"), std::string::npos);
    }
    const std::string text = test::read_file(ini.path());
    EXPECT_NE(text.find("Second=2"), std::string::npos);
    EXPECT_NE(text.find("Third=3"), std::string::npos);
}

TEST(Settings, DefaultsOfAllTwentyFourValuesAndSwitches)
{
    const struct { const char* name; int value; const char* html; } table[] = {
        {"FontSizeBasic", 9, nullptr},          {"FontSizeTable", 9, nullptr},
        {"FontColorTop", 6908265, "#696969"},   {"FontColorBasic", 0, "#000000"},
        {"FontColorJouSection", 6908265, "#696969"}, {"FontColorKkjDate", 6908265, "#696969"},
        {"FontColorLink", 3372800, "#007733"},  {"FontColorLinkActive", 255, "#FF0000"},
        {"FontColorKeyWord", 30583, "#777700"}, {"FontColorTag", 13395456, "#0066CC"},
        {"FontColorBrachet1A", 65280, "#00FF00"}, {"FontColorBrachet1B", 14548957, "#DDFFDD"},
        {"FontColorBrachet2A", 16776960, "#00FFFF"}, {"FontColorBrachet2B", 16777181, "#DDFFFF"},
        {"FontColorBrachet3A", 65535, "#FFFF00"}, {"FontColorBrachet3B", 14548991, "#FFFFDD"},
        {"FontColorPinPoint", 13434879, "#FFFFCC"}, {"FontColorPioPointOff", 0, nullptr},
        {"PinPointPriority", 1, nullptr},       {"FontColorTarget1", 15453831, "#87CEEB"},
        {"FontColorTarget2", 16498943, "#FFC0FB"}, {"FontColorTarget3", 55295, "#FFD700"},
        {"BackColor", 16777215, "#FFFFFF"},     {"ReviveLastPage", 1, nullptr},
    };
    MemorySettingsStore empty;
    const DisplaySettings read = read_display_settings(empty);
    EXPECT_EQ(read, default_display_settings());
    for (std::size_t i = 0; i < DisplaySettings::kCount; ++i) {
        EXPECT_EQ(kDisplayValueNames[i], table[i].name) << i;
        EXPECT_EQ(read.values[i], table[i].value) << table[i].name;
        if (table[i].html) {
            EXPECT_EQ(colour_to_html(read.values[i]), table[i].html) << table[i].name;
        }
    }
    EXPECT_EQ(colour_to_html(static_cast<std::int32_t>(0x7F0A0B0C)), "#0C0B0A"); // high byte ignored
    EXPECT_EQ(read_view_toggles(empty), (ViewToggles{1, 1, 1, 1}));
    EXPECT_EQ(read_int_or(empty, kSectionSettings, kValueTabPage, kDefaultTabPage), 0);
    EXPECT_EQ(read_int_or(empty, kSectionSettings, kValueSearchEmph, kDefaultSearchEmph), 1);
    EXPECT_EQ(read_int_or(empty, kSectionSettings, kValueClipChk, kDefaultClipChk), 0);
}

TEST(Settings, BlockAndSwitchesRoundTripThroughTheFile)
{
    IniFile file;
    DisplaySettings block;
    for (std::size_t i = 0; i < DisplaySettings::kCount; ++i)
        block.values[i] = kDisplayRanges[i].max - static_cast<std::int32_t>(i % 2);
    {
        auto store = file.open();
        write_display_settings(*store, block);
        write_view_toggles(*store, ViewToggles{0, 7, 1, 0});
    }
    const auto store = file.fresh();
    EXPECT_EQ(read_display_settings(*store), block);
    EXPECT_EQ(read_view_toggles(*store), (ViewToggles{0, 7, 1, 0}));
    EXPECT_NE(test::read_file(file.path()).find("FontColorPioPointOff="), std::string::npos);
}

// Only values a page can be written with reach it; anything else is taken as
// absent, one value at a time.
TEST(Settings, ValuesTheDialogCannotSetTakeTheirDefault)
{
    const struct { DisplaySettings::Value value; int low_bad, low_good, high_good, high_bad; } cases[] = {
        {DisplaySettings::FontSizeBasic, 0, 1, 72, 73},
        {DisplaySettings::FontSizeTable, INT_MIN, 1, 72, 100000},
        {DisplaySettings::FontColorTop, -1, 0, 0xFFFFFF, 0x1000000},
        {DisplaySettings::BackColor, INT_MIN, 0, 0xFFFFFF, INT_MAX},
        {DisplaySettings::FontColorPioPointOff, -1, 0, 1, 2},
        {DisplaySettings::PinPointPriority, -1, 0, 1, 2},
        {DisplaySettings::ReviveLastPage, -1, 0, 1, 2},
    };
    for (const auto& c : cases) {
        const auto name = kDisplayValueNames[c.value];
        for (const int stored : {c.low_bad, c.low_good, c.high_good, c.high_bad}) {
            MemorySettingsStore store;
            store.write_int(kSettings, name, stored);
            store.write_int(kSettings, "FontColorLink", 0x123456); // a neighbour keeps its own value
            const DisplaySettings read = read_display_settings(store);
            const bool good = stored == c.low_good || stored == c.high_good;
            EXPECT_EQ(read[c.value], good ? stored : kDisplayDefaults[c.value]) << name << " " << stored;
            EXPECT_EQ(read[DisplaySettings::FontColorLink], 0x123456);
        }
    }
    // Every value has a range that holds its default.
    for (std::size_t i = 0; i < DisplaySettings::kCount; ++i)
        EXPECT_TRUE(kDisplayRanges[i].contains(kDisplayDefaults[i])) << kDisplayValueNames[i];
}

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

    record_search(*store, history, "WORD5");
    ASSERT_EQ(history.size(), 10u);
    EXPECT_EQ(history[0], "WORD5");
    EXPECT_EQ(std::count_if(history.begin(), history.end(),
                            [](const std::string& w) { return same_search_word(w, "word5"); }),
              1);
    EXPECT_EQ(load_search_history(*file.fresh()), history);

    record_search(*store, history, "");
    EXPECT_EQ(history[0], "WORD5");
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

TEST(PersistedState, SearchWordsCompareIgnoringAsciiAndFullWidthCase)
{
    EXPECT_TRUE(same_search_word("Steel", "sTEEL"));
    EXPECT_TRUE(same_search_word("ＨＳ鋼", "ｈｓ鋼"));
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
