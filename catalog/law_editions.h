// Which text of each imported law the database holds: the revision facts that
// velto-import stores in T_版 (title, law number, the revision's 施行日), and
// the earlier editions it keeps in T_旧版 for comparisons. The version dialog
// and `velto --version` list them, so that a user can see at a glance whether
// the law text is current; an edition that may be out of date is marked, and
// every page of its law says so (compose/edition_notice.cpp).
#pragma once

#include "catalog/law_family.h"
#include "core/database.h"

#include <string>
#include <string_view>
#include <vector>

namespace velto {

// An edition the database keeps beside the current one (T_旧版).
struct EarlierEdition {
    std::string title;    // 題名 of that edition (a law may have been renamed since)
    std::string enforced; // 施行日, "2019-12-01"; empty when unknown
    std::string revision; // 版ID
};

struct LawEdition {
    std::string law;      // ID_HN
    std::string title;    // 題名: 建築基準法
    std::string number;   // 法令番号: 昭和二十五年法律第二百一号
    std::string enforced; // 施行日 of the revision, "2025-12-01"; empty when unknown
    std::string revision; // 版ID
    std::vector<EarlierEdition> earlier; // newest first
    // The 施行日 since which the main provision reads as it does now, when an
    // earlier edition shows it did before `enforced` (read_main_provision_dates);
    // empty when not known to be earlier than `enforced`.
    std::string main_since;
    // The text may lack amendments: it is older than an edition of the act or
    // order it carries out, or more than two years old (mark_outdated_editions).
    bool outdated = false;
};

// The editions of the laws the reader shows, in ID_HN order, each with its
// earlier editions. A database without T_版 (one built before the table
// existed, or without imported laws) has none; one without T_旧版 has no
// earlier editions. False when the rows cannot be read; `editions` is then empty.
bool read_law_editions(Database& db, std::vector<LawEdition>& editions);

// Sets `main_since` of every law that an edition of its family lags behind:
// an act whose newest edition changed only its supplementary provisions still
// has the main provision its order carries out. Compares the current main
// provision with the earlier editions, newest first, only where it decides
// (an edition more than two years before `today` is outdated anyway).
// Throws ComponentError.
void read_main_provision_dates(Database& db, std::vector<LawEdition>& editions, const LawFamilies& families,
                               std::string_view today);

// Sets `outdated` of every edition whose 施行日 lies more than two years
// before `today` ("YYYY-MM-DD"), or before the date since which the main
// provision of a law it carries out (`families`) reads as now (`main_since`,
// else its 施行日). An edition of unknown date is not marked: the dialog says
// the date is unknown instead.
void mark_outdated_editions(std::vector<LawEdition>& editions, const LawFamilies& families, std::string_view today);

// "2025-12-01" -> "令和7年12月1日" (the first year of an era is 元年); a text
// that is not such a date comes back unchanged.
std::string japanese_date(std::string_view iso_date);

// The edition the window title and the version dialog name, "建築基準法
// 令和7年12月1日施行": that of 建築基準法 (law 01A) when the database holds it
// with its 施行日, else that of the first law (in ID_HN order) whose 施行日 is
// known; empty when no law's is.
std::string edition_caption(const std::vector<LawEdition>& editions);

// The line at the top of every page of a law whose edition is outdated:
// 「この法令の本文は2019年6月25日施行時点のものです。それ以後の改正は含まれていません。」
// (plain text; the date as the edition has it when it is not a date).
std::string outdated_edition_notice(std::string_view iso_date);

// What the version dialog says and `velto --version` prints: the program's
// name and version, then per law its title and number, "建築基準法（昭和二十五年法律
// 第二百一号）", on a line of its own "　令和7年12月1日施行" (marked when the
// edition is outdated), and a line per earlier edition, "　旧版　令和元年12月1日施行".
// `readable` false adds that the laws could not be read.
std::string about_text(const std::vector<LawEdition>& editions, bool readable = true);

} // namespace velto
