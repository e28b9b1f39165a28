#include "compose/content_policy.h"

namespace velto {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kSrcdoc = "srcdoc";
constexpr std::string_view kRefused = "data-refused-";

bool is_srcdoc_at(std::string_view html, std::size_t at)
{
    if (html.size() - at < kSrcdoc.size())
        return false;
    for (std::size_t i = 0; i < kSrcdoc.size(); ++i) {
        char c = html[at + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kSrcdoc[i])
            return false;
    }
    return true;
}

} // namespace

std::string content_policy_meta()
{
    return std::string("<meta http-equiv=\"Content-Security-Policy\" content=\"") + kPageContentPolicy + "\">\n";
}

std::string with_content_policy(std::string_view html)
{
    const std::size_t at = html.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    std::string out;
    const std::string meta = content_policy_meta();
    out.reserve(html.size() + meta.size());
    out.append(html.substr(0, at)).append(meta);
    // Every "srcdoc", in any case, as a name nothing knows: no attribute of
    // that name is left, whatever the markup around it.
    for (std::size_t from = at; from < html.size();) {
        std::size_t next = from;
        while (next < html.size() && ((html[next] | 0x20) != 's' || !is_srcdoc_at(html, next)))
            ++next;
        out.append(html.substr(from, next - from));
        if (next < html.size()) {
            out.append(kRefused).append(html.substr(next, kSrcdoc.size()));
            next += kSrcdoc.size();
        }
        from = next;
    }
    return out;
}

} // namespace velto
