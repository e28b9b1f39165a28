// An INI settings file for the settings tests.
#pragma once

#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tests/fixtures.h"

#include <memory>
#include <string>

namespace velto::test {

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

inline const std::string kSettings(kSectionSettings);

} // namespace velto::test
