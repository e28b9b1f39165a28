// The document's persisted preferences: the four page switches and the block
// of 24 display values, with their names, defaults and colour helper.
//
// A display value that is absent, not an integer, or outside what the options
// dialog can set (sizes 8 to 12, colours 0 to 0xFFFFFF, switches 0 or 1)
// takes its default, so pages never see a size or colour the reader could not
// have chosen. The page switches take any integer (0 off, anything else on).
#pragma once

#include "settings/settings_store.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velto {

inline constexpr std::string_view kSectionSettings = "Settings-2014";
inline constexpr std::string_view kSectionRecords = "Records";

// Reads an int with a fallback for absent or unreadable values.
int read_int_or(const SettingsStore& store, std::string_view section, std::string_view name, int fallback);

// On/off switches of the toolbar (0 = off, anything else = on).
struct ViewToggles {
    int Synchro = 1;  // the left pane follows the page shown
    int Refer = 1;    // article pages carry the reference-link block
    int Brachet = 1;  // bracketed phrases are coloured by nesting level
    int PinPoint = 1; // pinpoint marks are placed in pages
    int ArabicNumbers = 0; // the numbers of 条・項・号 of a page are shown in Arabic digits
    int TermMarks = 1; // uses of defined terms are underlined, with their definitions in a preview

    bool operator==(const ViewToggles&) const = default;
};

inline constexpr std::string_view kValueSynchro = "Synchro";
inline constexpr std::string_view kValueRefer = "Refer";
inline constexpr std::string_view kValueBrachet = "Brachet";
inline constexpr std::string_view kValuePinPoint = "PinPoint";
inline constexpr std::string_view kValueArabicNumbers = "ArabicNumbers";
inline constexpr std::string_view kValueTermMarks = "TermMarks";

ViewToggles read_view_toggles(const SettingsStore& store);
void write_view_toggles(SettingsStore& store, const ViewToggles& toggles);

// Colours are colour references: red in the low byte, then green, then blue.
struct DisplaySettings {
    enum Value : std::size_t {
        FontSizeBasic,        // points
        FontSizeTable,        // points
        FontColorTop,
        FontColorBasic,
        FontColorJouSection,
        FontColorKkjDate,
        FontColorLink,
        FontColorLinkActive,
        FontColorKeyWord,
        FontColorTag,
        FontColorBrachet1A,
        FontColorBrachet1B,
        FontColorBrachet2A,
        FontColorBrachet2B,
        FontColorBrachet3A,
        FontColorBrachet3B,
        FontColorPinPoint,
        FontColorPioPointOff, // 1 = pinpoint marks are not coloured
        PinPointPriority,     // 0 or 1
        FontColorTarget1,
        FontColorTarget2,
        FontColorTarget3,
        BackColor,
        ReviveLastPage,       // 1 = show the last page again at start-up
    };
    static constexpr std::size_t kCount = 24;

    std::array<std::int32_t, kCount> values{};

    std::int32_t& operator[](Value v) { return values[v]; }
    std::int32_t operator[](Value v) const { return values[v]; }
    bool operator==(const DisplaySettings&) const = default;
};
static_assert(DisplaySettings::ReviveLastPage + 1 == DisplaySettings::kCount);
static_assert(sizeof(DisplaySettings) == 24 * sizeof(std::int32_t));

// Stored value names, in block order.
inline constexpr std::array<std::string_view, DisplaySettings::kCount> kDisplayValueNames = {
    "FontSizeBasic",      "FontSizeTable",      "FontColorTop",         "FontColorBasic",
    "FontColorJouSection", "FontColorKkjDate",  "FontColorLink",        "FontColorLinkActive",
    "FontColorKeyWord",   "FontColorTag",       "FontColorBrachet1A",   "FontColorBrachet1B",
    "FontColorBrachet2A", "FontColorBrachet2B", "FontColorBrachet3A",   "FontColorBrachet3B",
    "FontColorPinPoint",  "FontColorPioPointOff", "PinPointPriority",   "FontColorTarget1",
    "FontColorTarget2",   "FontColorTarget3",   "BackColor",            "ReviveLastPage",
};

// Factory defaults, in block order.
inline constexpr std::array<std::int32_t, DisplaySettings::kCount> kDisplayDefaults = {
    9,        9,        6908265,  0,        6908265,  6908265,  3372800,  255,
    30583,    13395456, 65280,    14548957, 16776960, 16777181, 65535,    14548991,
    13434879, 0,        1,        15453831, 16498943, 55295,    16777215, 1,
};

// The values that may reach the pages, in block order. Colours and switches
// are what the options dialog can choose. Its size lists offer 8 to 12 points
// but keep a stored size they do not list (a size written by hand stays
// through OK), so any size a page can sensibly be written in is kept; absurd
// sizes (zero, negative, huge) would break the layout and take the default.
struct ValueRange {
    std::int32_t min;
    std::int32_t max;
    constexpr bool contains(std::int32_t v) const { return v >= min && v <= max; }
};
inline constexpr ValueRange kFontSizeRange{1, 72};
inline constexpr ValueRange kColourRange{0, 0xFFFFFF};
inline constexpr ValueRange kSwitchRange{0, 1};
inline constexpr std::array<ValueRange, DisplaySettings::kCount> kDisplayRanges = {
    kFontSizeRange, kFontSizeRange, kColourRange, kColourRange, kColourRange, kColourRange,
    kColourRange,   kColourRange,   kColourRange, kColourRange, kColourRange, kColourRange,
    kColourRange,   kColourRange,   kColourRange, kColourRange, kColourRange, kSwitchRange,
    kSwitchRange,   kColourRange,   kColourRange, kColourRange, kColourRange, kSwitchRange,
};

DisplaySettings default_display_settings();

// The block with every value outside its range replaced by its default.
DisplaySettings within_ranges(DisplaySettings settings);

// Reads each of the 24 values with its own default, also for a value out of its range.
DisplaySettings read_display_settings(const SettingsStore& store);
void write_display_settings(SettingsStore& store, const DisplaySettings& settings);

// "#RRGGBB" of a colour reference; the high byte is ignored.
std::string colour_to_html(std::int32_t colour);

} // namespace velto
