// VListBase: the list from which the article list, the search result list
// and the bookmark list derive.
//
// A list shows up to four columns chosen by a mask ("法名", "条", "タイトル"
// and one without header, created in that order). Each row carries an
// identifier; rows are only appended or cleared all at once, so a row index
// stays valid until the next _clear. The lists are single-selection; the
// "last selected row" is the highest selected row index.
#pragma once

#include "nav/nav_keys.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

class CVeltoDoc;

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

    VListBase(int control_id, QWidget* parent);

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
    // Sizes every column to the wider of its contents and its header.
    void _autosize_columns();

protected:
    // Focusing a list selects its last selected row, or row 0, without showing it.
    void focus_gained() override;

    CVeltoDoc* doc_ = nullptr;

private:
    unsigned mask_ = 0;
    bool icons_ = false;
    std::vector<std::string> id_of_row_;
    std::map<std::string, int, std::less<>> row_of_id_;
};

} // namespace velto
