#include "citations/readable_text.h"

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

} // namespace velto
