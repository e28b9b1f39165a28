#include "settings/persisted_state.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace velto {

namespace {

bool is_c_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One number read the way scanf reads "%i" (base 0) or "%x" (base 16):
// leading blanks, an optional sign, an optional "0x" prefix (for base 0 it
// selects hex, and a leading "0" alone selects octal), then digits. As with
// the C library here, "0x" not followed by a hex digit reads as 0. Advances
// `pos` past what was read. Magnitudes beyond 32 bits give nullopt.
std::optional<long long> scan_number(std::string_view text, std::size_t& pos, int base)
{
    std::size_t i = pos;
    while (i < text.size() && is_c_space(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i < text.size() && text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')
        && (base == 0 || base == 16)) {
        base = 16;
        i += 2;
        if (i >= text.size() || digit_value(text[i]) < 0) {
            pos = i;
            return 0;
        }
    } else if (base == 0) {
        base = i < text.size() && text[i] == '0' ? 8 : 10;
    }
    long long magnitude = 0;
    bool overflow = false;
    const std::size_t first_digit = i;
    for (; i < text.size(); ++i) {
        const int digit = digit_value(text[i]);
        if (digit < 0 || digit >= base)
            break;
        if (!overflow) {
            magnitude = magnitude * base + digit;
            overflow = magnitude > 0xFFFFFFFFLL;
        }
    }
    if (i == first_digit || overflow)
        return std::nullopt;
    pos = i;
    return negative ? -magnitude : magnitude;
}

// "%i:%i:...": `count` ints separated by single colons.
template <std::size_t N>
std::optional<std::array<int, N>> scan_colon_ints(std::string_view text)
{
    std::array<int, N> fields{};
    std::size_t pos = 0;
    for (std::size_t k = 0; k < N; ++k) {
        if (k > 0) {
            if (pos >= text.size() || text[pos] != ':')
                return std::nullopt;
            ++pos;
        }
        const auto number = scan_number(text, pos, 0);
        if (!number || *number < INT_MIN || *number > INT_MAX)
            return std::nullopt;
        fields[k] = static_cast<int>(*number);
    }
    return fields;
}

template <std::size_t N>
std::string join_colon_ints(const std::array<int, N>& fields)
{
    std::string text;
    for (std::size_t k = 0; k < N; ++k) {
        if (k > 0)
            text += ':';
        text += std::to_string(fields[k]);
    }
    return text;
}

std::optional<double> read_fraction(const SettingsStore& store, std::string_view name)
{
    const auto bytes = store.read_binary(kSectionSettings, name);
    return bytes ? decode_double(*bytes) : std::nullopt;
}

double fraction_on_close(int frame_start, int frame_extent, int dialog_start, int dialog_extent)
{
    if (frame_extent <= 0)
        return 0.5;
    return (static_cast<double>(dialog_start) - frame_start + dialog_extent * 0.5) / frame_extent;
}

int position_on_open(int frame_start, int frame_extent, double fraction, int dialog_extent, int screen_extent)
{
    double at = frame_extent * fraction + frame_start - dialog_extent * 0.5;
    if (std::isnan(at) || at < 0)
        at = 0;
    const double last = static_cast<double>(screen_extent) - dialog_extent;
    if (at > last)
        at = last;
    return static_cast<int>(std::clamp(std::trunc(at), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

} // namespace

// ---- Start page ------------------------------------------------------------

std::string read_current_page_id(const SettingsStore& store, std::string_view fallback)
{
    return store.read_string(kSectionSettings, kValueCurIDFN).value_or(std::string(fallback));
}

void write_current_page_id(SettingsStore& store, std::string_view id_fn)
{
    store.write_string(kSectionSettings, kValueCurIDFN, id_fn);
}

std::string start_page_id(SettingsStore& store, const DisplaySettings& display)
{
    std::string id = read_current_page_id(store, kCoverPageId);
    const int version = read_int_or(store, kSectionRecords, kValueVersion, 0);
    if (version < kSettingsVersionStamp || id.size() != kCoverPageId.size()) {
        id = kCoverPageId;
        store.write_int(kSectionRecords, kValueVersion, kSettingsVersionStamp);
    }
    if (id.size() == kCoverPageId.size() && display[DisplaySettings::ReviveLastPage] == 0)
        id = kCoverPageId;
    return id;
}

// ---- Main window placement -------------------------------------------------

std::optional<WindowPlacement> parse_window_pos(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    const auto f = scan_colon_ints<11>(text);
    if (!f)
        return std::nullopt;
    return WindowPlacement{(*f)[0], (*f)[1], (*f)[2], (*f)[3], (*f)[4], (*f)[5],
                           (*f)[6], (*f)[7], (*f)[8], (*f)[9], (*f)[10]};
}

std::string format_window_pos(const WindowPlacement& p)
{
    return join_colon_ints(std::array<int, 11>{p.length, p.flags, p.show_command, p.min_x, p.min_y, p.max_x,
                                               p.max_y, p.normal_left, p.normal_top, p.normal_right,
                                               p.normal_bottom});
}

std::optional<WindowPlacement> read_window_pos(const SettingsStore& store)
{
    const auto text = store.read_string(kSectionSettings, kValueWindowPos);
    return text ? parse_window_pos(*text) : std::nullopt;
}

void write_window_pos(SettingsStore& store, const WindowPlacement& placement)
{
    store.write_string(kSectionSettings, kValueWindowPos, format_window_pos(placement));
}

WindowPlacement placement_to_store(WindowPlacement current, bool maximised)
{
    if (maximised) {
        current.show_command = kShowCommandMaximised;
        current.flags |= kPlacementRestoreToMaximised;
    }
    return current;
}

int initial_show_command(const std::optional<WindowPlacement>& stored)
{
    return stored && stored->show_command == kShowCommandMaximised ? kShowCommandMaximised : kShowCommandShow;
}

// ---- Splitters -------------------------------------------------------------

std::optional<SplitterPosition> parse_splitter_pos(std::string_view text)
{
    const auto f = scan_colon_ints<3>(text);
    if (!f)
        return std::nullopt;
    return SplitterPosition{(*f)[0], (*f)[1], (*f)[2]};
}

std::string format_splitter_pos(const SplitterPosition& position)
{
    return join_colon_ints(std::array<int, 3>{position.index, position.ideal, position.minimum});
}

std::optional<SplitterPosition> read_splitter_pos(const SettingsStore& store, std::string_view name)
{
    const auto text = store.read_string(kSectionSettings, name);
    return text ? parse_splitter_pos(*text) : std::nullopt;
}

void write_splitter_pos(SettingsStore& store, std::string_view name, const SplitterPosition& position)
{
    store.write_string(kSectionSettings, name, format_splitter_pos(position));
}

// ---- Column widths ---------------------------------------------------------

std::string column_widths_value_name(int control_id) { return "ColumnWidths-" + std::to_string(control_id); }

std::vector<int> read_column_widths(const SettingsStore& store, int control_id, std::size_t columns)
{
    const auto text = store.read_string(kSectionSettings, column_widths_value_name(control_id));
    if (!text || text->empty())
        return {};
    std::vector<int> widths;
    std::size_t start = 0;
    while (start <= text->size()) {
        const std::size_t comma = std::min(text->find(',', start), text->size());
        const std::string_view field = std::string_view(*text).substr(start, comma - start);
        if (field.empty() || field.size() > 4 || field.find_first_not_of("0123456789") != std::string_view::npos)
            return {};
        const int width = std::stoi(std::string(field));
        if (width > kMaxColumnWidth)
            return {};
        widths.push_back(width);
        start = comma + 1;
    }
    return widths.size() == columns ? widths : std::vector<int>();
}

void write_column_widths(SettingsStore& store, int control_id, const std::vector<int>& widths)
{
    std::string text;
    for (const int width : widths)
        text += (text.empty() ? "" : ",") + std::to_string(std::clamp(width, 0, kMaxColumnWidth));
    store.write_string(kSectionSettings, column_widths_value_name(control_id), text);
}

// ---- Search history --------------------------------------------------------

std::string search_history_value_name(int number)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", number);
    return std::string(kValueSearchTargetPrefix) + digits;
}

std::vector<std::string> load_search_history(const SettingsStore& store)
{
    std::vector<std::string> history;
    for (int number = 1; number <= static_cast<int>(kSearchHistorySize); ++number) {
        auto word = store.read_string(kSectionSettings, search_history_value_name(number));
        if (!word || word->empty())
            break;
        history.push_back(std::move(*word));
    }
    return history;
}

bool same_search_word(std::string_view a, std::string_view b)
{
    return a == b;
}

void add_to_search_history(std::vector<std::string>& history, std::string_view word)
{
    if (word.empty())
        return;
    const auto equal = std::find_if(history.begin(), history.end(),
                                    [&](const std::string& entry) { return same_search_word(entry, word); });
    if (equal != history.end())
        history.erase(equal);
    history.insert(history.begin(), std::string(word));
    if (history.size() > kSearchHistorySize)
        history.resize(kSearchHistorySize);
}

void write_search_history(SettingsStore& store, const std::vector<std::string>& history)
{
    const std::size_t count = std::min(history.size(), kSearchHistorySize);
    for (std::size_t k = 0; k < count && !history[k].empty(); ++k)
        store.write_string(kSectionSettings, search_history_value_name(static_cast<int>(k + 1)), history[k]);
}

void record_search(SettingsStore& store, std::vector<std::string>& history, std::string_view word)
{
    if (word.empty())
        return;
    add_to_search_history(history, word);
    write_search_history(store, history);
}

// ---- Custom colours --------------------------------------------------------

CustomColours default_custom_colours()
{
    CustomColours colours;
    colours.fill(kWhite);
    return colours;
}

std::string format_custom_colours(const CustomColours& colours)
{
    std::string text;
    for (std::size_t k = 0; k < colours.size(); ++k) {
        char field[16];
        std::snprintf(field, sizeof field, k + 1 < colours.size() ? "%06X:" : "%06X", colours[k]);
        text += field;
    }
    return text;
}

std::optional<CustomColours> parse_custom_colours(std::string_view text)
{
    if (text.size() != kCustomColoursTextLength)
        return std::nullopt;
    CustomColours colours{};
    for (std::size_t k = 0; k < kCustomColourCount; ++k) {
        const std::string_view field = text.substr(k * 7, 6);
        std::size_t pos = 0;
        const auto number = scan_number(field, pos, 16);
        if (!number)
            return std::nullopt;
        colours[k] = static_cast<std::uint32_t>(*number); // "-1" wraps as %x does
    }
    return colours;
}

CustomColours read_custom_colours(const SettingsStore& store)
{
    const auto text = store.read_string(kSectionSettings, kValueCustColors);
    if (!text)
        return default_custom_colours();
    return parse_custom_colours(*text).value_or(default_custom_colours());
}

void write_custom_colours(SettingsStore& store, const CustomColours& colours)
{
    store.write_string(kSectionSettings, kValueCustColors, format_custom_colours(colours));
}

// ---- Find-in-page dialog position ------------------------------------------

std::string encode_double(double value)
{
    static_assert(sizeof(double) == 8);
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

std::optional<double> decode_double(std::string_view bytes)
{
    double value = 0;
    if (bytes.size() != sizeof value)
        return std::nullopt;
    std::memcpy(&value, bytes.data(), sizeof value);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

DialogAnchor read_dialog_anchor(const SettingsStore& store)
{
    const DialogAnchor defaults;
    return DialogAnchor{read_fraction(store, kValueSchDlgA).value_or(defaults.a),
                        read_fraction(store, kValueSchDlgB).value_or(defaults.b)};
}

void write_dialog_anchor(SettingsStore& store, const DialogAnchor& anchor)
{
    store.write_binary(kSectionSettings, kValueSchDlgA, encode_double(anchor.a));
    store.write_binary(kSectionSettings, kValueSchDlgB, encode_double(anchor.b));
}

DialogAnchor dialog_anchor_on_close(const Rect& frame, const Rect& dialog)
{
    return DialogAnchor{fraction_on_close(frame.left, frame.width, dialog.left, dialog.width),
                        fraction_on_close(frame.top, frame.height, dialog.top, dialog.height)};
}

Point dialog_position_on_open(const Rect& frame, int dialog_width, int dialog_height, const DialogAnchor& anchor,
                              int screen_width, int screen_height)
{
    return Point{position_on_open(frame.left, frame.width, anchor.a, dialog_width, screen_width),
                 position_on_open(frame.top, frame.height, anchor.b, dialog_height, screen_height)};
}

} // namespace velto
