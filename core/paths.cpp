#include "core/paths.h"

namespace velto {

std::string folder_of(std::string_view file)
{
    const std::size_t slash = file.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(file.substr(0, slash + 1));
}

std::string file_name_of(std::string_view file)
{
    const std::size_t slash = file.rfind('/');
    return std::string(slash == std::string_view::npos ? file : file.substr(slash + 1));
}

std::string with_trailing_slash(std::string_view folder)
{
    std::string out(folder);
    if (!out.empty() && out.back() != '/')
        out += '/';
    return out;
}

std::string file_url(std::string_view path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    if (path.empty() || path.front() != '/')
        url += '/';
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                          c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || c == ':';
        if (keep) {
            url += ch;
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0x0F];
        }
    }
    return url;
}

} // namespace velto
