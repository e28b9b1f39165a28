// Reads arbitrary bytes as a pinpoint file.
//
// Every entry read has a key of 55 and a target of 35 printable ASCII
// characters; the text written for the table is in the format of the reader's
// files and reads back as the same table. Whether the input itself is in the
// format is decided for any bytes. Sanitizers catch memory and
// undefined-behaviour faults, libFuzzer's timeouts catch runaway loops.
#include "fuzz/fuzz_check.h"
#include "userfiles/guarded_file.h"
#include "userfiles/pinpoint_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace velto;
using velto::fuzz::check;

namespace {

bool printable(const std::string& text)
{
    for (const char c : text)
        if (c <= ' ' || c > '~')
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    in_user_file_format(text);

    PinPointTable table;
    read_pinpoint_text(text, table);
    for (const auto& [key, target] : table)
        check(key.size() == kPinPointKeyLength && target.size() <= kPinPointTargetLength && printable(key) &&
              printable(target));

    const std::string written = pinpoint_file_text(table);
    check(in_user_file_format(written));
    PinPointTable reread;
    read_pinpoint_text(written, reread);
    check(reread == table);
    return 0;
}
