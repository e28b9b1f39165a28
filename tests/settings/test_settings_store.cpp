// The settings stores and the settings file, the display values and the page switches.
#include "settings/persisted_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "tests/fixtures.h"
#include "tests/settings/ini_file.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSettings>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace velto;
using namespace std::string_literals;
using namespace velto::test;

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
        QString::fromUtf8("日本語ｱｲｳ　全角"), QString::fromUtf8("　全角の空白で始まり終わる　"), QString::fromUtf8("\u2002en space\u2002"), QString::fromUtf8("[Section]"), QString::fromUtf8("#not a comment"),
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

TEST(SettingsStore, APipeOrALockThatCannotBeTakenNeverHoldsTheReaderUp)
{
    // The per-user file is found where QSettings keeps it, without opening it:
    // a pipe there would keep QSettings waiting for ever.
    EXPECT_EQ(user_settings_file(),
              QSettings(settings_file_format(), QSettings::UserScope, QStringLiteral("mokume88"),
                        QStringLiteral("ヴェルト"))
                  .fileName()
                  .toStdString());
    TempDir config;
    std::filesystem::create_directories(config.file("mokume88"));
    ASSERT_EQ(::mkfifo(config.file("mokume88/ヴェルト.conf").c_str(), 0600), 0);
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    std::string config_home = config.path();
    config_home.pop_back(); // no trailing "/"
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config_home));
    {
        QtSettingsStore store;
        EXPECT_EQ(store.location(), config.file("mokume88/ヴェルト.conf"));
        EXPECT_FALSE(store.usable());
        store.write_int(kSettings, "Synchro", 0); // dropped, never waits
    }
    home.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", home);

    // A link another user planted in place of the file is never written through.
    TempDir shared;
    test::write_file(shared.file("victim"), "the victim's file");
    std::filesystem::create_symlink(shared.file("victim"), shared.file("s.ini"));
    if (::lchown(shared.file("s.ini").c_str(), 65534, 65534) == 0) {
        QtSettingsStore planted(shared.file("s.ini"));
        EXPECT_FALSE(planted.usable());
        planted.write_int(kSettings, "Synchro", 0);
    }
    EXPECT_EQ(test::read_file(shared.file("victim")), "the victim's file");

    // A folder or a damaged file where QSettings takes its lock: the values are
    // written without the lock, and the next writes do not wait again.
    for (const bool folder : {true, false}) {
        IniFile ini;
        const std::string lock = ini.path() + ".lock";
        folder ? void(std::filesystem::create_directory(lock)) : test::write_file(lock, "\xff\xfe garbage");
        auto store = ini.open();
        QElapsedTimer timer;
        timer.start();
        store->write_int(kSettings, "First", 1);
        store->write_string(kSettings, "Second", "二");
        EXPECT_LT(timer.elapsed(), 3 * QtSettingsStore::kLockWaitMs) << folder;
        EXPECT_EQ(store->read_int(kSettings, "First"), 1);
        auto next = ini.fresh();
        EXPECT_EQ(next->read_int(kSettings, "First"), 1) << folder;
        EXPECT_EQ(next->read_string(kSettings, "Second"), "二") << folder;
    }
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
