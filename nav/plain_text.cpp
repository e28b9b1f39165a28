#include "nav/plain_text.h"


namespace velto {

QString cut_text(const QString& text, qsizetype max)
{
    if (text.size() <= max)
        return text;
    qsizetype end = max;
    if (end > 0 && text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end) + QChar(0x2026);
}

QString plain_tooltip(const QString& text)
{
    if (text.isEmpty())
        return {};
    // Escaped, as rich text that holds nothing but the words (blanks of
    // either width as they are).
    return QStringLiteral("<p style=\"white-space: pre-wrap\">%1</p>")
        .arg(cut_text(text, kMaxTooltipCharacters).toHtmlEscaped());
}

} // namespace velto
