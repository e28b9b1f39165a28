// The code (ID_HN) a law added to the database gets: a free one in its
// family. A law and its orders and rules share the two-digit number and differ
// by the letter (A the act, B its order, C its rule, D and on further
// ordinances under it), so an order is placed next to its act, a rule next to
// its act and order, found by title (catalog/law_family.h); a law whose family
// the database does not hold starts a new number after the highest in use.
//
// Never gives a code in use; fails, with a message, only when the family's
// letters or the numbers are used up.
#pragma once

#include "catalog/law_family.h"

#include <set>
#include <string>

namespace velto::update {

// The code for a law titled `title` in a database whose laws use `codes` and
// have the titles of `families`; empty with `error` when none is free.
std::string free_law_code(const std::string& title, const std::set<std::string>& codes, const LawFamilies& families,
                          std::string& error);

} // namespace velto::update
