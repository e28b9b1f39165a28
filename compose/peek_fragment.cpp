// The preview of a provision: a small page of the sentences a link points to,
// composed by the page's own units with the page's styles and colours.
#include "compose/html_format.h"
#include "compose/velto_doc.h"
#include "core/text_replace.h"

#include <cctype>

namespace velto {

namespace {

constexpr ReportOrigin kPeekOrigin{"参照先のプレビューを作成", "CVeltoDoc::_html_peek()"};

// A preview shows at most this many rows of a table and sentences of a provision.
constexpr int kPreviewRows = 5;
constexpr int kPreviewSentences = 30;

constexpr double kPointInMillimetres = 0.35277777777777775; // 25.4 / 72

// True when a tag named `name` (lower case) opens or closes at `at`.
bool tag_at(std::string_view html, std::size_t at, std::string_view name, bool closing)
{
    std::size_t i = at + 1;
    if (closing) {
        if (i >= html.size() || html[i] != '/')
            return false;
        ++i;
    }
    if (html.size() - i < name.size() + 1)
        return false;
    for (std::size_t k = 0; k < name.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(html[i + k])) != name[k])
            return false;
    const char after = html[i + name.size()];
    return after == '>' || after == '/' || std::isspace(static_cast<unsigned char>(after));
}

// `html` with every outermost table cut after its first `rows` rows; a cut
// table is followed by a line that says so.
std::string first_table_rows(std::string_view html, int rows)
{
    std::string out;
    out.reserve(html.size());
    int depth = 0;
    int seen = 0;
    bool cutting = false;
    std::size_t copied = 0;
    for (std::size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
        if (tag_at(html, at, "table", false)) {
            if (depth++ == 0)
                seen = 0;
        } else if (tag_at(html, at, "table", true) && depth > 0) {
            if (--depth == 0 && cutting) {
                cutting = false; // the closing tag is kept
                const std::size_t end = html.find('>', at);
                out.append(html.substr(at, end == std::string_view::npos ? std::string_view::npos : end + 1 - at));
                out += "\n<div>…</div>\n";
                copied = end == std::string_view::npos ? html.size() : end + 1;
            }
        } else if (depth == 1 && !cutting && tag_at(html, at, "tr", false) && ++seen > rows) {
            out.append(html.substr(copied, at - copied));
            cutting = true;
        }
    }
    if (!cutting)
        out.append(html.substr(copied));
    else
        out += "</table>\n<div>…</div>\n";
    return out;
}

} // namespace

bool CVeltoDoc::_html_peek(std::string_view page, std::string_view scope, std::string_view heading,
                           std::string& html)
{
    html.clear();
    IdKind kind;
    if (page.size() != 15 || !_id_kind(page, kind) || kind == IdKind::Special)
        return false;
    const DisplaySettings& d = display_;
    std::string out = page_head(d);
    out += format("<div id=\"peek-heading\" style=\"font-weight: bold; color: %s\">",
                  colour_to_html(d[DisplaySettings::FontColorTop]).c_str());
    out += html_escape(heading);
    out += "</div>\n<hr>\n";

    if (kind == IdKind::Table) {
        std::string table;
        if (!_html_tbl(std::string(page) + "-0000-0000-0000-0000", table))
            return false;
        remove_spans(table, "x:str=\"", "\"");
        _unwrap_marked("[K", "K]", table);
        out += first_table_rows(table, kPreviewRows);
    } else if (kind != IdKind::Notice) {
        try {
            auto rs = db_.execute(format("SELECT * FROM T_文 WHERE LEFT([ID_BN], %d) = '%s' ORDER BY [ID_BN]", 15,
                                         sql_escape(page).c_str()));
            const double u = d[DisplaySettings::FontSizeBasic] * kPointInMillimetres;
            int shown = 0;
            for (; !rs->eof(); rs->move_next()) {
                const std::string id = rs->text("ID_BN");
                if (id.compare(0, scope.size(), scope) != 0)
                    continue;
                if (shown++ == kPreviewSentences) {
                    out += "<div>…</div>\n";
                    break;
                }
                std::string block;
                append_sentence(*rs, kind, u, block, false);
                out += block.find("tabel inserted") == std::string::npos ? block : first_table_rows(block, kPreviewRows);
            }
            if (shown == 0)
                return false;
        } catch (const ComponentError& error) {
            report(reporter_, kPeekOrigin, ReportVariant::Plain, error);
            return false;
        }
    }
    out += "</body>\n</html>\n";
    html = std::move(out);
    return true;
}

} // namespace velto
