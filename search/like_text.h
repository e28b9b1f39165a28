// What SQLite's LIKE '%word%' sees of a stored text and of a search word, for
// the parts of the search that answer a word without SQLite
// (search/search_index.h) and must answer it exactly as the search
// statements do (search/page_search.h).
//
// Over text of plain UTF-8 (shortest forms, no surrogates, nothing past
// U+10FFFF), a word without LIKE's wildcards is found exactly where its
// characters stand one after another in the text, Latin letters of either
// case alike (fold_like_case), and a text ends at its first NUL
// (like_subject). Whatever is not plain UTF-8 SQLite decodes in ways of its
// own: such texts are matched by SQLite's own routine (like_contains), and
// such words are left to the statements (like_answerable false).
#pragma once

#include <string_view>

namespace velto {

// True when every character of `text` is plain UTF-8.
bool is_plain_utf8(std::string_view text);

// Whether a byte-for-byte search answers `word` as LIKE '%word%' does: not
// for an empty word, one holding a wildcard of LIKE ("%", "_"), a NUL, a
// character SQLite reads as U+FFFD, or anything but plain UTF-8.
bool like_answerable(std::string_view word);

// What LIKE compares of a stored text: the text up to its first NUL.
std::string_view like_subject(std::string_view stored);

// The character as LIKE compares it: ASCII letters in lower case.
inline char32_t fold_like_case(char32_t c) { return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c; }

// LIKE '%word%' on `text` by SQLite's own routine, for text of any bytes.
bool like_contains(std::string_view text, std::string_view word);

} // namespace velto
