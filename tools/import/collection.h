// A collection of laws imported in one run and one write: the list of files
// a manifest names, each the current text of a law or an earlier edition.
//
// The manifest is UTF-8 text, one law file a line, fields separated by
// blanks: the law's code (ID_HN), "current" or "earlier", the file (relative
// to the folder given, which defaults to the manifest's own) and, optionally,
// the law's short name (法名略式; default: the title's Abbrev). "#" starts a
// comment; blank lines are passed over.
//
//   01A  current  325AC0000000201_20260401_507AC0000000068.xml  建基法
//   01A  earlier  325AC0000000201_20191201_501AC0000000037.xml
//   01B  current  order_full.json
//
// Every file is read and mapped before anything is written; the database is
// then written once (law_writer.h), so a fault anywhere stops the import with
// the manifest's line, the file and the place in it named, and leaves the
// database as it was (a database that was missing stays missing). In the text of an
// order or rule, 法 and 令 refer to its act and order (catalog/law_family.h),
// found among the titles of the collection and of the database.
//
// A collection holds each law once. A code given the current text of its law
// twice keeps the later line, as two imports in a row would (the other is
// named in the notes); a code given two different laws, one law (法令ID)
// under two codes, an earlier edition that is not of its code's law or that
// is its current text, are refused.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velto::import {

struct ManifestEntry {
    std::string law;  // ID_HN
    bool earlier = false;
    std::string file; // as written in the manifest
    std::optional<std::string> name_short;
    int line = 0;
};

// Reads the manifest's text; `source` names it in messages ("collection.txt:3: ...").
bool parse_manifest(std::string_view text, const std::string& source, std::vector<ManifestEntry>& entries,
                    std::string& error);

struct CollectionOptions {
    std::string database; // --db
    std::string manifest; // --manifest
    std::string folder;   // --dir: where the files are; empty for the manifest's folder
    int large = 60;       // --large
};

struct CollectionSummary {
    int laws = 0;
    int earlier = 0;
    int pages = 0;
    int sentences = 0;
    std::vector<std::string> notes; // parts of the files left out, with their file
};

bool import_collection(const CollectionOptions& options, CollectionSummary& summary, std::string& error);

} // namespace velto::import
