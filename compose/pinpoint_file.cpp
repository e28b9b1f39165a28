#include "compose/pinpoint_file.h"

#include <QSaveFile>
#include <QString>

#include <filesystem>
#include <fstream>

namespace velto {

namespace {

// A pinpoint file holds a few hundred entries; a larger one is no pinpoint
// file, and is not read into memory.
constexpr std::uintmax_t kMaxFileSize = 16 * 1024 * 1024;
constexpr std::string_view kEntrySeparator = ", ";

bool printable(std::string_view text)
{
    for (const char c : text) {
        if (c <= ' ' || c > '~')
            return false;
    }
    return true;
}

QString qpath(const std::string& path) { return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())); }

} // namespace

void read_pinpoint_text(std::string_view text, PinPointTable& table)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.remove_suffix(1);
        if (line.find("VERSION") != std::string_view::npos || line.size() < kPinPointKeyLength)
            continue;
        const std::string_view key = line.substr(0, kPinPointKeyLength);
        const std::string_view target = line.substr(line.size() - std::min(line.size(), kPinPointTargetLength));
        if (printable(key) && printable(target))
            _pinpoint_set(table, key, target);
    }
}

std::string pinpoint_file_text(const PinPointTable& table)
{
    std::string text(kPinPointVersionLine);
    text += "\r\n";
    for (const auto& [key, target] : table) {
        text += key;
        text += kEntrySeparator;
        text += target;
        text += "\r\n";
    }
    return text;
}

bool read_pinpoint_file(const std::string& path, PinPointTable& table)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileSize)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    read_pinpoint_text(text, table);
    return true;
}

bool write_pinpoint_file(const std::string& path, const PinPointTable& table)
{
    const std::string text = pinpoint_file_text(table);
    QSaveFile file(qpath(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace velto
