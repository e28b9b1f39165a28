// The alias file: short names of laws that a reader types in citations,
// beside the law database. The program ships one (法 = 建築基準法, 令 =
// 建築基準法施行令 ...) that the user may extend; the reader only reads it.
//
// The file is UTF-8 text, one alias a line: the short name, "=" (or "＝"),
// the law as the database names it (法名一般, 法名略式, 法名正式) or its
// ID_HN. Blank lines and lines beginning with "#" are passed over. A line that
// cannot be read is left out and named in the problems; the other lines still
// count. An alias of a law the database does not hold is kept: it makes no
// citation find anything, but its message can say which law was meant.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velto {

inline constexpr std::string_view kAliasFileName = "velto14.alias";

struct CitationAlias {
    std::string name; // the short name as typed in a citation
    std::string law;  // the law it stands for
};

// The aliases of the file's content. `problems` receives one text for each
// line left out ("3行目: ..."), and one for a file too large to be an alias
// file, whose content is then not read at all.
std::vector<CitationAlias> parse_aliases(std::string_view content, std::vector<std::string>& problems);

// The aliases of the file at `path`. A missing file has no aliases and no
// problem; a file that cannot be read is a problem.
std::vector<CitationAlias> read_alias_file(const std::string& path, std::vector<std::string>& problems);

} // namespace velto
