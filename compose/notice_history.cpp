// The promulgation and last-revision lines of a notification.
#include "compose/html_format.h"
#include "compose/velto_doc.h"

#include <cctype>

namespace velto {

namespace {

constexpr ReportOrigin kHistoryOrigin{"告示の履歴(html形式)を生成する", "CVeltoDoc::_html_history()"};

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

// Reads "YYYY-MM-DD" or "YYYY/MM/DD", optionally followed by a time part
// (" 12:00:00", "T12:00:00"). Anything else is no date.
bool parse_date(std::string_view text, Date& date)
{
    std::size_t pos = 0;
    const auto number = [&](std::size_t min_digits, std::size_t max_digits, int& out) {
        std::size_t digits = 0;
        out = 0;
        while (pos < text.size() && digits < max_digits && std::isdigit(static_cast<unsigned char>(text[pos]))) {
            out = out * 10 + (text[pos] - '0');
            ++pos;
            ++digits;
        }
        return digits >= min_digits;
    };
    if (!number(4, 4, date.year) || pos >= text.size())
        return false;
    const char separator = text[pos];
    if (separator != '-' && separator != '/')
        return false;
    ++pos;
    if (!number(1, 2, date.month) || pos >= text.size() || text[pos] != separator)
        return false;
    ++pos;
    if (!number(1, 2, date.day))
        return false;
    if (pos < text.size() && text[pos] != ' ' && text[pos] != 'T')
        return false;
    return date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= 31;
}

// A stored date in era form, for example 平成18年5月31日, with the era of that
// very day; false when it is no date or lies before the first era.
bool era_date(const CVeltoDoc& doc, std::string_view text, std::string& out)
{
    Date date;
    std::string era;
    int era_year = 0;
    if (!parse_date(text, date) || !doc._era_of_date(date.year, date.month, date.day, era, era_year))
        return false;
    out = format("%s%d年%d月%d日", era.c_str(), era_year, date.month, date.day);
    return true;
}

} // namespace

std::string CVeltoDoc::_html_history(std::string_view id_fn, int /*era_code*/, int /*era_year*/, int number,
                                     int font_size)
{
    const std::string colour = colour_to_html(display_[DisplaySettings::FontColorKkjDate]);
    const std::string key = std::string(id_fn.substr(0, 12)) + "-00";
    std::string promulgation, revision;
    try {
        auto rs = db_.execute(format("SELECT * FROM T_告 WHERE ID_FN = '%s' ", sql_escape(key).c_str()));
        if (rs->eof()) {
            report(reporter_, kHistoryOrigin, ReportVariant::Plain,
                   "データベースのテーブル(T_告)内に告示履歴データを\n見つけることができませんでした。\n\n");
            return {};
        }
        std::string date;
        if (!rs->is_null("公布年月日") && era_date(*this, rs->text("公布年月日"), date)) {
            promulgation = date + "　" + rs->text("公布省名") + format("告示第%d号", number);
        }
        if (!rs->is_null("改正年月日") && !rs->is_null("改正告示番号") && era_date(*this, rs->text("改正年月日"), date)) {
            revision = "最終改正　" + date + "　" + rs->text("改正省名") + format("告示第%d号", rs->number("改正告示番号"));
        }
    } catch (const ComponentError& error) {
        report(reporter_, kHistoryOrigin, ReportVariant::Plain, error);
        return {};
    } catch (const std::exception&) {
        report_unexpected(reporter_, kHistoryOrigin, ReportVariant::Plain);
        return {};
    }
    if (promulgation.empty())
        return {};
    std::string block = "<br>\n";
    block += format("<font style=\"font-size: %dpt; font-weight: normal; color: %s\">\n", font_size - 1, colour.c_str());
    block += "<div align=\"right\">" + promulgation + "</div>\n";
    if (!revision.empty())
        block += "<div align=\"right\">" + revision + "</div>\n";
    block += "</font>\n";
    return block;
}

} // namespace velto
