// The title blocks that open article, supplementary-provisions and
// notification pages, in the top-heading colour.
#include "compose/markup.h"

#include "core/identifiers.h"

namespace velto {

namespace {

std::string heading_open(const std::string& colour)
{
    return "<font style=\"font-size: 9pt; font-weight: bold; color: " + colour + "\">\n";
}

// A large item: the number (or word) in 18 points inside the heading.
std::string large_item(const std::string& opening, std::string_view item)
{
    std::string out = opening;
    out.append(item).append("\n").append("</font>\n");
    return out;
}

std::string large_opening(const std::string& colour)
{
    return "<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: " + colour + "\">\n";
}

std::string large_notice_opening(const std::string& colour)
{
    return "<font style=\"font-size: 18pt; font-family: 'Century'; color: " + colour + "\">\n";
}

std::string caption_line(std::string_view caption)
{
    std::string out = "　〔";
    out.append(caption).append("〕\n");
    return out;
}

} // namespace

std::string TextMarkup::_title_article(int article, int branch1, int branch2, std::string_view caption,
                                       bool plain) const
{
    if (article <= 0)
        return {};
    if (plain) {
        std::string out(caption);
        out += " 第" + std::to_string(article) + "条";
        if (branch1 > 0)
            out += "の" + std::to_string(branch1);
        if (branch2 > 0)
            out += "の" + std::to_string(branch2);
        return out;
    }
    const std::string colour = colour_to_html(display_[DisplaySettings::FontColorTop]);
    const std::string large = large_opening(colour);
    std::string out = "<div>\n" + heading_open(colour);
    out += "第\n";
    out += large_item(large, std::to_string(article));
    out += "条";
    if (branch1 > 0) {
        out += "の\n" + large_item(large, std::to_string(branch1));
        if (branch2 > 0)
            out += "の\n" + large_item(large, std::to_string(branch2));
    }
    out += caption_line(caption);
    out += "</font>\n";
    out += "</div>\n";
    return out;
}

std::string TextMarkup::_title_supplement(std::string_view caption) const
{
    const std::string colour = colour_to_html(display_[DisplaySettings::FontColorTop]);
    std::string out = "<div>\n" + heading_open(colour);
    out += large_opening(colour) + "附則\n" + "</font>\n";
    out += caption_line(caption);
    out += "</font>\n";
    out += "</div>\n";
    return out;
}

std::string TextMarkup::_title_notice(int era_code, int era_year, int notice_number, std::string_view caption) const
{
    const std::string colour = colour_to_html(display_[DisplaySettings::FontColorTop]);
    const std::string large = large_notice_opening(colour);
    std::string out = "<div>\n" + heading_open(colour);
    out.append(era_name_of_code(era_code)).append("\n");
    out += large_item(large, std::to_string(era_year));
    out += "年\n";
    out += large_item(large, std::to_string(notice_number));
    out += "号";
    out += caption_line(caption);
    out += "</font>\n";
    out += "</div>\n";
    return out;
}

} // namespace velto
