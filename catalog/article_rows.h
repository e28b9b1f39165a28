// The rows of the article list of the "リスト" tab: one row per shown page of
// one law, with the page's label (column 条), its title or page caption
// (column タイトル) and the index of its list image. The list control shows
// these rows; the command line prints them. Titles and captions are the words
// a reader sees in the page (core/html_text.h).
#pragma once

#include "core/database.h"
#include "core/identifiers.h"
#include "core/report.h"

#include <string>
#include <string_view>
#include <vector>

namespace velto {

// Indexes into the 40 list images that the article list uses. The notices of
// the Heisei years with a picture of their own are listed in notice_year_image;
// each of those images is followed by the one for the first page of a split
// notice.
namespace list_image {
constexpr int Page = 7;        // an article, supplementary provisions, a notice of no known era
constexpr int Showa = 8;       // a notice of the Showa era
constexpr int Heisei = 9;      // a notice of a Heisei year without a picture of its own
constexpr int SplitMiddle = 16; // a later page of a split article
constexpr int SplitLast = 17;  // the last page of a split article
constexpr int Table = 18;      // an appended table
constexpr int Count = 40;      // images in the set, 0 to 39
} // namespace list_image

struct ArticleRow {
    std::string id;    // the page's ID_FN as read
    std::string label; // column 条
    std::string title; // column タイトル
    int image = list_image::Page;
};

class ArticleRows {
public:
    // Reads the shown pages of a law (ID_HN) in identifier order. A database
    // error is reported ("リストの生成") and gives false; the rows read until
    // then stay. A law without pages is no error.
    bool build(Database& db, const IdentifierRules& ids, Reporter& reporter, std::string_view id_hn);

    const std::vector<ArticleRow>& rows() const { return rows_; }

    // One line a row: the identifier, a tab, the label, a tab, the title, a
    // tab, the image index.
    std::string listing() const;

    // Header of the label column: "告示番号" for a collection of notices (a
    // law identifier ending in "K"), "条" otherwise.
    static std::string header(std::string_view id_hn);

    // The row of one page record: its 条名 (title), 補足 (page caption) and
    // 分割 (number of pages of the article, below 1 when it is not split).
    static ArticleRow make_row(const IdentifierRules& ids, std::string_view id_fn, std::string_view title,
                               std::string_view caption, int split_count);

    // Label and image of a page by its kind, before any split is considered.
    static void page_label(const IdentifierRules& ids, std::string_view id_fn, std::string& label, int& image);

    // Image of a notice by its era letter and year.
    static int notice_image(std::string_view id_fn);
    // The image of a notice of a Heisei year that has a picture of its own;
    // -1 for every other year.
    static int notice_year_image(int year);

private:
    std::vector<ArticleRow> rows_;
};

} // namespace velto
