// Which edition of its law a page shows: the editions read at start-up, and
// the line every page of a law whose text may be out of date carries at its
// top. The line is composed here, from T_版, and never stored in the text:
// it follows the date the page is shown on, and the search does not find it.
#include "compose/html_format.h"
#include "compose/velto_doc.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace velto {

namespace {

std::string system_today()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return buffer;
}

} // namespace

void CVeltoDoc::load_editions(const std::string& today)
{
    today_ = today.empty() ? system_today() : today;
    editions_.clear();
    editions_readable_ = read_law_editions(db_, editions_);
    if (!editions_readable_)
        return;
    try {
        const LawFamilies families = read_law_families(db_);
        try {
            read_main_provision_dates(db_, editions_, families, today_);
        } catch (const ComponentError&) {
            // Without them an order is measured against its act's newest edition.
        }
        mark_outdated_editions(editions_, families, today_);
    } catch (const ComponentError&) {
        // Without the families an edition is still measured by its age.
        mark_outdated_editions(editions_, LawFamilies(), today_);
    }
}

std::string CVeltoDoc::_edition_notice(std::string_view law) const
{
    for (const LawEdition& edition : editions_) {
        if (edition.law != law)
            continue;
        if (!edition.outdated)
            return {};
        return "<p class=\"edition\" style=\"color:#C00000; font-weight:bold;\">" +
               html_escape(outdated_edition_notice(edition.enforced)) + "</p>\n";
    }
    return {};
}

void CVeltoDoc::insert_edition_notice(std::string_view law, std::string& document) const
{
    const std::string notice = _edition_notice(law);
    if (notice.empty())
        return;
    std::size_t at = document.find("<body");
    at = at == std::string::npos ? std::string::npos : document.find('>', at);
    document.insert(at == std::string::npos ? 0 : at + 1, "\n" + notice);
}

} // namespace velto
