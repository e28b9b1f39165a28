#include "editions/comparison_page.h"

#include "catalog/law_editions.h"
#include "compose/html_format.h"
#include "core/text_replace.h"

namespace velto {

namespace {

std::string folded_labels(const ComparedRow& row)
{
    std::string labels;
    for (const ComparedCell& cell : row.folded) {
        std::string label = cell.label;
        while (label.size() >= 3 && label.compare(label.size() - 3, 3, "　") == 0)
            label.resize(label.size() - 3);
        if (label.empty())
            continue;
        if (!labels.empty())
            labels += "・";
        labels += label;
    }
    return labels.empty() ? "（略）" : labels + "　（略）";
}

// A label as marked: the blank after it is never underlined.
std::string marked_label(const ComparedCell& cell, std::string_view open, std::string_view close, bool escape)
{
    std::string core = cell.label, blank;
    while (core.size() >= 3 && core.compare(core.size() - 3, 3, "　") == 0) {
        core.resize(core.size() - 3);
        blank += "　";
    }
    if (escape)
        core = html_escape(core);
    return (cell.label_changed && !core.empty() ? std::string(open) + core + std::string(close) : core) + blank;
}

std::string edition_line(std::string_view side, const Edition& edition)
{
    return std::string(side) + "（" + (edition.enforced.empty() ? edition.revision : japanese_date(edition.enforced)) +
           "施行）";
}

// --- HTML

std::string marked_html(const MarkedText& text)
{
    std::string out;
    for (const TextSpan& span : text) {
        std::string words = html_escape(span.text);
        replace_all(words, "\n", "<br>\n");
        out += span.changed ? "<u class=\"changed\">" + words + "</u>" : words;
    }
    return out;
}

std::string sentence_html(const ComparedCell& cell)
{
    std::string out = format("<div class=\"sentence\" style=\"margin-left:%.1fem; text-indent:-1.5em\">", cell.margin);
    if (!cell.label.empty())
        out += "<b class=\"tag\">" + marked_label(cell, "<u class=\"changed\">", "</u>", true) + "</b>";
    out += marked_html(cell.text) + "</div>\n";
    if (!cell.table.empty())
        out += "<div class=\"table\">" + marked_html(cell.table) + "</div>\n";
    return out;
}

std::string cell_html(const ComparedCell& cell, ComparedRow::Kind kind)
{
    if (!cell.present)
        return "<td class=\"absent\"></td>\n";
    switch (kind) {
    case ComparedRow::Kind::Title:
        return "<td><span class=\"title\">" + marked_label(cell, "<u class=\"changed\">", "</u>", true) + "</span></td>\n";
    case ComparedRow::Kind::Caption: return "<td>【" + marked_html(cell.text) + "】</td>\n";
    default: return "<td>" + sentence_html(cell) + "</td>\n";
    }
}

// --- text

std::string marked_line(const MarkedText& text)
{
    std::string out;
    for (const TextSpan& span : text)
        out += span.changed ? "［" + span.text + "］" : span.text;
    replace_all(out, "\n", " ／ ");
    replace_all(out, "\t", " ");
    return out;
}

std::string cell_line(const ComparedCell& cell, ComparedRow::Kind kind)
{
    if (!cell.present)
        return {};
    const std::string label = marked_label(cell, "［", "］", false);
    switch (kind) {
    case ComparedRow::Kind::Title: return label;
    case ComparedRow::Kind::Caption: return "【" + marked_line(cell.text) + "】";
    default: {
        std::string line = label + marked_line(cell.text);
        if (!cell.table.empty())
            line += " ／ " + marked_line(cell.table);
        return line;
    }
    }
}

} // namespace

std::string comparison_heading(const ArticleComparison& c, std::string_view law_name)
{
    std::string newer, older;
    for (const ComparedRow& row : c.rows)
        if (row.kind == ComparedRow::Kind::Title) {
            newer = row.newer.present ? row.newer.label : std::string();
            older = row.older.present ? row.older.label : std::string();
        }
    std::string heading = std::string(law_name) + "　" + (newer.empty() ? older : newer);
    if (newer.empty())
        heading += "（削除）";
    else if (older.empty())
        heading += "（新設）";
    else if (newer != older)
        heading += "（旧 " + older + "）";
    return heading;
}

std::string comparison_html(const ArticleComparison& c, std::string_view law_name, const DisplaySettings& d)
{
    std::string out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>新旧対照</title>\n";
    out += "<style type=\"text/css\">\n";
    out += format("body { font-family: 'ＭＳ Ｐゴシック'; font-size: %dpt; background-color: #%s; color: #%s; }\n",
                  d[DisplaySettings::FontSizeBasic], colour_hex(d[DisplaySettings::BackColor]).c_str(),
                  colour_hex(d[DisplaySettings::FontColorBasic]).c_str());
    out += format("h1 { font-size: %dpt; font-weight: bold; color: #%s; }\n", d[DisplaySettings::FontSizeBasic] + 2,
                  colour_hex(d[DisplaySettings::FontColorTop]).c_str());
    out += "table.comparison { border-collapse: collapse; width: 100%; table-layout: fixed; }\n"
           "table.comparison th, table.comparison td { border: 1px solid #808080; padding: 1mm 2mm; vertical-align: top; }\n"
           "table.comparison th { font-weight: bold; }\n"
           "td.absent { background-color: rgba(128, 128, 128, 0.12); }\n"
           "u.changed { text-decoration: underline; text-decoration-thickness: 1px; text-underline-offset: 3px; }\n"
           "div.sentence { margin-top: 1mm; margin-bottom: 1mm; }\n"
           "div.table { margin: 1mm 0 1mm 1.5em; font-size: 90%; }\n"
           "details summary { cursor: pointer; color: #808080; }\n";
    out += format("b.tag { color: #%s; }\n", colour_hex(d[DisplaySettings::FontColorTag]).c_str());
    out += format("span.title { font-family: 'Century','ＭＳ Ｐ明朝'; font-size: %dpt; font-weight: bold; color: #%s; }\n",
                  d[DisplaySettings::FontSizeBasic] + 4, colour_hex(d[DisplaySettings::FontColorTop]).c_str());
    out += "</style>\n</head>\n<body>\n";
    out += "<h1>" + html_escape(comparison_heading(c, law_name)) + "</h1>\n";
    out += "<table class=\"comparison\">\n<tr><th>" + html_escape(edition_line("改正後", c.newer)) + "</th><th>" +
           html_escape(edition_line("改正前", c.older)) + "</th></tr>\n";
    for (const ComparedRow& row : c.rows) {
        if (row.kind == ComparedRow::Kind::Folded) {
            out += "<tr class=\"same\"><td colspan=\"2\"><details><summary>" + html_escape(folded_labels(row)) +
                   "</summary>\n";
            for (const ComparedCell& cell : row.folded)
                out += sentence_html(cell);
            out += "</details></td></tr>\n";
            continue;
        }
        out += row.changed ? "<tr class=\"changed\">\n" : "<tr>\n";
        out += cell_html(row.newer, row.kind) + cell_html(row.older, row.kind);
        out += "</tr>\n";
    }
    out += "</table>\n</body>\n</html>\n";
    return out;
}

std::string comparison_text(const ArticleComparison& c, std::string_view law_name)
{
    std::string out = comparison_heading(c, law_name) + "\n";
    out += edition_line("改正後", c.newer) + "\t" + edition_line("改正前", c.older) + "\n";
    for (const ComparedRow& row : c.rows) {
        if (row.kind == ComparedRow::Kind::Folded) {
            const std::string folded = folded_labels(row);
            out += folded + "\t" + folded + "\n";
            continue;
        }
        out += cell_line(row.newer, row.kind) + "\t" + cell_line(row.older, row.kind) + "\n";
    }
    return out;
}

} // namespace velto
