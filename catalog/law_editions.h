// Which text of each imported law the database holds: the revision facts that
// velto-import stores in T_版 (title, law number, the revision's 施行日). The
// version dialog and `velto --version` list them, so that a user can see at a
// glance whether the law text is current.
#pragma once

#include "core/database.h"

#include <string>
#include <string_view>
#include <vector>

namespace velto {

struct LawEdition {
    std::string law;      // ID_HN
    std::string title;    // 題名: 建築基準法
    std::string number;   // 法令番号: 昭和二十五年法律第二百一号
    std::string enforced; // 施行日 of the revision, "2025-12-01"; empty when unknown
    std::string revision; // 版ID
};

// The editions of the laws the reader shows, in ID_HN order. A database without
// T_版 (one built before the table existed, or without imported laws) has none.
// False when the rows cannot be read; `editions` is then empty.
bool read_law_editions(Database& db, std::vector<LawEdition>& editions);

// "2025-12-01" -> "令和7年12月1日" (the first year of an era is 元年); a text
// that is not such a date comes back unchanged.
std::string japanese_date(std::string_view iso_date);

// The edition the window title and the version dialog name, "建築基準法
// 令和7年12月1日施行": that of 建築基準法 (law 01A) when the database holds it
// with its 施行日, else that of the first law (in ID_HN order) whose 施行日 is
// known; empty when no law's is.
std::string edition_caption(const std::vector<LawEdition>& editions);

// What the version dialog says and `velto --version` prints: the program's
// name and version, then per law its title and number, "建築基準法（昭和二十五年法律
// 第二百一号）", and on a line of its own "　令和7年12月1日施行". `readable` false
// adds that the laws could not be read.
std::string about_text(const std::vector<LawEdition>& editions, bool readable = true);

} // namespace velto
