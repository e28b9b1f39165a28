// Paths of the program's files. Paths use "/" and folders end in "/".
#pragma once

#include <string>
#include <string_view>

namespace velto {

// The folder part of a file path, ending in "/" (empty for a bare name).
std::string folder_of(std::string_view file);

// The name part of a file path, without its folder ("velto14.bmk" of
// "/opt/velto/velto14.bmk"); the whole text when it has no "/".
std::string file_name_of(std::string_view file);

// `folder` with a trailing "/" (unchanged when empty or already ending in one).
std::string with_trailing_slash(std::string_view folder);

// The file URL of an absolute path, with every byte outside the unreserved
// characters and "/" percent-encoded ("/a b/" gives "file:///a%20b/").
std::string file_url(std::string_view absolute_path);

} // namespace velto
