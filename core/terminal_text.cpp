#include "core/terminal_text.h"

#include "core/sjis.h"

namespace velto {

std::string terminal_text(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode_at(text, pos);
        const bool control =
            (c.code < 0x20 && c.code != U'\t' && c.code != U'\n') || (c.code >= 0x7F && c.code <= 0x9F);
        if (!control) {
            if (c.code == 0xFFFD && c.bytes == 1)
                utf8_append(out, U'\uFFFD');
            else
                out.append(text.substr(pos, c.bytes));
        }
        pos += c.bytes;
    }
    return out;
}

bool print_text(std::FILE* out, std::string_view text)
{
    const std::string safe = terminal_text(text);
    return std::fwrite(safe.data(), 1, safe.size(), out) == safe.size();
}

} // namespace velto
