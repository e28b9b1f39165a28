// Reads arbitrary bytes as a bookmark file.
//
// Every identifier read is 15 or 35 printable ASCII characters; the text
// written for them is in the format of the reader's files, and read back it
// names exactly the bookmarks that were written. Whether the input itself is
// in the format is decided for any bytes. Sanitizers catch memory and
// undefined-behaviour faults, libFuzzer's timeouts catch runaway loops.
#include "fuzz/fuzz_check.h"
#include "core/identifiers.h"
#include "userfiles/bookmarks.h"
#include "userfiles/guarded_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace velto;
using velto::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    in_user_file_format(text);

    const std::vector<std::string> ids = read_bookmark_text(text);
    for (const std::string& id : ids) {
        check(id.size() == 15 || id.size() == 35);
        check(std::all_of(id.begin(), id.end(), [](char c) { return c > ' ' && c <= '~'; }));
    }

    static const IdentifierRules rules;
    const std::string written = bookmark_file_text(ids, rules);
    check(in_user_file_format(written));
    std::vector<std::string> kept;
    for (const std::string& id : ids)
        if (written.find(id + ", ") != std::string::npos)
            kept.push_back(id);
    std::vector<std::string> reread = read_bookmark_text(written);
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    std::sort(reread.begin(), reread.end());
    reread.erase(std::unique(reread.begin(), reread.end()), reread.end());
    check(reread == kept);
    return 0;
}
