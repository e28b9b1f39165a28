// Builds a law database file from the schema and content scripts.
#pragma once

#include <string>
#include <vector>

namespace velto {

struct ContentScript {
    std::string name; // shown in error messages (a file name)
    std::string sql;
};

// Creates a new database at `output`: the schema, then every script in order, in
// one transaction. The file is written
// beside `output` under a temporary name and moved into place only when all went
// well, so a failed build never leaves a half-built database behind.
// On failure returns false and describes the failure in `error`.
bool build_database(const std::string& output, const std::vector<ContentScript>& scripts, std::string& error);

// Reads a text file whole; false when it cannot be read.
bool read_text_file(const std::string& path, std::string& text);

} // namespace velto
