#include "nav/tree_ctrl.h"

#include "catalog/contents_tree.h"
#include "compose/velto_doc.h"
#include "nav/control_ids.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

#include <array>
#include <vector>

// The pictures live in the static library; their resource is registered once,
// from outside any namespace, before the first picture is read.
static void init_tree_images()
{
    Q_INIT_RESOURCE(tree_images);
}

namespace velto {

namespace {

// Rows of one fixed height.
class TreeItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(VTreeCtrl::kItemHeight);
        return size;
    }
};

bool is_page_id(const std::string& id)
{
    return id.size() == 15;
}

} // namespace

VTreeCtrl::VTreeCtrl(QWidget* parent) : NavItemView(kIdContentsTree, parent)
{
    setColumnCount(1);
    header()->hide();
    // Buttons and lines, also at the top level; every row 18 pixels high.
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setUniformRowHeights(true);
    setItemDelegate(new TreeItemDelegate(this));
    setIconSize(kStateImageSize);

    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { on_expanded_changed(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { on_expanded_changed(item, false); });
}

QIcon VTreeCtrl::state_icon(int state)
{
    // Kept for the whole run: the pictures must outlive every tree, and are
    // never released after the application object is gone.
    static const auto* const icons = [] {
        init_tree_images();
        auto* list = new std::array<QIcon, kStateImageCount + 1>;
        for (int i = 1; i <= kStateImageCount; ++i)
            (*list)[static_cast<std::size_t>(i)] = QIcon(QStringLiteral(":/tree/state%1.svg").arg(i, 2, 10, QChar('0')));
        return list;
    }();
    return state >= 1 && state <= kStateImageCount ? (*icons)[static_cast<std::size_t>(state)] : QIcon();
}

void VTreeCtrl::_attach(CVeltoDoc& doc)
{
    doc_ = &doc;
}

bool VTreeCtrl::_show()
{
    _clear();
    if (!doc_)
        return false;
    ContentsTree contents;
    const bool built = contents.build(doc_->database(), *doc_, doc_->reporter());

    // The items are made and joined to their parents before any of them is in
    // the view, and the laws enter the view in one call: the view lays the
    // tree out once instead of once an item.
    const std::vector<TreeNode>& nodes = contents.nodes();
    std::vector<QTreeWidgetItem*> items;
    items.reserve(nodes.size());
    QList<QTreeWidgetItem*> top;
    for (const TreeNode& node : nodes) {
        QTreeWidgetItem* item = make_item(node.text, node.folder, node.image);
        if (!node.whole.empty())
            item->setData(0, kWholeTextRole, QString::fromStdString(node.whole));
        // Nodes come parents first, so a parent's item always exists.
        if (node.parent >= 0 && node.parent < static_cast<int>(items.size()))
            items[static_cast<std::size_t>(node.parent)]->addChild(item);
        else
            top.append(item);
        if (!node.id.empty())
            _enter(node.id, item);
        items.push_back(item);
    }
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    addTopLevelItems(top);
    setUpdatesEnabled(updates);
    return built;
}

void VTreeCtrl::_clear()
{
    item_of_id_.clear();
    id_of_item_.clear();
    clear();
}

QTreeWidgetItem* VTreeCtrl::make_item(const std::string& text, bool folder, int state)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(text));
    set_state(item, state != 0 ? state : (folder ? kStateFolderCollapsed : kStatePage));
    return item;
}

QTreeWidgetItem* VTreeCtrl::_insert_item(QTreeWidgetItem* parent, const std::string& text, bool folder, int state)
{
    QTreeWidgetItem* item = make_item(text, folder, state);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void VTreeCtrl::_enter(const std::string& id, QTreeWidgetItem* item)
{
    if (!item)
        return;
    item_of_id_.insert_or_assign(id, item);
    id_of_item_.insert_or_assign(item, id);
}

QTreeWidgetItem* VTreeCtrl::_item_for_id(std::string_view id) const
{
    const auto it = item_of_id_.find(id);
    return it == item_of_id_.end() ? nullptr : it->second;
}

std::string VTreeCtrl::_id_for_item(const QTreeWidgetItem* item) const
{
    const auto it = id_of_item_.find(item);
    return it == id_of_item_.end() ? std::string() : it->second;
}

std::string VTreeCtrl::_selected_id() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? std::string() : _id_for_item(selected.front());
}

