#include "search/like_text.h"

#include "core/sjis.h"

#include <sqlite3.h>

#include <string>

namespace velto {

bool is_plain_utf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode_at(text, pos);
        // A real U+FFFD takes three bytes; one byte read as it is a fault.
        if (c.bytes == 1 && static_cast<unsigned char>(text[pos]) >= 0x80)
            return false;
        pos += c.bytes;
    }
    return true;
}

bool like_answerable(std::string_view word)
{
    using namespace std::string_view_literals;
    if (word.empty() || word.find_first_of("%_\0"sv) != std::string_view::npos)
        return false;
    // SQLite reads U+FFFE and U+FFFF as U+FFFD, so these three match more than their bytes.
    for (std::string_view odd : {"\xEF\xBF\xBD"sv, "\xEF\xBF\xBE"sv, "\xEF\xBF\xBF"sv}) {
        if (word.find(odd) != std::string_view::npos)
            return false;
    }
    return is_plain_utf8(word);
}

std::string_view like_subject(std::string_view stored)
{
    const std::size_t nul = stored.find('\0');
    return nul == std::string_view::npos ? stored : stored.substr(0, nul);
}

bool like_contains(std::string_view text, std::string_view word)
{
    const std::string pattern = "%" + std::string(word) + "%";
    const std::string subject(like_subject(text));
    return sqlite3_strlike(pattern.c_str(), subject.c_str(), 0) == 0;
}

} // namespace velto
