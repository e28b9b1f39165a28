// Tables inserted after sentences and the program's own pages.
#include "compose/html_format.h"
#include "compose/page_rows.h"
#include "compose/velto_doc.h"
#include "core/text_replace.h"

namespace velto {

namespace {

constexpr ReportOrigin kTableOrigin{"HTML形式の表式データを抽出する", "CVeltoDoc::_html_tbl()"};
constexpr ReportOrigin kOthersOrigin{"テーブル「T_他」からHTMLデータを抽出する", "CVeltoDoc::_html_others()"};

constexpr std::string_view kCoverPage = "00A-Z0010000-00";
constexpr std::string_view kDesignPagePrefix = "00A-Z009";

} // namespace

bool CVeltoDoc::_html_tbl(std::string_view id_bn, std::string& html)
{
    html.clear();
    const std::string_view page = id_bn.substr(0, 15);
    IdKind kind;
    const bool table_page = _id_kind(page, kind) && kind == IdKind::Table;
    const std::string indicator = table_page ? _split_indicator(page) : std::string();
    const std::string style = link_style_block(display_[DisplaySettings::FontColorLink],
                                               display_[DisplaySettings::FontColorLinkActive]) + "\n";
    std::string out;
    try {
        int documents = 0;
        const auto add = [&](std::string doc) {
            insert_before_first(doc, "</head>", style);
            if (!indicator.empty())
                insert_after_first(doc, "<body>", indicator);
            if (table_page)
                insert_after_first(doc, "<body>", insert_point_anchor());
            if (!indicator.empty())
                insert_before_first(doc, "</body>", indicator);
            out += doc;
            ++documents;
        };
        if (const auto* pieces = page_rows_ ? page_rows_->tables(id_bn) : nullptr) {
            if (pieces->empty())
                return false;
            for (const std::optional<std::string>& piece : *pieces) {
                if (piece)
                    add(*piece);
            }
        } else {
            auto rs = db_.execute(format("SELECT * FROM T_表 WHERE ID_BN = '%s' ORDER BY 順序", sql_escape(id_bn).c_str()));
            if (rs->eof())
                return false;
            for (; !rs->eof(); rs->move_next()) {
                if (!rs->is_null("表式データ"))
                    add(rs->text("表式データ"));
            }
            rs->close();
        }
        if (documents > 0) {
            out = _mark_article_links(id_bn, out, 1);
            out = _mark_explicit_links(id_bn, out);
        }
    } catch (const ComponentError& error) {
        report(reporter_, kTableOrigin, ReportVariant::Plain, error);
        return false;
    } catch (const std::exception&) {
        report_unexpected(reporter_, kTableOrigin, ReportVariant::Plain);
        return false;
    }
    replace_all(out, "</td>", "\n</td>");
    replace_all(out, "<br>", "\n<br>");
    const int size = display_[DisplaySettings::FontSizeTable];
    if (size != defaults_[DisplaySettings::FontSizeTable])
        replace_all(out, "font-size:9.0pt;", format("font-size:%dpt;", size));
    html = std::move(out);
    return true;
}

bool CVeltoDoc::_html_others(std::string_view id_fn, std::string& html)
{
    html.clear();
    std::string out;
    try {
        auto rs = db_.execute(format("SELECT * FROM T_他 WHERE ID_FN = '%s' ORDER BY 順序", sql_escape(id_fn).c_str()));
        if (rs->eof())
            return false;
        for (; !rs->eof(); rs->move_next())
            out += rs->text("HTMLデータ");
        rs->close();
    } catch (const ComponentError& error) {
        report(reporter_, kOthersOrigin, ReportVariant::Plain, error);
        return false;
    } catch (const std::exception&) {
        report_unexpected(reporter_, kOthersOrigin, ReportVariant::Plain);
        return false;
    }
    const std::string images = image_url();
    if (id_fn == kCoverPage) {
        replace_all(out, "velto_title.bmp", images + "velto_title.bmp");
        replace_all(out, "season.gif", images + "season.gif");
        out = _mark_explicit_links("", out);
    }
    if (id_fn.substr(0, 8) == kDesignPagePrefix) {
        replace_all(out, "images/basic/", images + "basic/");
        replace_all(out, "images/design/", images + "design/");
        out = _mark_explicit_links("", out);
    }
    html = std::move(out);
    return true;
}

} // namespace velto
