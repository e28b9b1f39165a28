// The page-title caption of the status bar.
#include "compose/velto_doc.h"

#include "core/html_text.h"

#include <cstdio>

namespace velto {

namespace {

// Pages without a better caption show ten full-width blanks.
constexpr std::string_view kBlankCaption = "　　　　　　　　　　";

} // namespace

std::string CVeltoDoc::_status_caption(std::string_view id) const
{
    std::string caption(kBlankCaption);
    IdKind kind;
    if (_id_kind(id, kind)) {
        // The law's name and the page's caption as a reader sees them in the page.
        const std::string law_name = shown_text(_law_name(id.substr(0, 3), kLawNameGeneral));
        std::string label;
        switch (kind) {
        case IdKind::Article:
            if (_article_label(id, label))
                caption = law_name + " " + label;
            break;
        case IdKind::Supplement:
            caption = law_name + " 附則";
            break;
        case IdKind::Notice:
            if (_notice_number_label(id, label, false)) {
                caption = law_name + " " + label;
                std::string name, supplement;
                if (_page_names(id, name, supplement))
                    caption += " " + shown_text(supplement);
                int count = 0, number = 0;
                if (_split_info(id, count, number)) {
                    char pages[32];
                    std::snprintf(pages, sizeof pages, "(P.%02d/%02d)", number, count);
                    caption.append(" ").append(pages);
                }
            }
            break;
        case IdKind::Table:
            if (_table_label(id, label))
                caption = label;
            break;
        case IdKind::Special:
            break;
        }
    }
    if (status_sink_)
        status_sink_(caption);
    return caption;
}

} // namespace velto
