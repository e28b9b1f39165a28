// The block of reference links under a sentence.
#include "compose/html_format.h"
#include "compose/page_rows.h"
#include "compose/velto_doc.h"
#include "core/sjis.h"
#include "core/text_replace.h"

#include <algorithm>

namespace velto {

namespace {

constexpr std::string_view kCaption = "文ID(ID_BN)から参照リンクを抽出、作成";
constexpr std::string_view kFunction = "CVeltoDoc::_html_ref()";
constexpr std::string_view kRequest =
    "お手数ですが、このメッセージが表示された法令名と条番号（第何条か）を\nサポート窓口までお知らせ下さい。";
constexpr std::int64_t kUnspecifiedError = 0x80004005;

// A reference row that the reader cannot show: its target is not a page it knows how to name.
ComponentError bad_target(const std::string& what)
{
    return ComponentError(kUnspecifiedError, "Unspecified error", std::nullopt, what);
}

// Replaces only the n-th occurrence (1-based) of `needle`; each search continues after the previous match.
void replace_nth(std::string& text, std::string_view needle, std::string_view replacement, int n)
{
    std::size_t pos = 0;
    for (int i = 1;; ++i) {
        pos = find_text(text, needle, pos);
        if (pos == std::string::npos)
            return;
        if (i == n) {
            text.replace(pos, needle.size(), replacement);
            return;
        }
        pos += needle.size();
    }
}

// Whether any anchor's numbering place may stand twice in `lines`: most
// blocks name each target once, and then numbering changes nothing. Counted
// with the anchor cut by eight bytes, which is never longer than the place
// numbering looks for (the anchor less two characters), so a count of one
// is certain.
bool anchor_repeated(std::string_view lines, const std::vector<std::string>& anchors)
{
    constexpr std::size_t kCut = 8; // two characters of at most four bytes
    for (const std::string& anchor : anchors) {
        if (anchor.size() <= kCut)
            return true;
        const std::string_view needle = std::string_view(anchor).substr(0, anchor.size() - kCut);
        const std::size_t first = lines.find(needle);
        if (first != std::string_view::npos && lines.find(needle, first + 1) != std::string_view::npos)
            return true;
    }
    return false;
}

} // namespace

bool CVeltoDoc::_html_ref(std::string_view id_bn, int font_size, std::string& block, std::string& sentence,
                          std::string& table)
{
    const std::string colour = colour_hex(display_[DisplaySettings::FontColorKeyWord]);
    const std::string emphasis_open = "<SPAN STYLE=\"color: #" + colour + "\">";
    std::string lines;
    std::string new_sentence = sentence;
    std::string new_table = table;
    std::vector<std::string> anchors;
    const std::string id(id_bn);
    const auto fail = [&](std::string detail) {
        detail += format("文ID(%s)の参照リンク先の抽出に失敗しました。\n", id.c_str());
        detail.append("関数 = ").append(kFunction).append("\n\n").append(kRequest);
        reporter_.report(std::string(kCaption), detail);
        return false;
    };
    try {
        std::vector<ReferenceRow> read;
        const std::vector<ReferenceRow>* rows = page_rows_ ? page_rows_->references(id) : nullptr;
        if (!rows) {
            for (auto rs = db_.execute(reference_statement(id)); !rs->eof(); rs->move_next())
                read.push_back(reference_row(*rs));
            rows = &read;
        }
        if (rows->empty())
            return false;
        for (const ReferenceRow& row : *rows) {
            const std::string& target = row.target;
            if (target.empty()) {
                if (anchors.empty())
                    return fail("");
                break;
            }
            IdKind kind;
            if (target.size() != 15 || !_id_kind(target, kind))
                throw bad_target("参照先の条ID(" + target + ")が正しくありません。");
            std::string label;
            bool labelled = false;
            switch (kind) {
            case IdKind::Article: labelled = _article_label(target, label); break;
            case IdKind::Notice: labelled = _notice_number_label(target, label, false); break;
            case IdKind::Table: labelled = _table_label(target, label); break;
            default: break;
            }
            if (!labelled)
                throw bad_target("参照先の条ID(" + target + ")の番号を作れません。");
            const bool same_family = target.compare(0, 2, id, 0, 2) == 0;
            std::string law = same_family ? _law_name(target.substr(0, 3), kLawNameAbbreviated)
                                          : _law_name(target.substr(0, 3), kLawNameGeneral);
            if (law.empty())
                throw bad_target("参照先の法令(" + target.substr(0, 3) + ")の名前がありません。");
            if (!same_family)
                law += " ";

            const std::string& keyword = row.keyword;
            const bool active = row.active != 0;
            std::string keyword_part;
            if (!keyword.empty() && active) {
                keyword_part = emphasis_open + keyword;
                if (const std::string& place = row.place; !place.empty())
                    keyword_part += "（" + place + "）";
                keyword_part += "</SPAN> ⇒ ";
            }

            std::string text = law + label + row.aux;
            const std::string& remark = row.remark;
            if (!remark.empty()) {
                if (remark != "なし")
                    text += " 「" + remark + "」";
            } else if (const std::string& name = row.caption; !name.empty() && name != "なし") {
                // An article without a caption gets no empty quotes.
                text += " 「" + sjis_shortened(name, 50) + "」";
            }

            const std::string anchor = id + "-to-" + target.substr(0, 12) + "-r01";
            lines += "<font style=\"font-size: ";
            append_number(lines, font_size);
            lines += "pt; font-weight: normal; \">\n";
            lines += anchors.empty() ? "<div style=\"margin-left: 7em; margin-top: 0.5em\" align=\"right\">"
                                     : "<div style=\"margin-left: 7em\" align=\"right\">";
            lines += keyword_part;
            lines.append("<a id=\"").append(anchor).append("\" href='http://").append(target).append("_VELTO'>");
            lines.append(text).append("</a>");
            lines += "</div>\n</font>\n";
            anchors.push_back(anchor);

            if (active && row.emphasise != 0 && !keyword.empty()) {
                const bool in_table = row.in_table != 0;
                std::string& subject = in_table ? new_table : new_sentence;
                const std::string emphasised = emphasis_open + keyword + "</SPAN>";
                if (row.automatic != 0) {
                    if (in_table)
                        remove_spans(new_table, "x:str=\"", "\"");
                    const int which = row.which;
                    if (which == 0)
                        replace_all(subject, keyword, emphasised);
                    else if (which > 0)
                        replace_nth(subject, keyword, emphasised, which);
                } else {
                    _wrap_marked("[K", "K]", emphasis_open, "</SPAN>", subject);
                }
            }
        }
    } catch (const ComponentError& error) {
        return fail(report_detail(error, ReportVariant::Plain));
    } catch (const std::exception&) {
        return fail(std::string(kUnexpectedMessage));
    }
    std::sort(anchors.begin(), anchors.end());
    anchors.erase(std::unique(anchors.begin(), anchors.end()), anchors.end());
    if (anchor_repeated(lines, anchors))
        _number_anchors(lines, anchors);
    block += lines;
    sentence = std::move(new_sentence);
    table = std::move(new_table);
    return true;
}

} // namespace velto
