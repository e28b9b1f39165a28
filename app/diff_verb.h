// `velto --diff`: what changed in a law between two of its stored editions,
// a line per article, or the 新旧対照 of one article as text. Refusals (an
// edition not stored, the same edition twice, editions of different laws, a
// law or article that is not known) go to standard error with exit status 1.
#pragma once

#include <string>

namespace velto {

class CVeltoDoc;

// `subject` is a law (its code, 01B, or its title) or a page identifier;
// `older` and `newer` are editions by 施行日 (YYYY-MM-DD) or 版ID.
int print_edition_diff(CVeltoDoc& doc, const std::string& subject, const std::string& older, const std::string& newer);

} // namespace velto
