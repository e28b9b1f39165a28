// 「条文をコピー」: a provision in full as plain text, for a report or a
// letter, headed by its citation and the edition of the law text
// ("建築基準法施行令第百十二条第十八項（令和7年12月1日施行）").
//
// It reads the stored sentences and tables of the database, not the page
// shown: the text is the same whatever the display settings, the reference
// blocks and marks of the page are left out, and a large article comes whole
// even when its page shows it shortened. The numbering labels are those of
// the page; links are their words; a table comes as lines of cells separated
// by tabs. Placing the text on the clipboard is the page view's.
//
// For any page and sentence it gives a text or false: a page the reader
// cannot name (the program's own pages, a wrong identifier) or one without
// sentences gives false, never a guess.
#pragma once

#include "compose/velto_doc.h"

#include <string>
#include <string_view>

namespace velto {

// The paragraph that holds the sentence `sentence` (an ID_BN of `page`) with
// its items, or the whole article of `page` (all its pages) when `sentence`
// is empty or not of the page. Notifications and appended tables come as
// their whole page. The first line is the citation with the edition, when
// the database tells the law's 施行日. Throws ComponentError when the
// database fails.
bool copy_provision(CVeltoDoc& doc, std::string_view page, std::string_view sentence, std::string& text);

// The rows of an HTML table as lines, each the words of its cells separated
// by tabs; text outside any row is dropped.
std::string table_text(std::string_view html);

} // namespace velto
