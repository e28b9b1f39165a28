// The pinpoint files: "default.ppj" (the targets shipped with the program,
// only read) and "velto14.ppj" (the reader's own choices) in the program
// folder.
//
// Both are text with CR LF line ends: the line "VERSION 14.03", then one line
// per entry, the key (55 characters), ", " and the target (35 characters).
// Reading skips every line that contains "VERSION" anywhere, whatever its
// version; of every other line the first 55 characters are the key and the
// last 35 the target, whatever stands between. A line whose key or target is
// not plain printable ASCII (no blank) cannot name an anchor or a sentence and
// is dropped with the lines that are too short, so a damaged or foreign file
// gives no entries instead of garbage ones.
#pragma once

#include "userfiles/pinpoints.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velto {

// The version line the program writes.
inline constexpr std::string_view kPinPointVersionLine = "VERSION 14.03";
// A pinpoint file holds a few hundred entries; a larger one is no pinpoint
// file, and is neither read into memory nor replaced.
inline constexpr std::uintmax_t kMaxPinPointFileSize = 16 * 1024 * 1024;

// Adds the entries of a file's text to `table` (a later line replaces an
// earlier one of the same key).
void read_pinpoint_text(std::string_view text, PinPointTable& table);

// The text of a file holding `table`: the version line, then the entries in
// ascending key order.
std::string pinpoint_file_text(const PinPointTable& table);

// Adds the entries of the file `path` to `table`. False when there is no
// regular file there or it cannot be read (the table is then unchanged).
bool read_pinpoint_file(const std::string& path, PinPointTable& table);


} // namespace velto
