#include "nav/tree_ctrl.h"

#include "compose/contents_tree.h"
#include "compose/velto_doc.h"
#include "nav/control_ids.h"

#include <QHeaderView>

#include <vector>

namespace velto {

VTreeCtrl::VTreeCtrl(QWidget* parent) : NavItemView(kIdContentsTree, parent)
{
    setColumnCount(1);
    header()->hide();
    setRootIsDecorated(true);
    setUniformRowHeights(true);
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
    // Nodes come parents first, so every parent item exists when its children arrive.
    std::vector<QTreeWidgetItem*> items;
    items.reserve(contents.nodes().size());
    for (const TreeNode& node : contents.nodes()) {
        QTreeWidgetItem* parent = node.parent >= 0 && node.parent < static_cast<int>(items.size())
                                      ? items[static_cast<std::size_t>(node.parent)]
                                      : nullptr;
        QTreeWidgetItem* item = _insert_item(parent, node.text, node.folder, node.image);
        if (!node.id.empty())
            _enter(node.id, item);
        items.push_back(item);
    }
    return built;
}

void VTreeCtrl::_clear()
{
    item_of_id_.clear();
    id_of_item_.clear();
    clear();
}

QTreeWidgetItem* VTreeCtrl::_insert_item(QTreeWidgetItem* parent, const std::string& text, bool folder, int state)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, QString::fromStdString(text));
    item->setData(0, kStateRole, state != 0 ? state : (folder ? kStateFolderCollapsed : kStatePage));
    return item;
}

void VTreeCtrl::_enter(const std::string& id, QTreeWidgetItem* item)
{
    if (!item)
        return;
    item_of_id_[id] = item;
    id_of_item_[item] = id;
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

void VTreeCtrl::_select_id(std::string_view id)
{
    QTreeWidgetItem* item = _item_for_id(id);
    if (!item) {
        clearSelection();
        return;
    }
    setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item);
}

} // namespace velto
