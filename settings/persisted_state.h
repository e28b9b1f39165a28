// Remembered state of the windows: the start page, window and splitter
// placement, search history, custom colours of the colour chooser, the
// find-in-page dialog position and a few single switches. Each owner reads its
// values when it is created or first shown and writes them when it goes away;
// the formats and rules live here so they can be tested without windows.
//
// A malformed placement, splitter, colour or dialog value is ignored as a
// whole and the built-in layout is used; nothing stored is range-checked.
#pragma once

#include "settings/settings.h"
#include "settings/settings_store.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

// ---- Start page ------------------------------------------------------------

inline constexpr std::string_view kCoverPageId = "00A-Z0010000-00";
inline constexpr std::string_view kValueCurIDFN = "CurIDFN";     // section kSectionSettings
inline constexpr std::string_view kValueVersion = "Version";     // section kSectionRecords
inline constexpr int kSettingsVersionStamp = 1403;

// The identifier of the page shown last ("CurIDFN"), or `fallback` when there
// is none. The page view's fallback is the cover page, the left pane's is "".
std::string read_current_page_id(const SettingsStore& store, std::string_view fallback);
void write_current_page_id(SettingsStore& store, std::string_view id_fn);

// The page to show at start-up. A settings version below the current stamp, or
// a stored identifier that is not 15 characters, gives the cover page and
// stamps the version; with ReviveLastPage 0 in `display` the cover page is
// shown as well. The result is always a 15-character identifier; the page view
// then synchronises the left pane to it when Synchro is on.
std::string start_page_id(SettingsStore& store, const DisplaySettings& display);

// ---- Main window placement ("WindowPos") -----------------------------------

inline constexpr std::string_view kValueWindowPos = "WindowPos";
inline constexpr int kShowCommandShow = 5;
inline constexpr int kShowCommandMaximised = 3;
inline constexpr int kPlacementRestoreToMaximised = 2; // flag

struct WindowPlacement {
    int length = 0;
    int flags = 0;
    int show_command = 0;
    int min_x = 0;
    int min_y = 0;
    int max_x = 0;
    int max_y = 0;
    int normal_left = 0;
    int normal_top = 0;
    int normal_right = 0;
    int normal_bottom = 0;

    bool operator==(const WindowPlacement&) const = default;
};

// The 11 fields in the order above joined by ':'. Parsing reads each field as
// C's "%i" does (leading blanks, a sign, 0x for hex, a leading 0 for octal) and
// needs all 11, separated by single colons; text after the eleventh field is
// not looked at. A field outside the range of int does not parse.
std::optional<WindowPlacement> parse_window_pos(std::string_view text);
std::string format_window_pos(const WindowPlacement& placement);

std::optional<WindowPlacement> read_window_pos(const SettingsStore& store);
void write_window_pos(SettingsStore& store, const WindowPlacement& placement);

// The placement to store at the close request: a maximised window is stored
// with show command 3 and the restore-to-maximised flag added.
WindowPlacement placement_to_store(WindowPlacement current, bool maximised);

// How the main window is first shown: maximised when the stored placement says so.
int initial_show_command(const std::optional<WindowPlacement>& stored);

// ---- Splitters ("SplitterPos1", "SplitterPos2") ----------------------------

inline constexpr std::string_view kValueSplitterPos1 = "SplitterPos1"; // left pane width
inline constexpr std::string_view kValueSplitterPos2 = "SplitterPos2"; // upper right pane height
inline constexpr int kDefaultLeftPaneWidth = 300;
inline constexpr int kDefaultRightPaneHeight = 200;

struct SplitterPosition {
    int index = 0;   // column or row
    int ideal = 0;   // size of that pane
    int minimum = 0; // its minimum size

    bool operator==(const SplitterPosition&) const = default;
};

// "%i:%i:%i", parsed like the window placement.
std::optional<SplitterPosition> parse_splitter_pos(std::string_view text);
std::string format_splitter_pos(const SplitterPosition& position);

std::optional<SplitterPosition> read_splitter_pos(const SettingsStore& store, std::string_view name);
void write_splitter_pos(SettingsStore& store, std::string_view name, const SplitterPosition& position);

// ---- Column widths of the pane's lists ("ColumnWidths-1002" ...) -----------

