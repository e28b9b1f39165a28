#include "userfiles/pinpoint_file.h"

#include "core/user_file.h"

namespace velto {

namespace {

constexpr std::string_view kEntrySeparator = ", ";

bool printable(std::string_view text)
{
    for (const char c : text) {
        if (c <= ' ' || c > '~')
            return false;
    }
    return true;
}

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
    std::string text;
    if (read_user_file(path, kMaxPinPointFileSize, text) != UserFileRead::Read)
        return false;
    read_pinpoint_text(text, table);
    return true;
}

} // namespace velto
