#include "nav/list_base.h"

#include <QHeaderView>
#include <QStringList>

#include <algorithm>
#include <array>

namespace velto {

namespace {

struct ColumnSpec {
    unsigned bit;
    const char* header;
};

constexpr std::array<ColumnSpec, 4> kColumns{{
    {VListBase::kColumnLaw, "法名"},
    {VListBase::kColumnArticle, "条"},
    {VListBase::kColumnTitle, "タイトル"},
    {VListBase::kColumnBlank, ""},
}};

} // namespace

VListBase::VListBase(int control_id, QWidget* parent) : NavItemView(control_id, parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setColumnCount(0);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
}

void VListBase::_set_columns(CVeltoDoc* doc, bool icons, unsigned mask)
{
    doc_ = doc;
    mask_ = mask & kAllColumns;
    icons_ = icons;
    _clear();

    QStringList headers;
    for (const ColumnSpec& column : kColumns) {
        if (mask_ & column.bit)
            headers << QString::fromUtf8(column.header);
    }
    setColumnCount(static_cast<int>(headers.size()));
    setHeaderLabels(headers);
    // Users cannot change the widths: neither by dragging nor by double-clicking a divider.
    header()->setSectionResizeMode(QHeaderView::Fixed);
    _autosize_columns();
}

int VListBase::_column_of(unsigned bit) const
{
    if (!(mask_ & bit))
        return -1;
    int index = 0;
    for (const ColumnSpec& column : kColumns) {
        if (column.bit == bit)
            return index;
        if (mask_ & column.bit)
            ++index;
    }
    return -1;
}

void VListBase::_clear()
{
    id_of_row_.clear();
    row_of_id_.clear();
    clear();
}

int VListBase::_add_row(const ListRow& row)
{
    auto* item = new QTreeWidgetItem(this);
    const int count = std::min(columnCount(), static_cast<int>(row.columns.size()));
    for (int i = 0; i < count; ++i)
        item->setText(i, QString::fromStdString(row.columns[static_cast<std::size_t>(i)]));
    if (icons_ && row.image >= 0)
        item->setData(0, kImageRole, row.image);
    if (row.overlay != 0)
        item->setData(0, kOverlayRole, row.overlay);

    const int index = static_cast<int>(id_of_row_.size());
    id_of_row_.push_back(row.id);
    if (!row.id.empty())
        row_of_id_[row.id] = index;
    return index;
}

int VListBase::_last_selected_row() const
{
    int last = -1;
    for (QTreeWidgetItem* item : selectedItems())
        last = std::max(last, indexOfTopLevelItem(item));
    return last;
}

std::string VListBase::_selected_id() const
{
    return _id_of_row(_last_selected_row());
}

std::string VListBase::_id_of_row(int row) const
{
    if (row < 0 || row >= static_cast<int>(id_of_row_.size()))
        return {};
    return id_of_row_[static_cast<std::size_t>(row)];
}

int VListBase::_row_of_id(std::string_view id) const
{
    const auto it = row_of_id_.find(id);
    return it == row_of_id_.end() ? -1 : it->second;
}

void VListBase::_select_row(int row)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return;
    setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollToItem(item);
}

void VListBase::_select_id(std::string_view id)
{
    const int row = _row_of_id(id);
    if (row != -1)
        _select_row(row);
}

void VListBase::_autosize_columns()
{
    for (int i = 0; i < columnCount(); ++i) {
        headerItem()->setTextAlignment(i, Qt::AlignLeft | Qt::AlignVCenter);
        resizeColumnToContents(i);
    }
}

void VListBase::focus_gained()
{
    NavHold::set();
    if (_row_count() > 0)
        _select_row(std::max(_last_selected_row(), 0));
    NavHold::clear();
}

} // namespace velto
