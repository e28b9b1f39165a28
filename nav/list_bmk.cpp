#include "nav/list_bmk.h"

#include "compose/velto_doc.h"
#include "nav/control_ids.h"

#include <algorithm>

namespace velto {

VListBmk::VListBmk(QWidget* parent) : VListBase(kIdBookmarkList, parent) {}

VListBmk::~VListBmk()
{
    _save();
}

bool VListBmk::_load()
{
    // The bookmark file of the program folder is read here, once per run.
    return loaded_;
}

bool VListBmk::_save()
{
    // The bookmarks are written to the bookmark file of the program folder here.
    return false;
}

bool VListBmk::_add(const std::string& id)
{
    if (id.size() != kBookmarkIdLength || std::find(bookmarks_.begin(), bookmarks_.end(), id) != bookmarks_.end())
        return false;
    bookmarks_.push_back(id);
    return true;
}

bool VListBmk::_remove(const std::string& id)
{
    if (id.size() != kBookmarkIdLength)
        return false;
    const auto it = std::find(bookmarks_.begin(), bookmarks_.end(), id);
    if (it == bookmarks_.end())
        return false;
    bookmarks_.erase(it);
    return true;
}

void VListBmk::_show()
{
    _clear();
    std::sort(bookmarks_.begin(), bookmarks_.end());
    const int law_column = _column_of(kColumnLaw);
    for (const std::string& id : bookmarks_) {
        // Labels and titles of the pages come from the document's page list;
        // until a row is labelled it shows the law's name.
        ListRow row;
        row.id = id;
        row.columns.assign(static_cast<std::size_t>(columnCount()), std::string());
        if (doc_ && law_column >= 0)
            row.columns[static_cast<std::size_t>(law_column)] = doc_->_law_name(id.substr(0, 3), kLawNameGeneral);
        _add_row(row);
    }
    _autosize_columns();
}

} // namespace velto
