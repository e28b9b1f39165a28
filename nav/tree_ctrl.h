// The contents tree (目次): every law, its chapters down to 目, and its pages.
//
// Items that stand for something the pane can synchronise to (a law, a
// structure level, a page) are entered in two maps, identifier to item and
// item to identifier; other items (the parent node of a split article) carry
// no identifier and show nothing when selected.
#pragma once

#include "nav/nav_keys.h"

#include <map>
#include <string>
#include <string_view>

namespace velto {

class CVeltoDoc;

class VTreeCtrl : public NavItemView {
    Q_OBJECT

public:
    // State image of a node when none is given.
    static constexpr int kStateFolderCollapsed = 1;
    static constexpr int kStateFolderExpanded = 2;
    static constexpr int kStatePage = 5;
    // Item data role holding the state image index.
    static constexpr int kStateRole = Qt::UserRole + 1;

    explicit VTreeCtrl(QWidget* parent = nullptr);

    // Binds the tree to the document whose laws it shows.
    void _attach(CVeltoDoc& doc);
    // Builds the whole tree from the document's database in one pass. False
    // when there is no law to show (the user has been told).
    bool _show();

    // Removes every item and empties both maps.
    void _clear();
    // Appends an item under `parent` (the top level when null). A state image
    // of 0 gives the folder or page image by `folder`.
    QTreeWidgetItem* _insert_item(QTreeWidgetItem* parent, const std::string& text, bool folder, int state);
    // Enters an item in both maps under an identifier.
    void _enter(const std::string& id, QTreeWidgetItem* item);

    QTreeWidgetItem* _item_for_id(std::string_view id) const;
    std::string _id_for_item(const QTreeWidgetItem* item) const;

    std::string _selected_id() const override;
    // Selects the item of an identifier; an unknown identifier clears the selection.
    void _select_id(std::string_view id);

protected:
    CVeltoDoc* doc_ = nullptr;

private:
    std::map<std::string, QTreeWidgetItem*, std::less<>> item_of_id_;
    std::map<const QTreeWidgetItem*, std::string> id_of_item_;
};

} // namespace velto
