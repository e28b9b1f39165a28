// Reads arbitrary bytes as a typed citation and as an alias file.
//
// The citation goes through every reading routine: normalising, the part
// after the law's name, the leading parts, the notification form. What they
// promise is checked: normalising twice changes nothing more, what is left
// unread is the end of the text, the leading parts lie within it, and numbers
// are never negative. The same bytes read as an alias file give aliases with
// a name and a law. Sanitizers catch memory and undefined-behaviour faults,
// libFuzzer's timeouts catch runaway loops.
#include "fuzz/fuzz_check.h"
#include "citations/citation_aliases.h"
#include "citations/citation_parser.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace velto;
using velto::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::string normal = normalize_citation(text);
    check(normalize_citation(normal) == normal);

    CitationBody body;
    std::string unread;
    if (!parse_citation_body(normal, body, unread))
        check(std::string_view(normal).ends_with(unread));
    for (const int number : {body.article, body.branch1, body.branch2, body.paragraph, body.item, body.item_branch,
                             body.sub_item, body.sub_sub_item, body.table, body.table_branch})
        check(number >= 0);
    check(leading_parts_length(normal) <= normal.size());

    NoticeCitation notice;
    if (parse_notice_citation(normal, notice))
        check(notice.era_code >= 0 && notice.era_year >= 0 && notice.number >= 0);

    std::vector<std::string> problems;
    for (const CitationAlias& alias : parse_aliases(text, problems))
        check(!alias.name.empty() && !alias.law.empty());
    return 0;
}
