// --export-html: every page the reader lists, and the program's own pages,
// written as OUTDIR/ID.html for keeping the law text in a browser or on an
// intranet.
//
// Every page carries the reader's content policy as the first thing it holds
// (compose/content_policy.h), so a database's script, refresh or external
// load does nothing in a browser either. Nothing planted in OUTDIR is written
// through: each page goes into a new file made exclusively and is renamed
// over its name (core/replace_file.h), so a link standing under a page's name
// (or under any temporary name) is replaced as an entry or avoided, and its
// target stays untouched.
#pragma once

#include <string>

namespace velto {

class CVeltoDoc;
class StderrReporter;

// Writes the pages; each page that cannot be written is named on standard
// error with the reason, then the counts. The exit status: 0 when every page
// was written, else 1.
int export_html(CVeltoDoc& doc, StderrReporter& reporter, const std::string& folder);

} // namespace velto
