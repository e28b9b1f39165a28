#include "catalog/visible_text.h"

#include "core/html_text.h"
#include "core/sjis.h"

namespace velto {

namespace {

// The longest reference the importer and the sample write, "[第1234条の12の12/01B]".
constexpr std::size_t kReferenceLimit = 40;

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
            const auto [c, reference_length] = character_reference(text, pos);
            if (reference_length == 0) {
                out += text[pos++];
                continue;
            }
            utf8_append(out, c);
            pos += reference_length;
        } else {
            out += text[pos++];
        }
    }
    return out;
}

} // namespace velto
