// VListBase: the list from which the article list, the search result list
// and the bookmark list derive.
//
// A list shows up to four columns chosen by a mask ("法名", "条", "タイトル"
// and one without header, created in that order). Each row carries an
// identifier; rows are only appended or cleared all at once, so a row index
// stays valid until the next _clear. The lists are single-selection; the
// "last selected row" is the highest selected row index.
//
// The list draws its rows itself: a selected row is filled with a light blue
// and written in black whether or not the list has the focus; the first
// column may carry one of the 40 list images (24 by 16) with an overlay; a
// text wider than its cell, or than the part of the cell the list shows, is
// cut after a whole character and ends in "...". The user may widen or narrow
// the columns by their header; the lists of the pane keep those widths in
// the settings ("ColumnWidths-" and the control id) and use them from then on.
#pragma once

#include "nav/nav_keys.h"

#include <QColor>
#include <QPixmap>

class QTimer;

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

class CVeltoDoc;

// Room left free around the text of a cell, in pixels.
inline constexpr int kCellTextMargin = 4;

// The text to draw in a cell `available` pixels wide, `width` measuring a text
// in pixels. A text that fits together with the margin stays as it is.
// Otherwise it is cut after the first character at which the text so far,
// "..." and the margin reach the available width (that character stays, so
// the cut text may pass the edge by less than a character) and "..." is
// appended; a cut text of fewer than 3 Shift-JIS bytes that still reaches the
// edge is not drawn at all (the result is empty). Characters are never split.
std::string fit_cell_text(std::string_view text, int available, const std::function<int(std::string_view)>& width);

// A row as handed to _add_row.
struct ListRow {
    std::string id;
    std::vector<std::string> columns; // one text per present column, in column order
    int image = -1;                   // -1: no image
    int overlay = 0;                  // 0: no overlay
};

class VListBase : public NavItemView {
    Q_OBJECT

public:
    enum ColumnBit : unsigned {
        kColumnLaw = 1,     // 法名
        kColumnArticle = 2, // 条
        kColumnTitle = 4,   // タイトル
        kColumnBlank = 8,   // no header
    };
    static constexpr unsigned kAllColumns = kColumnLaw | kColumnArticle | kColumnTitle | kColumnBlank;
    // Item data roles of the first column.
    static constexpr int kImageRole = Qt::UserRole + 1;
    static constexpr int kOverlayRole = Qt::UserRole + 2;

    // The list images: 24 by 16 pixels each.
    static constexpr int kImageWidth = 24;
    static constexpr int kImageHeight = 16;
    static constexpr int kImageCount = 40;
    // A cell shows at most this many Shift-JIS bytes of its text.
    static constexpr std::size_t kMaxCellBytes = 255;
    // Background and text of a selected row.
    static inline const QColor kSelectedBackground{187, 187, 255};
    static inline const QColor kSelectedText{0, 0, 0};

    // The 40 list images in index order.
    static const std::vector<QPixmap>& images();
    // The image an overlay index stands for: overlay 1 is image 0, overlay 4
    // image 3; -1 for any other overlay.
    static int overlay_image(int overlay);

    VListBase(int control_id, QWidget* parent);
    ~VListBase() override;

    // Binds the list to the document, stores the icon flag and the column mask,
    // and creates the present columns with their headers. Existing rows go.
    void _set_columns(CVeltoDoc* doc, bool icons, unsigned mask);
    unsigned column_mask() const { return mask_; }
    bool has_icons() const { return icons_; }
    // Index of the column of a mask bit, -1 when the column is not present.
    int _column_of(unsigned bit) const;

    // Deletes all rows and forgets their identifiers.
    void _clear();
    // Appends a row and returns its index.
    int _add_row(const ListRow& row);
    int _row_count() const { return topLevelItemCount(); }

    // Highest selected row, -1 when none.
    int _last_selected_row() const;
    std::string _selected_id() const override;
    // Identifier of a row, empty when the row does not exist.
    std::string _id_of_row(int row) const;
    // Row of an identifier, -1 when absent.
    int _row_of_id(std::string_view id) const;
    // Selects and focuses a row and scrolls it into view; rows that do not
    // exist are ignored.
    void _select_row(int row);
    // Selects the row of an identifier; unknown identifiers change nothing.
    void _select_id(std::string_view id);
    // Sizes every column to the wider of its contents and its header, or to
    // the widths the user gave them when they are kept.
    void _autosize_columns();
    // Grid lines under every row and between the columns (on by default).
    void set_grid_lines(bool on) { grid_lines_ = on; }

    // Whether a row is drawn as selected: the lists show their selection
    // also while they do not have the focus.
    bool _row_drawn_selected(int row) const;
    // The image index of a cell, -1 when it shows none.
    int _cell_image(int row, int column) const;
    // The text drawn in a cell at the column's present width.
    std::string _cell_display_text(int row, int column) const;
    QString _whole_text(const QModelIndex& index) const override;

protected:
    // The widths the user gives the columns are kept in the document's settings.
    void keep_column_widths() { keep_widths_ = true; }
    // Focusing a list selects its last selected row, or row 0, without showing it.
    void focus_gained() override;
    // Draws one row: background, images and fitted texts of every column.
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    CVeltoDoc* doc_ = nullptr;

private:
    // The user changed a column's width: stored a moment later.
    void column_resized();
    void store_column_widths();

    unsigned mask_ = 0;
    bool icons_ = false;
    bool grid_lines_ = true;
    bool keep_widths_ = false;
    bool sizing_ = false; // the list sizes its columns itself
    QTimer* store_widths_ = nullptr;
    std::vector<std::string> id_of_row_;
    std::map<std::string, int, std::less<>> row_of_id_;
};

} // namespace velto
