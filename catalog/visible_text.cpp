#include "catalog/visible_text.h"

#include "core/sjis.h"

#include <cstdlib>

namespace velto {

namespace {

// The longest reference the importer and the sample write, "[第1234条の12の12/01B]".
constexpr std::size_t kReferenceLimit = 40;

// The character of the reference at `pos` ("&amp;"); its length in `length`, 0 when it is none.
char32_t character_reference(std::string_view text, std::size_t pos, std::size_t& length)
{
    length = 0;
    const std::size_t end = text.find(';', pos);
    if (end == std::string_view::npos || end - pos > 10)
        return 0;
    const std::string_view name = text.substr(pos + 1, end - pos - 1);
    static constexpr std::pair<std::string_view, char32_t> kNamed[] = {
        {"amp", U'&'}, {"lt", U'<'}, {"gt", U'>'}, {"quot", U'"'}, {"apos", U'\''}, {"nbsp", U' '}};
    for (const auto& [n, c] : kNamed)
        if (name == n) {
            length = end - pos + 1;
            return c;
        }
    if (name.size() < 2 || name[0] != '#')
        return 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits(name.substr(hex ? 2 : 1));
    if (digits.empty())
        return 0;
    char* stop = nullptr;
    const unsigned long value = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
    if (*stop != '\0' || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    length = end - pos + 1;
    return static_cast<char32_t>(value);
}

// The visible words of the reference mark "[第20条]" at `pos`, its length in `length`; 0 when it is none.
std::string_view reference_words(std::string_view text, std::size_t pos, std::size_t& length)
{
    length = 0;
    // Only a reference of Arabic digits is a link on the page; "[第十条]" is shown as stored.
    if (pos + 4 >= text.size() || text[pos + 4] < '0' || text[pos + 4] > '9')
        return {};
    const std::size_t close = text.find(']', pos);
    if (close == std::string_view::npos || close - pos > kReferenceLimit)
        return {};
    std::string_view inside = text.substr(pos + 1, close - pos - 1);
    if (inside.find('[') != std::string_view::npos)
        return {};
    if (const std::size_t slash = inside.find('/'); slash != std::string_view::npos)
        inside = inside.substr(0, slash);
    length = close - pos + 1;
    return inside;
}

} // namespace

bool is_blank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == U'\u3000'; }

std::string visible_text(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        // Plain words up to the next character a mark or a reference can begin with.
        const std::size_t special = text.find_first_of("[K&", pos);
        out.append(text.substr(pos, special == std::string_view::npos ? text.size() - pos : special - pos));
        if (special == std::string_view::npos)
            break;
        pos = special;
        std::size_t length = 0;
        if (text.compare(pos, 2, "[K") == 0 || text.compare(pos, 2, "K]") == 0) {
            pos += 2;
        } else if (text.compare(pos, 2, "[L") == 0) {
            const std::size_t end = text.find("L]", pos + 2);
            const std::size_t slash = end == std::string_view::npos ? end : text.rfind('/', end);
            if (end == std::string_view::npos || slash == std::string_view::npos || slash < pos + 2) {
                out += text.substr(pos, 2);
                pos += 2;
                continue;
            }
            out += text.substr(pos + 2, slash - pos - 2);
            pos = end + 2;
        } else if (text.compare(pos, 4, "[第") == 0) {
            const std::string_view words = reference_words(text, pos, length);
            if (length == 0) {
                out += text[pos++];
                continue;
            }
            out += words;
            pos += length;
        } else if (text[pos] == '&') {
            const char32_t c = character_reference(text, pos, length);
            if (length == 0) {
                out += text[pos++];
                continue;
            }
            utf8_append(out, c);
            pos += length;
        } else {
            out += text[pos++];
        }
    }
    return out;
}

} // namespace velto
