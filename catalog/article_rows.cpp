#include "catalog/article_rows.h"

#include "core/html_text.h"
#include "core/text_format.h"

#include <array>
#include <utility>

namespace velto {

namespace {

constexpr ReportOrigin kListOrigin{"リストの生成", "VListLst::_show()"};

constexpr const char* kStatement =
    "SELECT * FROM T_条 WHERE LEFT([ID_FN], 3) = '%s' AND [表示] = YES ORDER BY [ID_FN]";

// Separates the label of a split page from its page number.
constexpr std::string_view kPageSeparator = "　";
// Leads the page caption of the later pages of a split article.
constexpr std::string_view kCaptionLead = " ・ ";
// A title or caption of this text stands for none.
constexpr std::string_view kNone = "なし";

// Heisei years whose notices have a picture of their own, with its index.
constexpr std::array<std::pair<int, int>, 13> kYearImages{{
    {12, 10}, {13, 12}, {14, 14}, {15, 20}, {16, 22}, {17, 24}, {18, 26},
    {19, 28}, {20, 30}, {21, 32}, {23, 34}, {25, 36}, {26, 38},
}};

bool is_year_image(int image)
{
    for (const auto& [year, index] : kYearImages) {
        if (index == image)
            return true;
    }
    return false;
}

// A stored title or caption as the list shows it: its words, none for "なし".
std::string unless_none(std::string_view stored)
{
    std::string text = shown_text(stored);
    return text == kNone ? std::string() : text;
}

} // namespace

std::string ArticleRows::header(std::string_view id_hn)
{
    return !id_hn.empty() && id_hn.back() == 'K' ? "告示番号" : "条";
}

int ArticleRows::notice_year_image(int year)
{
    for (const auto& [known, index] : kYearImages) {
        if (known == year)
            return index;
    }
    return -1;
}

int ArticleRows::notice_image(std::string_view id_fn)
{
    const char era = id_fn.size() > 5 ? id_fn[5] : '\0';
    if (era == 'C')
        return list_image::Showa;
    if (era != 'D')
        return list_image::Page;
    const int image = notice_year_image(decimal_value(id_fn.substr(6, 2)));
    return image >= 0 ? image : list_image::Heisei;
}

void ArticleRows::page_label(const IdentifierRules& ids, std::string_view id_fn, std::string& label, int& image)
{
    label = "不明";
    image = list_image::Page;
    IdKind kind;
    if (!ids._id_kind(id_fn, kind))
        return;
    std::string text;
    switch (kind) {
    case IdKind::Article:
        if (ids._article_label(id_fn, text)) {
            constexpr std::string_view dai = "第";
            label = text.starts_with(dai) ? text.substr(dai.size()) : text;
        }
        break;
    case IdKind::Supplement:
        label = "附則";
        break;
    case IdKind::Notice:
        if (ids._notice_number_label(id_fn, text, true))
            label = text;
        image = notice_image(id_fn);
        break;
    case IdKind::Table:
        if (ids._table_label(id_fn, text))
            label = text;
        image = list_image::Table;
        break;
    case IdKind::Special:
        break;
    }
}

ArticleRow ArticleRows::make_row(const IdentifierRules& ids, std::string_view id_fn, std::string_view title,
                                 std::string_view caption, int split_count)
{
    ArticleRow row;
    row.id = std::string(id_fn);
    int image = list_image::Page;
    page_label(ids, id_fn, row.label, image);

    if (split_count < 1) {
        IdKind kind;
        const bool supplement = ids._id_kind(id_fn, kind) && kind == IdKind::Supplement;
        row.title = supplement ? std::string() : unless_none(title);
        row.image = image;
        return row;
    }

    const int page = page_suffix_value(id_fn);
    row.label += std::string(kPageSeparator) + format("%02d", page + 1);
    if (page == 0) {
        row.title = unless_none(title);
        row.image = is_year_image(image) ? image + 1 : image;
    } else {
        row.title = std::string(kCaptionLead) + unless_none(caption);
        row.image = page == split_count - 1 ? list_image::SplitLast : list_image::SplitMiddle;
    }
    return row;
}

bool ArticleRows::build(Database& db, const IdentifierRules& ids, Reporter& reporter, std::string_view id_hn)
{
    rows_.clear();
    try {
        auto rs = db.execute(format(kStatement, sql_escape(id_hn).c_str()));
        for (; !rs->eof(); rs->move_next())
            rows_.push_back(make_row(ids, rs->text("ID_FN"), rs->text("条名"), rs->text("補足"), rs->number("分割")));
        rs->close();
    } catch (const ComponentError& error) {
        report(reporter, kListOrigin, ReportVariant::Tab, error);
        return false;
    } catch (const std::exception&) {
        report_unexpected(reporter, kListOrigin, ReportVariant::Tab);
        return false;
    }
    return true;
}

std::string ArticleRows::listing() const
{
    std::string out;
    for (const ArticleRow& row : rows_) {
        out += row.id;
        out += '\t';
        out += row.label;
        out += '\t';
        out += row.title;
        out += '\t';
        out += std::to_string(row.image);
        out += '\n';
    }
    return out;
}

} // namespace velto
