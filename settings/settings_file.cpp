#include "settings/settings_file.h"

#include <QIODevice>
#include <QString>
#include <QVariant>

#include <map>

namespace velto {

namespace {

const QString kGeneralSection = QStringLiteral("General");
constexpr QLatin1StringView kBytesPrefix("@ByteArray(");

bool is_hex_digit(char32_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hex_value(char32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

// A character read from a numeric escape; one that is no character becomes U+FFFD.
char32_t usable_char(char32_t value)
{
    return value < 0x110000 && (value < 0xD800 || value > 0xDFFF) ? value : U'\uFFFD';
}

// A line or key without the blanks around it. Only ASCII blanks count: a
// value may end in an ideographic or other Unicode space, and the writer
// leaves those as they are.
QString without_blanks(const QString& text)
{
    const auto blank = [](QChar c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

// ---- keys ------------------------------------------------------------------

// Section and value names keep letters, digits and "-_./"; every other
// character is written %XX (below 256) or %UXXXX.
bool plain_key_char(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '/';
}

QByteArray escaped_key(const QString& key)
{
    QByteArray out;
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (plain_key_char(c))
            out += static_cast<char>(c);
        else if (c < 0x100)
            out += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

QString unescaped_key(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '%') {
            const bool wide = i + 1 < text.size() && text[i + 1] == 'U';
            const qsizetype digits = wide ? 4 : 2;
            const qsizetype from = i + (wide ? 2 : 1);
            if (from + digits <= text.size()) {
                int value = 0;
                bool ok = true;
                for (qsizetype k = from; k < from + digits && ok; ++k) {
                    const int d = hex_value(text[k].unicode());
                    ok = d >= 0;
                    value = value * 16 + d;
                }
                if (ok) {
                    out += QChar(static_cast<char16_t>(value));
                    i = from + digits - 1;
                    continue;
                }
            }
        }
        out += text[i];
    }
    return out;
}

// A key as QSettings keeps it: no empty parts between, before or after "/".
QString normalised_key(const QString& key)
{
    return key.split('/', Qt::SkipEmptyParts).join('/');
}

// ---- values ----------------------------------------------------------------

// Writes one character with the escapes the reader undoes. After a numeric
// escape, a following hex digit is escaped too so that it is not read as
// part of the number.
void append_escaped(QByteArray& out, char32_t c, bool bytes, bool& escape_next_digit)
{
    const bool was_numeric = escape_next_digit;
    escape_next_digit = false;
    switch (c) {
    case '\\': out += "\\\\"; return;
    case '"': out += "\\\""; return;
    case '\a': out += "\\a"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    case '\v': out += "\\v"; return;
    default: break;
    }
    if (c < 0x20 || c == 0x7F || (bytes && c >= 0x80) || (was_numeric && is_hex_digit(c))) {
        out += "\\x" + QByteArray::number(static_cast<uint>(c), 16);
        escape_next_digit = true;
        return;
    }
    if (c < 0x80)
        out += static_cast<char>(c);
    else
        out += QString::fromUcs4(&c, 1).toUtf8();
}

bool needs_quotes(const QByteArray& escaped)
{
    if (escaped.isEmpty())
        return false;
    return escaped.front() == ' ' || escaped.back() == ' ' || escaped.contains(';') || escaped.contains(',') ||
           escaped.contains('=');
}

QByteArray quoted_if_needed(QByteArray escaped)
{
    return needs_quotes(escaped) ? '"' + escaped + '"' : escaped;
}

QByteArray escaped_text(const QString& text)
{
    QByteArray out;
    bool escape_next_digit = false;
    if (text.startsWith('@'))
        out += '@'; // "@@" keeps a text that begins with "@" from reading as a type
    for (const char32_t c : text.toUcs4())
        append_escaped(out, c, false, escape_next_digit);
    return quoted_if_needed(out);
}

QByteArray escaped_bytes(const QByteArray& bytes)
{
    QByteArray out(kBytesPrefix.data(), kBytesPrefix.size());
    bool escape_next_digit = false;
    for (const char b : bytes)
        append_escaped(out, static_cast<unsigned char>(b), true, escape_next_digit);
    out += ')';
    return quoted_if_needed(out);
}

// The written form of a value; empty with `ok` false for kinds not kept here.
QByteArray formatted_value(const QVariant& value, bool& ok)
{
    ok = true;
    switch (value.typeId()) {
    case QMetaType::QString: return escaped_text(value.toString());
    case QMetaType::QByteArray: return escaped_bytes(value.toByteArray());
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return QByteArray::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
        return QByteArray::number(value.toULongLong());
    case QMetaType::Bool: return value.toBool() ? "true" : "false";
    default: ok = false; return {};
    }
}

// The text of a value as stored: quotes removed, escapes undone, a ";"
// outside quotes ends it (a comment), blanks around it outside quotes dropped.
QString unescaped_value(const QString& raw)
{
    const std::u32string chars = raw.toStdU32String();
    std::u32string out;
    bool quoted = false;
    std::size_t keep = 0; // length of `out` without trailing blanks outside quotes
    std::size_t i = 0;
    while (i < chars.size() && (chars[i] == ' ' || chars[i] == '\t'))
        ++i;
    for (; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c == '"') {
            quoted = !quoted;
            keep = out.size();
            continue;
        }
        if (!quoted && c == ';')
            break;
        if (c == '\\') {
            if (++i >= chars.size())
                break;
            const char32_t e = chars[i];
            switch (e) {
            case 'a': out += U'\a'; break;
            case 'b': out += U'\b'; break;
            case 'f': out += U'\f'; break;
            case 'n': out += U'\n'; break;
            case 'r': out += U'\r'; break;
            case 't': out += U'\t'; break;
            case 'v': out += U'\v'; break;
            case 'x': {
                char32_t value = 0;
                while (i + 1 < chars.size() && is_hex_digit(chars[i + 1])) {
                    ++i;
                    if (value < 0x110000)
                        value = value * 16 + static_cast<char32_t>(hex_value(chars[i]));
                }
                out += usable_char(value);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    char32_t value = e - '0';
                    while (i + 1 < chars.size() && chars[i + 1] >= '0' && chars[i + 1] <= '7') {
                        ++i;
                        if (value < 0x110000)
                            value = value * 8 + (chars[i] - '0');
                    }
                    out += usable_char(value);
                } else {
                    out += e; // \" \' \? \\ and anything else stand for themselves
                }
                break;
            }
            keep = out.size();
            continue;
        }
        out += c;
        if (quoted || (c != ' ' && c != '\t'))
            keep = out.size();
    }
    out.resize(keep);
    return QString::fromStdU32String(out);
}

// The value a stored text stands for: text, bytes, or nothing for serialised
// types that are not read here.
QVariant value_of(const QString& raw)
{
    const QString text = unescaped_value(raw);
    if (!text.startsWith('@'))
        return text;
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    if (text.startsWith(kBytesPrefix) && text.endsWith(')')) {
        const QString inner = text.mid(kBytesPrefix.size(), text.size() - kBytesPrefix.size() - 1);
        QByteArray bytes;
        bytes.reserve(inner.size());
        for (const QChar c : inner) {
            if (c.unicode() > 0xFF)
                return {}; // not a byte
            bytes += static_cast<char>(c.unicode());
        }
        return bytes;
    }
    // "@Variant(...)", "@Rect(...)", "@Invalid()" and the like.
    if (text.size() > 1 && text[1].isLetter() && text.endsWith(')'))
        return {};
    return text;
}

qsizetype stored_size(const QVariant& value)
{
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray().size() : value.toString().toUtf8().size();
}

bool read_settings_device(QIODevice& device, QSettings::SettingsMap& map)
{
    if (device.size() > kMaxSettingsFileSize)
        return true; // not the program's file: read as empty, replaced at the next write
    map = parse_settings_text(device.read(kMaxSettingsFileSize));
    return true;
}

bool write_settings_device(QIODevice& device, const QSettings::SettingsMap& map)
{
    const QByteArray text = format_settings_text(map);
    return device.write(text) == text.size();
}

} // namespace

QSettings::SettingsMap parse_settings_text(const QByteArray& text)
{
    QSettings::SettingsMap map;
    QString section;
    bool section_valid = true;
    qsizetype budget = kSettingsReadBudget;
    for (qsizetype from = 0; from < text.size();) {
        qsizetype end = text.indexOf('\n', from);
        if (end < 0)
            end = text.size();
        const QString line = without_blanks(QString::fromUtf8(text.constData() + from, end - from));
        from = end + 1;
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            section_valid = line.endsWith(']') && line.size() > 2;
            if (section_valid) {
                section = unescaped_key(without_blanks(line.mid(1, line.size() - 2)));
                if (section == kGeneralSection)
                    section.clear();
            }
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!section_valid || equals <= 0)
            continue;
        const QString name = unescaped_key(without_blanks(line.left(equals)));
        const QVariant value = value_of(line.mid(equals + 1));
        if (!value.isValid() || stored_size(value) > kMaxSettingsValueSize)
            continue;
        const QString key = normalised_key(section + '/' + name);
        if (key.isEmpty())
            continue;
        bool ok = false;
        const qsizetype cost = escaped_key(key).size() + formatted_value(value, ok).size() + 4;
        if (cost > budget)
            break; // what is read must fit in the file when it is written back
        budget -= cost;
        map.insert(key, value);
    }
    return map;
}

QByteArray format_settings_text(const QSettings::SettingsMap& map)
{
    // Sections in order, the keys without a section first as "[General]".
    std::map<QString, QByteArray> sections;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        bool ok = false;
        const QByteArray value = formatted_value(it.value(), ok);
        if (!ok)
            continue;
        const qsizetype slash = it.key().indexOf('/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        const QString name = slash < 0 ? it.key() : it.key().mid(slash + 1);
        sections[section] += escaped_key(name) + '=' + value + '\n';
    }
    QByteArray out;
    for (const auto& [section, lines] : sections) {
        if (!out.isEmpty())
            out += '\n';
        out += '[' + escaped_key(section.isEmpty() ? kGeneralSection : section) + "]\n" + lines;
    }
    return out;
}

QSettings::Format settings_file_format()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), read_settings_device, write_settings_device);
    return format;
}

} // namespace velto
