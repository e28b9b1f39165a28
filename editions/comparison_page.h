// The 新旧対照 of an article as a reader sees it: HTML for the page view or a
// dialog's web view, in the page's fonts and colours, and text for the
// command line. 改正後 stands on the left and 改正前 on the right; changed
// passages are underlined (傍線) in HTML and set between ［ and ］ in text;
// unchanged sentences are folded into one row, "２・３　（略）", which the HTML
// opens on a click.
//
// Whatever the law text holds is written as text: it is escaped, never markup.
#pragma once

#include "editions/article_comparison.h"
#include "settings/settings.h"

#include <string>
#include <string_view>

namespace velto {

// The heading of a comparison: "建築基準法施行令　第108条の4（旧 第108条の3）".
std::string comparison_heading(const ArticleComparison& comparison, std::string_view law_name);

// A whole HTML document.
std::string comparison_html(const ArticleComparison& comparison, std::string_view law_name,
                            const DisplaySettings& display);

// Lines of text: the heading, "改正後" tab "改正前" with the two 施行日, then a
// line per row, the newer side, a tab, the older side.
std::string comparison_text(const ArticleComparison& comparison, std::string_view law_name);

} // namespace velto
