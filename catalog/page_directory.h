// What the units beside the document need of it: the program folder, the names
// of laws and pages, and the page list, read on first use. The document
// (CVeltoDoc) is the implementation; the bookmarks are written against this, so
// that they need no page composition.
#pragma once

#include "core/identifiers.h"

#include <string>
#include <string_view>

namespace velto {

class PageDirectory : public IdentifierRules {
public:
    // Folder of the program files, ending in "/".
    virtual const std::string& program_dir() const = 0;
    // Folder of the user's own files (bookmarks, pinpoint choices, added short
    // names of laws), ending in "/": the program folder unless it is an
    // installation or takes no files.
    virtual const std::string& user_dir() const { return program_dir(); }
    // Reads the page list unless it has been read; false when it cannot be
    // read (the failure has been reported).
    virtual bool load_pages() const = 0;
    // A name of law `id_hn` (kLawNameGeneral, …); empty for an unknown law.
    virtual std::string _law_name(std::string_view id_hn, int type) const = 0;
    // Page count and number of a page of a split article; false when it is not split.
    virtual bool _split_info(std::string_view id_fn, int& count, int& number) const = 0;
};

} // namespace velto
