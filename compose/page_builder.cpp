// Composition of a whole page from its records.
#include "compose/arabic_numbers.h"
#include "compose/html_format.h"
#include "compose/page_rows.h"
#include "compose/velto_doc.h"
#include "core/text_replace.h"

#include <utility>

namespace velto {

namespace {

constexpr ReportOrigin kBuildOrigin{"HTML形式の法文を作成", "CVeltoDoc::_html_build()"};

constexpr double kPointInMillimetres = 0.35277777777777775; // 25.4 / 72

// Notices shown on the articles of the three repealed laws.
constexpr std::pair<std::string_view, std::string_view> kRepealedNotices[] = {
    {"10A", "<p style=\"color:#FF0000\">この法律は、平成18年法律第91号（バリアフリー法）附則第2条第一号の規定により平成18年12月"
            "20日に廃止されました。本来ならば削除するところですが、参考用に収録しております。尚、すでに失効している法律ですので、"
            "ハイパーリンクの参照関係が適切でない場合があります。ご了承下さい。</p>"},
    {"10B", "<p style=\"color:#FF0000\">この政令は、平成18年政令第379号（バリアフリー法施行令）附則第2条第一号の規定により平成18"
            "年12月20日に廃止されました。本来ならば削除するところですが、参考用に収録しております。尚、すでに失効している政令ですの"
            "で、ハイパーリンクの参照関係が適切でない場合があります。ご了承下さい。</p>"},
    {"10C", "<p style=\"color:#FF0000\">この省令は、平成18年国土交通省令第110号（バリアフリー法施行規則）附則第2条第一号の規定に"
            "より平成18年12月20日に廃止されました。本来ならば削除するところですが、参考用に収録しております。尚、すでに失効している"
            "省令ですので、ハイパーリンクの参照関係が適切でない場合があります。ご了承下さい。</p>"},
};

std::string missing_title_message(std::string_view id)
{
    std::string text = "データベースに法文タイトルを見つけることが\nできませんでした。\n\n";
    text += "関数 = ";
    text += kBuildOrigin.function;
    text += "\n条ID = ";
    text += id;
    text += "\n\n";
    text += "お手数ですが、件名を「ジャンプ先が見つからないエラー」として、次の２点をメールでお知らせ下さい。\n"
            "①どの法令の第何条でこのメッセージが現れましたか？\n"
            "②その時、第何条(条ID)へジャンプしようとしましたか？";
    return text;
}

// The label with full-width blanks as blanks, trimmed at both ends.
std::string trimmed_label(std::string label)
{
    replace_all(label, "　", " ");
    const auto first = label.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return label.substr(first, label.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

void CVeltoDoc::_remove_spans(std::string& text, std::string_view start, std::string_view end)
{
    remove_spans(text, start, end);
}

std::string CVeltoDoc::mark_up_sentence(std::string_view id_bn, std::string text)
{
    text = mark_citation_spans(id_bn, text, citation_spans_.spans_of(db_, id_bn));
    TextMarkup::_mark_all_superscripts(text);
    text = _mark_article_links(id_bn, text, 0);
    text = _mark_explicit_links(id_bn, text);
    text = _emphasize_definitions(text);
    if (toggles_.ArabicNumbers)
        arabic_provision_numbers(text);
    return text;
}

void CVeltoDoc::finish_sentence(std::string_view stored, std::string& text, std::string& table) const
{
    _unwrap_marked("[K", "K]", text);
    _unwrap_marked("[K", "K]", table);
    if (toggles_.Brachet)
        _color_brackets(text, stored); // pairs are measured on the stored sentence, markers included
}

bool CVeltoDoc::_html_build(std::string_view id, bool from_link, std::string& html)
{
    const std::optional<bool> before = std::exchange(composing_from_link_, from_link);
    const bool built = _html_build(id, html);
    composing_from_link_ = before;
    return built;
}

bool CVeltoDoc::_html_build(std::string_view id, std::string& html)
{
    html.clear();
    // Every statement of the page reads the same state of the file, locked once.
    const ReadTransaction read(db_);
    citation_spans_.clear();
    const auto fail = [&](std::string_view message) {
        report(reporter_, kBuildOrigin, ReportVariant::Plain, message);
        return false;
    };

    IdKind kind;
    if (!_id_kind(id, kind))
        return fail("法文のタイプの識別ができませんでした。\n\n");
    int article = 0, branch1 = 0, branch2 = 0;
    int era = 0, era_year = 0, notice = 0;
    switch (kind) {
    case IdKind::Article:
        if (!_parse_article_id(id, article, branch1, branch2))
            return fail("条番号の抽出に失敗しました。\n\n");
        break;
    case IdKind::Notice:
        if (!_parse_notice_id(id, era, era_year, notice))
            return fail("告示番号の抽出に失敗しました。\n\n");
        break;
    case IdKind::Table: {
        std::string page;
        if (!_html_tbl(std::string(id) + "-0000-0000-0000-0000", page))
            return fail("別表の抽出に失敗しました。\n\n");
        remove_spans(page, "x:str=\"", "\"");
        _unwrap_marked("[K", "K]", page); // no reference block marks keywords here
        begin_term_marks(id);
        mark_terms(page, std::string(id) + "-0000-0000-0000-0000");
        end_term_marks();
        insert_edition_notice(id.substr(0, 3), page);
        html = std::move(page);
        return true;
    }
    case IdKind::Special: {
        std::string page;
        if (!_html_others(id, page))
            return fail("テーブル「T_他」からのHTMLデータの抽出に失敗しました。\n\n");
        remove_spans(page, "x:str=\"", "\"");
        html = std::move(page);
        return true;
    }
    case IdKind::Supplement:
        break;
    }

    std::string out;
    try {
        if (!compose_page(id, kind, {article, branch1, branch2}, {era, era_year, notice}, out))
            return false;
    } catch (const ComponentError& error) {
        report(reporter_, kBuildOrigin, ReportVariant::Plain, error);
        return false;
    } catch (const std::exception&) {
        report_unexpected(reporter_, kBuildOrigin, ReportVariant::Plain);
        return false;
    }
    html = std::move(out);
    return true;
}

bool CVeltoDoc::compose_page(std::string_view id, IdKind kind, std::array<int, 3> number, std::array<int, 3> notice,
                             std::string& out)
{
    const std::string page(id);
    const std::string law = page.substr(0, 3);
    const DisplaySettings& d = display_;

    auto title = db_.execute(format("SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = '%s' ",
                                    sql_escape(page).c_str()));
    if (title->eof()) {
        reporter_.report(std::string(kBuildOrigin.caption), missing_title_message(page));
        return false;
    }
    std::string caption = title->text("条名");
    const std::string heading_names[4] = {title->text("章名"), title->text("節名"), title->text("款名"),
                                          title->text("目名")};
    const std::string section_id = title->text("T_条.ID_SN");
    const int large = title->number("大型");
    int parts = title->number("分割");
    title->close();
    if (parts > kMaxSplitPages) {
        // A page list cannot hold that many pages: the page is shown whole,
        // without page number and indicator.
        report(reporter_, kBuildOrigin, ReportVariant::Plain,
               format("データベースの分割数(%d)が、一つの条に許されるページ数(%d)を超えています。\n"
                      "ページ番号と分割インジケータを付けずに表示します。\n条ID = %s\n\n",
                      parts, kMaxSplitPages, page.c_str()));
        parts = 0;
    }

    int page_number = 0;
    if (parts > 1) {
        page_number = page_suffix_value(page) + 1;
        std::string name, supplement;
        if (page_number > 0 && caption.empty() && _page_names(page, name, supplement))
            caption = name;
    }

    SectionFields sections;
    if (!_parse_section_id(section_id, section_level::Chapter | section_level::Section | section_level::Subsection |
                                           section_level::Division,
                           sections)) {
        report(reporter_, kBuildOrigin, ReportVariant::Plain, "章番号の抽出に失敗しました。\n\n");
        return false;
    }
    const SectionLevel* levels[4] = {&sections.chapter, &sections.section, &sections.subsection, &sections.division};
    static constexpr LevelBits kSectionBits[4] = {section_level::Chapter, section_level::Section,
                                                  section_level::Subsection, section_level::Division};
    std::string labels[4];
    for (int i = 0; i < 4; ++i)
        _section_label(section_id, labels[i], kSectionBits[i]);

    out = page_head(d);

    std::string title_block;
    switch (kind) {
    case IdKind::Article:
        title_block = _title_article(number[0], number[1], number[2], _law_name(law, kLawNameOfficial), false);
        break;
    case IdKind::Supplement: title_block = _title_supplement(_law_name(law, kLawNameOfficial)); break;
    case IdKind::Notice: title_block = _title_notice(notice[0], notice[1], notice[2], _law_name(law, kLawNameGeneral)); break;
    default: break;
    }
    out += title_block;
    if (kind == IdKind::Article && article_note_)
        out += article_note_(id);

    if (kind == IdKind::Article && levels[0]->number > 0) {
        out += format("<font style=\"font-size: %dpt; font-weight: bold; color: %s\">\n", d[DisplaySettings::FontSizeBasic],
                      colour_to_html(d[DisplaySettings::FontColorJouSection]).c_str());
        for (int i = 0; i < 4; ++i) {
            if (levels[i]->number > 0)
                out += "<div align=\"right\">第" + labels[i] + " " + heading_names[i] + "</div>\n";
        }
        out += "</font>\n";
    }
    out += "<hr>\n<br>\n";

    if (kind == IdKind::Article) {
        for (const auto& [repealed, notice_text] : kRepealedNotices)
            if (law == repealed)
                out += notice_text;
    }
    out += _edition_notice(law);

    if (!caption.empty()) {
        if (caption != "なし") {
            if (parts > 1)
                caption += format(" （%d/%d）", page_number, parts);
            if (kind == IdKind::Article)
                out += "【" + caption + "】" + "<br>\n";
            else if (kind == IdKind::Notice)
                out += caption + "<br>\n";
        }
        if (kind != IdKind::Supplement)
            out += "<br>\n";
    }

    if (kind == IdKind::Notice)
        out += _html_history(page, notice[0], notice[1], notice[2], d[DisplaySettings::FontSizeBasic]);

    std::string indicator;
    if (parts > 1) {
        indicator = _split_indicator(page);
        out += indicator;
    } else if (kind != IdKind::Supplement) {
        out += "<br>\n<br>\n";
    }

    const bool from_link = composing_from_link_ ? *composing_from_link_ : view_ && view_->from_link();
    if (large != 0 && !from_link) {
        // The full text of the page shown: the first page is named by its
        // article, a later page of a split article by itself.
        const std::string full = page_suffix_value(page) == 0 ? page.substr(0, 12) : page;
        out += "<a href='http://" + full + "_VELTO" + "'>";
        out += "　⇒　ココをクリックすると全文が表示されます。（内容量が多いため表示に時間がかかる場合があります。）";
        out += "</a>";
        out += "</body>\n</html>\n";
        pages_.mark_abbreviated(page);
        return true;
    }

    auto rs = db_.execute(format("SELECT * FROM T_文 WHERE LEFT([ID_BN], %d) = '%s' ORDER BY [ID_BN]", 15,
                                 sql_escape(page).c_str()));
    if (rs->eof()) {
        report(reporter_, kBuildOrigin, ReportVariant::Plain,
               "データベースのテーブル(T_文)内に法文データを\n見つけることができませんでした。\n\n");
        return false;
    }
    const double u = d[DisplaySettings::FontSizeBasic] * kPointInMillimetres;
    begin_term_marks(page);
    {
        // The sentences' tables and references come from two statements for the whole page.
        PageRows rows(db_, page, toggles_.Refer != 0);
        struct Ahead {
            PageRows*& slot;
            ~Ahead() { slot = nullptr; }
        } ahead{page_rows_};
        page_rows_ = &rows;
        for (; !rs->eof(); rs->move_next())
            append_sentence(*rs, kind, u, out);
    }
    rs->close();
    end_term_marks();

    if (parts > 1)
        out += indicator;
    out += "</body>\n</html>\n";
    return true;
}

void CVeltoDoc::append_sentence(const Recordset& rs, IdKind kind, double u, std::string& out, bool references)
{
    const DisplaySettings& d = display_;
    const std::string id_bn = rs.text("ID_BN");
    const std::string style = rs.text("書式コード");
    const int has_table = rs.number("表式");
    const int fudanuki = rs.number("札抜");
    const int has_refs = rs.number("参照");
    const int pictures = rs.number("図入");
    const std::string stored = rs.text("法文");
    std::string text = mark_up_sentence(id_bn, stored);

    std::string label;
    double margin = 0, indent = 0;
    if (!_sentence_layout(id_bn, style, kind, fudanuki, u, label, margin, indent))
        return;
    if (toggles_.ArabicNumbers)
        arabic_label(label);

    std::string table;
    if (has_table != 0 && !_html_tbl(id_bn, table))
        table.clear();
    std::string refs;
    if (references && toggles_.Refer && has_refs != 0 && !_html_ref(id_bn, d[DisplaySettings::FontSizeBasic] - 1, refs, text, table))
        refs.clear();
    finish_sentence(stored, text, table);
    mark_terms(text, id_bn);

    if (!(trimmed_label(label).empty() && text.empty())) {
        if (kind == IdKind::Supplement && id_bn.size() >= 14 && id_bn.compare(id_bn.size() - 14, 14, "0000-0000-0000") == 0)
            out += "<br><br>\n";
        out += "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:";
        append_decimal1(out, margin);
        out += "mm; text-indent:";
        append_decimal1(out, indent);
        out += "mm'>\n";
        const bool hidden_tag = kind == IdKind::Notice && label.find('-') != std::string::npos;
        const std::int32_t tag = hidden_tag ? d[DisplaySettings::BackColor] : d[DisplaySettings::FontColorTag];
        out += "<font color=\"#";
        append_colour_hex(out, tag);
        out += "\"><b><a id=\"";
        out += id_bn;
        out += "\">\n";
        out += label;
        out += "\n</a></b></font>\n";
        out += text;
        out += "\n</div>\n";
    } else {
        // No block, but the place of the sentence stays addressable (a citation's anchor).
        out += "<a id=\"" + id_bn + "\"></a>\n";
    }
    if (!refs.empty())
        out += refs + "<br>\n";
    if (has_table != 0) {
        if (!table.empty()) {
            remove_spans(table, "x:str=\"", "\"");
            table = _emphasize_definitions(table);
            mark_terms(table, id_bn);
            if (pictures != 0)
                replace_all(table, "./images/", image_url() + "kokuji/");
            out += "\n<!-- start : tabel inserted -->\n" + table + "\n<!-- end : tabel inserted -->\n\n" + "<br>\n\n";
        } else {
            out += "<br><font color=#EE0000><B>\n";
            out += format("　　表式データ（%s）が見つかりませんでした。", id_bn.c_str());
            out += "<br>\n</b></font>\n<br>\n";
        }
    }
}

} // namespace velto
