// The contents tree (目次): every law, its chapters down to 目, and its pages.
//
// Items that stand for something the pane can synchronise to (a law, a
// structure level, a page) are entered in two maps, identifier to item and
// item to identifier; other items (the parent node of a split article) carry
// no identifier and show nothing when selected.
//
// Each item shows its state image (1 to 13) as its icon; the index is kept in
// kStateRole. Law and heading nodes switch between the closed (1) and the
// open (2) picture as they are expanded and collapsed.
#pragma once

#include "nav/nav_keys.h"

#include <QIcon>
#include <QSize>

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
    static constexpr int kStateImageCount = 13;
    // Item data role holding the state image index.
    static constexpr int kStateRole = Qt::UserRole + 1;
    // Item data role holding the text with its title uncut, for items whose title was cut.
    static constexpr int kWholeTextRole = Qt::UserRole + 2;
    static constexpr QSize kStateImageSize{24, 16};
    static constexpr int kItemHeight = 18;

    explicit VTreeCtrl(QWidget* parent = nullptr);

    // The picture of a state image index (1 to kStateImageCount); a null icon
    // for any other index.
    static QIcon state_icon(int state);

    // Binds the tree to the document whose laws it shows.
    void _attach(CVeltoDoc& doc);
    // Builds the whole tree from the document's database in one pass. False
    // when there is no law to show or the database failed (the user has been
    // told); what was read before a failure stays.
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
    QString _whole_text(const QModelIndex& index) const override;
    // Selects the item of an identifier, opening its ancestors; an unknown
    // identifier clears the selection.
    void _select_id(std::string_view id);

    // The state image index of an item; 0 for none.
    static int _state_of(const QTreeWidgetItem* item);

protected:
    // Draws the dotted lines that join items to their parents and siblings
    // under the expand buttons of the style.
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

    CVeltoDoc* doc_ = nullptr;

private:
    // A new item without a parent, with its text and state image.
    static QTreeWidgetItem* make_item(const std::string& text, bool folder, int state);
    static void set_state(QTreeWidgetItem* item, int state);
    // Law and heading nodes show the open picture while they are expanded.
    void on_expanded_changed(QTreeWidgetItem* item, bool expanded);

    std::map<std::string, QTreeWidgetItem*, std::less<>> item_of_id_;
    std::map<const QTreeWidgetItem*, std::string> id_of_item_;
};

} // namespace velto
