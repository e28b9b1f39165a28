#include "settings/settings.h"

#include <cstdio>

namespace velto {

int read_int_or(const SettingsStore& store, std::string_view section, std::string_view name, int fallback)
{
    return store.read_int(section, name).value_or(fallback);
}

ViewToggles read_view_toggles(const SettingsStore& store)
{
    const ViewToggles defaults;
    ViewToggles toggles;
    toggles.Synchro = read_int_or(store, kSectionSettings, kValueSynchro, defaults.Synchro);
    toggles.Refer = read_int_or(store, kSectionSettings, kValueRefer, defaults.Refer);
    toggles.Brachet = read_int_or(store, kSectionSettings, kValueBrachet, defaults.Brachet);
    toggles.PinPoint = read_int_or(store, kSectionSettings, kValuePinPoint, defaults.PinPoint);
    toggles.ArabicNumbers = read_int_or(store, kSectionSettings, kValueArabicNumbers, defaults.ArabicNumbers);
    toggles.TermMarks = read_int_or(store, kSectionSettings, kValueTermMarks, defaults.TermMarks);
    return toggles;
}

void write_view_toggles(SettingsStore& store, const ViewToggles& toggles)
{
    store.write_int(kSectionSettings, kValueSynchro, toggles.Synchro);
    store.write_int(kSectionSettings, kValueRefer, toggles.Refer);
    store.write_int(kSectionSettings, kValueBrachet, toggles.Brachet);
    store.write_int(kSectionSettings, kValuePinPoint, toggles.PinPoint);
    store.write_int(kSectionSettings, kValueArabicNumbers, toggles.ArabicNumbers);
    store.write_int(kSectionSettings, kValueTermMarks, toggles.TermMarks);
}

DisplaySettings default_display_settings()
{
    DisplaySettings settings;
    settings.values = kDisplayDefaults;
    return settings;
}

DisplaySettings within_ranges(DisplaySettings settings)
{
    for (std::size_t i = 0; i < DisplaySettings::kCount; ++i) {
        if (!kDisplayRanges[i].contains(settings.values[i]))
            settings.values[i] = kDisplayDefaults[i];
    }
    return settings;
}

DisplaySettings read_display_settings(const SettingsStore& store)
{
    DisplaySettings settings;
    for (std::size_t i = 0; i < DisplaySettings::kCount; ++i)
        settings.values[i] = read_int_or(store, kSectionSettings, kDisplayValueNames[i], kDisplayDefaults[i]);
    return within_ranges(settings);
}

void write_display_settings(SettingsStore& store, const DisplaySettings& settings)
{
    for (std::size_t i = 0; i < DisplaySettings::kCount; ++i)
        store.write_int(kSectionSettings, kDisplayValueNames[i], settings.values[i]);
}

std::string colour_to_html(std::int32_t colour)
{
    // Without printf: pages write a colour for every sentence.
    constexpr char kDigits[] = "0123456789ABCDEF";
    const auto bits = static_cast<std::uint32_t>(colour);
    return {'#', kDigits[(bits >> 4) & 0xF],  kDigits[bits & 0xF],         kDigits[(bits >> 12) & 0xF],
            kDigits[(bits >> 8) & 0xF], kDigits[(bits >> 20) & 0xF], kDigits[(bits >> 16) & 0xF]};
}

} // namespace velto
