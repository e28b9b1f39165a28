// The reader's own small files in the program folder (bookmarks, pinpoint
// choices): read whole within a size limit, and written whole.
//
// A write goes into a temporary file beside the target, which is flushed to
// the disk and renamed over the target only once it is complete. A crash, a
// full disk or a folder that cannot be written therefore never leaves a
// truncated or empty file: the old file stays as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velto {

enum class UserFileRead {
    Read,       // `text` holds the whole file
    Missing,    // nothing of that name: a first write creates it
    Unreadable, // something is there that cannot be read (not a regular file,
                // no permission, larger than the limit): it must not be replaced
};

// Reads the file `path` into `text` (cleared first) when it is a regular file
// of at most `max_size` bytes.
UserFileRead read_user_file(const std::string& path, std::uintmax_t max_size, std::string& text);

// Replaces the file `path` by `bytes` as described above. False when the file
// could not be written; the file is then unchanged.
bool write_user_file(const std::string& path, std::string_view bytes);

} // namespace velto
