// printf-style formatting of numbers and texts into a std::string, for
// statements, labels and pages alike, and the few number forms pages write
// thousands of times, without printf.
#pragma once

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

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

// `value` as "%0*lld" writes it with `width`: zeros after the sign up to
// `width` characters in all.
inline std::string padded_number(long long value, int width)
{
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    std::string_view text(digits, static_cast<std::size_t>(end - digits));
    std::string out;
    if (!text.empty() && text.front() == '-') {
        out += '-';
        text.remove_prefix(1);
    }
    const std::size_t used = out.size() + text.size();
    if (width > 0 && used < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - used, '0');
    out += text;
    return out;
}

} // namespace velto
