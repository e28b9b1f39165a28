#include "citations/readable_text.h"

#include "citations/link_index.h"
#include "compose/citation_spans.h"

#include "compose/markup.h"
#include "settings/settings.h"

namespace velto {

std::string marked_links_html(std::string_view id_bn, std::string_view stored, bool table)
{
    // Links need no colours: the settings are never read for them.
    static const DisplaySettings kNoSettings{};
    const TextMarkup markup(kNoSettings);
    return markup._mark_explicit_links(id_bn, markup._mark_article_links(id_bn, stored, table));
}

std::string marked_links_html(Database& db, std::string_view id_bn, bool table)
{
    std::string stored = stored_link_text(db, id_bn, table);
    if (!table) {
        CitationSpanCache spans;
        stored = mark_citation_spans(id_bn, stored, spans.spans_of(db, id_bn));
    }
    return marked_links_html(id_bn, stored, table);
}

} // namespace velto
