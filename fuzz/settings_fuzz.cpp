// Reads arbitrary bytes as a settings file.
//
// What is read must come back unchanged when it is written and read again,
// and its written form must fit in the file limit, so a damaged file can
// neither grow nor keep the reader from saving. Sanitizers catch memory and
// undefined-behaviour faults, libFuzzer's timeouts catch runaway loops.
#include "settings/settings_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QSettings::SettingsMap read = parse_settings_text(text);
    const QByteArray written = format_settings_text(read);
    if (written.size() > kMaxSettingsFileSize)
        std::abort();
    if (parse_settings_text(written) != read)
        std::abort();
    return 0;
}
