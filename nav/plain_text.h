// Text from the database, files or the user shown in Qt widgets, always as
// the plain text it is.
//
// Qt takes any text that looks like markup as rich text: tooltips always,
// labels and message boxes unless told otherwise. A title crafted as markup
// would then load pictures, draw spoofed text, or nest deep enough to freeze
// and crash the reader. Labels and message boxes are set to Qt::PlainText;
// tooltips, which offer no such switch, get their text escaped, and cut.
#pragma once

#include <QString>

namespace velto {

// Characters a tooltip shows at most; a longer text ends in "…".
inline constexpr qsizetype kMaxTooltipCharacters = 1000;

// `text` cut to `max` characters (never inside a surrogate pair), with "…"
// where it was cut.
QString cut_text(const QString& text, qsizetype max);

// A tooltip that shows `text` (cut) as it is, markup characters included;
// empty for an empty text.
QString plain_tooltip(const QString& text);

} // namespace velto
