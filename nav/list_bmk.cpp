#include "nav/list_bmk.h"

#include "compose/velto_doc.h"
#include "nav/control_ids.h"

namespace velto {

VListBmk::VListBmk(QWidget* parent) : VListBase(kIdBookmarkList, parent) { keep_column_widths(); }

VListBmk::~VListBmk()
{
    if (bookmarks_)
        bookmarks_->save();
}

void VListBmk::_attach(CVeltoDoc& doc)
{
    if (bookmarks_ && doc_ == &doc)
        return;
    if (bookmarks_)
        bookmarks_->save();
    doc_ = &doc;
    bookmarks_ = std::make_unique<Bookmarks>(doc);
}

bool VListBmk::_load() { return bookmarks_ && bookmarks_->load(); }

bool VListBmk::_save() { return bookmarks_ && bookmarks_->save(); }

bool VListBmk::_add(const std::string& id)
{
    if (!bookmarks_ || !bookmarks_->add(id))
        return false;
    write_change();
    return true;
}

bool VListBmk::_remove(const std::string& id)
{
    if (!bookmarks_ || !bookmarks_->remove(id))
        return false;
    write_change();
    return true;
}

void VListBmk::write_change()
{
    if (bookmarks_->save() || failure_told_)
        return;
    failure_told_ = true;
    emit fileMessage(QString::fromStdString(bookmarks_->failure_message()));
}

const std::vector<std::string>& VListBmk::bookmarks() const
{
    static const std::vector<std::string> none;
    return bookmarks_ ? bookmarks_->ids() : none;
}

void VListBmk::_show()
{
    // The pane waits until the list is complete.
    QWidget* pane = parentWidget() ? parentWidget() : this;
    const bool painting = pane->updatesEnabled();
    pane->setUpdatesEnabled(false);
    _clear();
    if (bookmarks_) {
        const auto columns = static_cast<std::size_t>(columnCount());
        const auto put = [this](ListRow& row, unsigned bit, const std::string& text) {
            const int column = _column_of(bit);
            if (column >= 0)
                row.columns[static_cast<std::size_t>(column)] = text;
        };
        for (const BookmarkRow& bookmark : bookmarks_->rows()) {
            ListRow row;
            row.id = bookmark.id;
            row.columns.assign(columns, std::string());
            put(row, kColumnLaw, bookmark.law);
            put(row, kColumnArticle, bookmark.label);
            put(row, kColumnTitle, bookmark.title);
            _add_row(row);
        }
    }
    _autosize_columns();
    if (painting)
        pane->setUpdatesEnabled(true);
    // Said when the list is first shown, where the reader wonders what it holds.
    if (bookmarks_ && bookmarks_->foreign() && !foreign_told_) {
        foreign_told_ = true;
        emit fileMessage(QString::fromStdString(bookmarks_->foreign_message()));
    }
}

} // namespace velto