QString VTreeCtrl::_whole_text(const QModelIndex& index) const
{
    const QString whole = index.data(kWholeTextRole).toString();
    if (!whole.isEmpty())
        return whole;
    // The view cuts what does not fit beside the picture.
    const QString text = index.data(Qt::DisplayRole).toString();
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int room = visualRect(index).width() - iconSize().width() - 4 * margin;
    return fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

void VTreeCtrl::_select_id(std::string_view id)
{
    QTreeWidgetItem* item = _item_for_id(id);
    if (!item) {
        // No caret item either: the keyboard starts again from the top.
        clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
    // Opens the ancestors, which then show their open picture.
    scrollToItem(item);
}

int VTreeCtrl::_state_of(const QTreeWidgetItem* item)
{
    return item ? item->data(0, kStateRole).toInt() : 0;
}

void VTreeCtrl::set_state(QTreeWidgetItem* item, int state)
{
    item->setData(0, kStateRole, state);
    item->setIcon(0, state_icon(state));
}

void VTreeCtrl::on_expanded_changed(QTreeWidgetItem* item, bool expanded)
{
    const std::string id = _id_for_item(item);
    if (id.empty() || is_page_id(id))
        return;
    if (expanded)
        set_state(item, kStateFolderExpanded);
    else if (_state_of(item) == kStateFolderExpanded)
        set_state(item, kStateFolderCollapsed);
    viewport()->update();
}

void VTreeCtrl::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const
{
    // Backgrounds and the expand buttons of the style first.
    QTreeWidget::drawBranches(painter, rect, index);

    const int indent = indentation();
    if (indent <= 0 || !index.isValid())
        return;
    // The branch area holds one column of `indent` pixels a level, the
    // item's own level rightmost.
    const int columns = rect.width() / indent;
    if (columns < 1)
        return;
    const bool reverse = isRightToLeft();
    const auto column_centre = [&](int column) {
        const int left = reverse ? rect.right() + 1 - (column + 1) * indent : rect.left() + column * indent;
        return left + indent / 2;
    };
    const auto has_next_sibling = [this](const QModelIndex& i) {
        return i.row() + 1 < model()->rowCount(i.parent());
    };

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    QPen pen(palette().color(QPalette::Mid));
    pen.setCosmetic(true);
    pen.setDashPattern({1.0, 1.0});
    painter->setPen(pen);

    const int top = rect.top();
    const int bottom = rect.bottom();
    const int middle = rect.top() + rect.height() / 2;
    const int own = columns - 1;
    const int x = column_centre(own);
    // Room left around an expand button so the line does not cross it.
    const int gap = model()->hasChildren(index) ? 5 : 0;

    const bool first_at_top = !index.parent().isValid() && index.row() == 0;
    if (!first_at_top)
        painter->drawLine(x, top, x, middle - gap);
    if (has_next_sibling(index))
        painter->drawLine(x, middle + gap, x, bottom);
    const int end = reverse ? column_centre(own) - indent / 2 + 1 : column_centre(own) + indent / 2 - 1;
    if (reverse)
        painter->drawLine(x - gap, middle, end, middle);
    else
        painter->drawLine(x + gap, middle, end, middle);

    // Ancestors that have siblings below carry their line through this row.
    QModelIndex ancestor = index.parent();
    for (int column = own - 1; column >= 0 && ancestor.isValid(); --column, ancestor = ancestor.parent()) {
        if (has_next_sibling(ancestor)) {
            const int ax = column_centre(column);
            painter->drawLine(ax, top, ax, bottom);
        }
    }
    painter->restore();
}

} // namespace velto
