// A place within a page: the paragraph or item a citation names.
#include "view/page_bridge.h"
#include "view/page_view.h"

#include <utility>

namespace velto {

bool C2ndView::show_at(const std::string& id, const std::string& anchor, const std::string& scope)
{
    if (id.size() != kPageIdLength)
        return false;
    pending_reveal_ = {id, anchor, scope};
    const bool whole = anchor.empty() || shown_in_full_ || !doc_._is_abbreviated(id);
    if (id == current_id_ && whole) {
        if (!loading_)
            reveal_pending();
        return true;
    }
    // Reached as through a link, so that a large article comes in full.
    const bool from_link = std::exchange(from_link_, !anchor.empty());
    const bool shown = _show(id);
    from_link_ = from_link;
    if (!shown) {
        pending_reveal_ = {};
        return false;
    }
    if (pane_ && synchronisation_active())
        pane_->_sync(id);
    return true;
}

void C2ndView::reveal_pending()
{
    const auto place = std::exchange(pending_reveal_, {});
    if (place.page.empty() || place.page != current_id_)
        return;
    bridge_->run(PageBridge::call(
        "reveal", {QString::fromStdString(place.anchor), QString::fromStdString(place.scope)}));
}

} // namespace velto
