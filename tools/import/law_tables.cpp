#include "tools/import/law_tables.h"

#include <utility>
#include <vector>

namespace velto::import {

namespace {

Rich table_html(const Node& table, const Trail* trail)
{
    Rich out;
    out.html = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" style=\"border-collapse:collapse\">\n";
    for (const Node& row : table.children) {
        if (row.is_text())
            continue;
        const Trail row_trail{trail, &row};
        if (row.tag != "TableRow" && row.tag != "TableHeaderRow")
            fail(&row_trail, "unexpected <" + row.tag + "> in a table");
        out.html += "<tr>";
        for (const Node& cell : row.children) {
            if (cell.is_text())
                continue;
            const Trail cell_trail{&row_trail, &cell};
            if (cell.tag != "TableColumn" && cell.tag != "TableHeaderColumn")
                fail(&cell_trail, "unexpected <" + cell.tag + "> in a table row");
            const char* element = cell.tag == "TableHeaderColumn" ? "th" : "td";
            out.html += std::string("<") + element;
            for (const char* span : {"rowspan", "colspan"}) {
                const std::string* value = cell.attribute(span);
                if (value && !value->empty() && value->find_first_not_of("0123456789") == std::string::npos)
                    out.html += std::string(" ") + span + "=\"" + *value + "\"";
            }
            std::string style;
            for (const auto& [attribute, property] : {std::pair{"BorderTop", "border-top"}, std::pair{"BorderBottom", "border-bottom"},
                                                      std::pair{"BorderLeft", "border-left"}, std::pair{"BorderRight", "border-right"}}) {
                const std::string* value = cell.attribute(attribute);
                if (value && (*value == "none" || *value == "dotted" || *value == "double"))
                    style += std::string(property) + (*value == "none" ? ":none;" : *value == "dotted" ? ":1px dotted;" : ":3px double;");
            }
            if (const std::string* align = cell.attribute("Align"); align && (*align == "left" || *align == "center" || *align == "right" || *align == "justify"))
                style += "text-align:" + *align + ";";
            if (const std::string* valign = cell.attribute("Valign"); valign && (*valign == "top" || *valign == "middle" || *valign == "bottom"))
                style += "vertical-align:" + *valign + ";";
            if (!style.empty())
                out.html += " style=\"" + style + "\"";
            out.html += ">";
            std::vector<Rich> lines;
            for (const Node& part : cell.children) {
                if (part.is_text()) {
                    Rich line;
                    line.append_text(part.text);
                    lines.push_back(line);
                } else {
                    collect_lines(part, &cell_trail, lines,
                                  [&](const Node& t, const Trail* where) { lines.push_back(table_fragment(t, where)); });
                }
            }
            bool first = true;
            for (const Rich& line : lines) {
                out.html += (first ? "" : "<br>") + line.html;
                out.plain += (out.plain.empty() ? "" : "　") + line.plain;
                first = false;
            }
            out.html += std::string("</") + element + ">";
        }
        out.html += "</tr>\n";
    }
    out.html += "</table>\n";
    return out;
}

} // namespace

std::string table_document(const Rich& body)
{
    return "<html>\n<head>\n<style type=\"text/css\">\ntd, th, p { font-size:9.0pt; }\n</style>\n</head>\n<body>\n" +
           body.html + "</body>\n</html>\n";
}

Rich table_fragment(const Node& table, const Trail* trail)
{
    if (table.tag == "Table")
        return table_html(table, trail);
    Rich out;
    for (const Node& child : table.children) {
        if (child.is_text())
            continue;
        const Trail here{trail, &child};
        if (child.tag == "Table") {
            const Rich part = table_html(child, &here);
            out.html += part.html;
            out.plain += (out.plain.empty() ? "" : "　") + part.plain;
            continue;
        }
        std::vector<Rich> lines;
        collect_lines(child, trail, lines, [&](const Node& t, const Trail* where) { lines.push_back(table_fragment(t, where)); });
        for (const Rich& line : lines) {
            out.html += "<p>" + line.html + "</p>\n";
            out.plain += (out.plain.empty() ? "" : "　") + line.plain;
        }
    }
    return out;
}

} // namespace velto::import
