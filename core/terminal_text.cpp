#include "core/terminal_text.h"

#include "core/sjis.h"

namespace velto {

std::string terminal_text(std::string_view text)
{
    // Runs of printable characters are copied whole; only what is left out
    // or replaced breaks a run.
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte >= 0x20 && byte < 0x7F) {
            ++pos;
            continue;
        }
        const Utf8Char c = utf8_decode_at(text, pos);
        const bool control =
            (c.code < 0x20 && c.code != U'\t' && c.code != U'\n') || (c.code >= 0x7F && c.code <= 0x9F);
        const bool invalid = c.code == 0xFFFD && c.bytes == 1;
        if (control || invalid) {
            out.append(text, copied, pos - copied);
            if (invalid)
                utf8_append(out, U'\uFFFD');
            copied = pos + c.bytes;
        }
        pos += c.bytes;
    }
    out.append(text, copied, std::string_view::npos);
    return out;
}

bool print_text(std::FILE* out, std::string_view text)
{
    const std::string safe = terminal_text(text);
    return std::fwrite(safe.data(), 1, safe.size(), out) == safe.size();
}

} // namespace velto
