// The numbers of 条・項・号 in Arabic digits, for readers who read them so:
// "第二十七条第一項第三号の二" becomes "第27条第1項第3号の2", "前二項" "前2項",
// and an item's label "三の二" "3の2". The page's titles and paragraph
// numbers are in Arabic digits already, so with this the whole page is.
//
// Only the words are changed: tags (and so the addresses and ids of links)
// are left as they are, and so is every other number (dates, amounts,
// 別表第一, イ and ロ). Any text may be passed; kanji numerals that do not
// read as a number stay as they are.
#pragma once

#include <string>

namespace velto {

// Rewrites the numbers of citations and headings in page HTML.
void arabic_provision_numbers(std::string& html);
// Rewrites a numbering label that is a kanji numeral ("十二", "三の二").
void arabic_label(std::string& label);

} // namespace velto