// The value of a list's column widths: "ColumnWidths-" and the list's control id.
std::string column_widths_value_name(int control_id);
// The widths the user gave the columns, "120,40,200,0" in pixels. Empty when
// none are stored or the value is not such a list (a width below 0 or above
// kMaxColumnWidth, a count other than `columns`, anything else in it).
inline constexpr int kMaxColumnWidth = 4000;
std::vector<int> read_column_widths(const SettingsStore& store, int control_id, std::size_t columns);
void write_column_widths(SettingsStore& store, int control_id, const std::vector<int>& widths);

// ---- Search history ("SearchTarget-01" .. "SearchTarget-10") ---------------

inline constexpr std::string_view kValueSearchTargetPrefix = "SearchTarget-";
inline constexpr std::size_t kSearchHistorySize = 10;

// "SearchTarget-" and the number with two digits.
std::string search_history_value_name(int number);

// Entries 01 upward, most recent first, up to the first empty or absent one.
std::vector<std::string> load_search_history(const SettingsStore& store);

// Two entries are the same search text when they are the same as typed,
// letter case and width included.
bool same_search_word(std::string_view a, std::string_view b);

// Moves `word` to the front: an equal entry (same_search_word) is removed
// first, and only the ten most recent entries are kept. An empty word is
// not recorded.
void add_to_search_history(std::vector<std::string>& history, std::string_view word);

// Writes the entries as numbers 01 upward, at most ten, stopping at the first
// empty entry. Values with higher numbers are left as they are.
void write_search_history(SettingsStore& store, const std::vector<std::string>& history);

// A search was started with `word`: add it and write the history.
void record_search(SettingsStore& store, std::vector<std::string>& history, std::string_view word);

// ---- Custom colours of the colour chooser ("CustColors") -------------------

inline constexpr std::string_view kValueCustColors = "CustColors";
inline constexpr std::size_t kCustomColourCount = 16;
inline constexpr std::size_t kCustomColoursTextLength = 111;
inline constexpr std::uint32_t kWhite = 16777215;

using CustomColours = std::array<std::uint32_t, kCustomColourCount>;

CustomColours default_custom_colours(); // all white

// Sixteen "%06X" fields joined by ':' (111 characters for colour references).
std::string format_custom_colours(const CustomColours& colours);

// A text of any length other than 111 is not a colour list. Each colour is
// read as C's "%x" does from the six characters at offsets 0, 7, ... 105
// (separators are not looked at); a field that does not start with a hex
// number makes the whole text invalid.
std::optional<CustomColours> parse_custom_colours(std::string_view text);

// The stored colours, or all white when absent or invalid.
CustomColours read_custom_colours(const SettingsStore& store);
void write_custom_colours(SettingsStore& store, const CustomColours& colours);

// ---- Find-in-page dialog position ("SchDlgA", "SchDlgB") -------------------

inline constexpr std::string_view kValueSchDlgA = "SchDlgA"; // horizontal
inline constexpr std::string_view kValueSchDlgB = "SchDlgB"; // vertical

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Point {
    int x = 0;
    int y = 0;

    bool operator==(const Point&) const = default;
};

// Centre of the dialog as a fraction of the main window's width and height,
// measured from the main window's left and top edge.
struct DialogAnchor {
    double a = 0.5;
    double b = 0.5;
};

// A double as its 8 bytes in machine order, and back. Bytes of another size,
// or a value that is not finite, give nullopt.
std::string encode_double(double value);
std::optional<double> decode_double(std::string_view bytes);

// Each fraction on its own: 0.5 when absent or unusable.
DialogAnchor read_dialog_anchor(const SettingsStore& store);
void write_dialog_anchor(SettingsStore& store, const DialogAnchor& anchor);

// The fractions when the dialog closes. A frame without width (height) gives
// 0.5 for that axis.
DialogAnchor dialog_anchor_on_close(const Rect& frame, const Rect& dialog);

// The dialog's top-left corner when it opens. Each coordinate is raised to 0
// when negative, then lowered so that the dialog ends within the screen's
// full-screen work size; the fraction is truncated to whole pixels.
Point dialog_position_on_open(const Rect& frame, int dialog_width, int dialog_height, const DialogAnchor& anchor,
                              int screen_width, int screen_height);

// ---- Single switches --------------------------------------------------------

inline constexpr std::string_view kValueTabPage = "TabPage";       // selected tab of the left pane, 0 to 3
inline constexpr int kDefaultTabPage = 0;
inline constexpr std::string_view kValueSearchEmph = "SearchEmph"; // highlight search words
inline constexpr int kDefaultSearchEmph = 1;
inline constexpr std::string_view kValueClipChk = "ClipChk";       // 1 = copy notice no longer shown
inline constexpr int kDefaultClipChk = 0;

} // namespace velto
