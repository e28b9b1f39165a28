// Builds a law database file from the schema and content scripts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velto {

struct ContentScript {
    std::string name; // shown in error messages (a file name)
    std::string sql;
};

// Where a build starts from.
struct BuildSource {
    std::string base; // a law database to start from (copied, never written); empty: none
    // Databases the scripts may read, attached read-only under a schema name
    // ("sample" -> SELECT ... FROM sample.T_参).
    std::vector<std::pair<std::string, std::string>> attached;
};

// Builds the database `output`: a copy of the base, or an empty database; then
// the schema (tables and indexes the database lacks), then every script in
// order, then the index of the links (T_引) of what the scripts left, all in
// one transaction. The file is written beside `output` and moved into
// place only when all went well (FileReplacement), so neither a failure nor a
// killed build leaves a half-built database behind.
// On failure returns false and describes the failure in `error`.
bool build_database(const std::string& output, const std::vector<ContentScript>& scripts, std::string& error,
                    const BuildSource& source = {});

// The schema of the law database, data/schema.sql. Every statement may run on a
// database that already has some of it: only what is missing is created.
std::string_view law_schema_sql();

// Reads a regular file whole. Anything else (a directory, a FIFO, a device
// such as /dev/zero) is refused without waiting or reading, and so is a file
// larger than `limit` bytes. On failure returns false and says why in `error`,
// naming the path.
bool read_input_file(const std::string& path, std::string& bytes, std::string& error,
                     std::size_t limit = std::size_t{1} << 28);

} // namespace velto
