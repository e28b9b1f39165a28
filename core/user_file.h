// The reader's own small files in the program folder (bookmarks, pinpoint
// choices): read whole within a size limit, and written whole.
//
// Reading opens without waiting (a pipe or a device in place of the file
// never blocks the reader) and reads only a regular file.
//
// A write goes into a new file beside the target, which is flushed to the
// disk and renamed over the target only once it is complete
// (core/replace_file.h). A crash, a full disk or a folder that cannot be
// written therefore never leaves a truncated or empty file: the old file
// stays as it was. A link under the file's name is followed only when it
// belongs to the user; a link of anyone else is replaced, never written
// through.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velto {

enum class UserFileRead {
    Read,       // `text` holds the whole file
    Missing,    // nothing of that name: a first write creates it
    Unreadable, // something is there that cannot be read (not a regular file,
                // no permission): it must not be replaced
    TooLarge,   // a regular file larger than the limit: not read, and not replaced
};

// Reads the file `path` into `text` (cleared first) when it is a regular file
// of at most `max_size` bytes.
UserFileRead read_user_file(const std::string& path, std::uintmax_t max_size, std::string& text);

// Replaces the file `path` by `bytes` as described above, keeping the
// permissions of the file it replaces. False when the file could not be
// written; the file is then unchanged.
bool write_user_file(const std::string& path, std::string_view bytes);

// Makes the new file `path` holding `bytes`; false when anything stands under
// that name already (nothing is then opened or changed) or it cannot be written.
bool create_user_file(const std::string& path, std::string_view bytes);

} // namespace velto
