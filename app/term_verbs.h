// `velto --terms LAW` and `velto --term-at SENTENCE TERM`: the terms a law
// defines, one a line (the term, a tab, the defining sentence, a tab, the
// scope as a reader says it), and the sentence that defines a word as it is
// used in a sentence (its scope and an order's inheritance applied). A law or
// sentence that is not known, a word nothing defines there, a database
// without its terms: a message on standard error and exit status 1.
#pragma once

#include <string>

namespace velto {

class CVeltoDoc;

// `law` is its code (01A) or its title.
int print_law_terms(CVeltoDoc& doc, const std::string& law);
int print_term_at(CVeltoDoc& doc, const std::string& sentence, const std::string& term);

} // namespace velto
