// printf-style formatting of numbers and texts into a std::string, for
// statements, labels and pages alike.
#pragma once

#include <cstdio>
#include <string>

namespace velto {

// printf-style formatting into a std::string.
template <typename... Args>
std::string format(const char* pattern, Args... args)
{
    const int n = std::snprintf(nullptr, 0, pattern, args...);
    if (n <= 0)
        return {};
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), pattern, args...);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

} // namespace velto
