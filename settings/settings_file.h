// The text format of the per-user settings file.
//
// The file reads like the INI files of QSettings ("[Section]" lines, then
// "name=value" lines, with the same quoting and backslash escapes), so files
// written by earlier versions read as before. What differs is that every value
// is taken as plain text, or as bytes when written "@ByteArray(...)": the
// serialised types QSettings would decode ("@Variant(...)", "@Rect(...)" ...)
// are never decoded and count as absent. Decoding them recurses once per
// nesting level, so a crafted value could exhaust the stack.
//
// A settings file holds a few dozen short values; the largest legitimate one
// is a search text of 2048 Shift-JIS bytes (at most 6144 bytes of UTF-8). The
// limits below lie far above that and keep a crafted or damaged file from
// costing memory or growing: a file over kMaxSettingsFileSize is read as
// empty, a value over kMaxSettingsValueSize is left out, and values stop being
// taken once their written form would pass kSettingsReadBudget. Whatever is
// read can therefore always be written back within the file limit, and the
// next write replaces a file that was refused.
#pragma once

#include <QByteArray>
#include <QSettings>

namespace velto {

inline constexpr qint64 kMaxSettingsFileSize = 1024 * 1024;
inline constexpr qsizetype kMaxSettingsValueSize = 8 * 1024; // UTF-8 bytes of a text, or bytes
inline constexpr qsizetype kSettingsReadBudget = kMaxSettingsFileSize / 2;

// Full keys ("Section/name"; keys of the section "General" have no section
// part) to values: QString for text, QByteArray for bytes. Lines that are
// neither a section nor "name=value", entries after a malformed section line
// and values of any other serialised type are left out. Never fails.
QSettings::SettingsMap parse_settings_text(const QByteArray& text);

// The text of a map as parse_settings_text reads it back. Integers are
// written as decimal text; values of a kind other than text, bytes, integer
// or boolean are left out.
QByteArray format_settings_text(const QSettings::SettingsMap& map);

// The format above registered with QSettings for files ending in ".conf";
// registered on first use.
QSettings::Format settings_file_format();

} // namespace velto
