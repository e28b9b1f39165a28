// The left pane after the law database was replaced under the reader.
#include "compose/velto_doc.h"
#include "nav/combo_lst.h"
#include "nav/control_ids.h"
#include "nav/list_bmk.h"
#include "nav/list_lst.h"
#include "nav/list_sch.h"
#include "nav/nav_pane.h"
#include "nav/tree_ctrl.h"

namespace velto {

void C1stView::reload_laws()
{
    if (!doc_.connected() || !any_tab_initialised_)
        return;
    search_list_->forget_database();
    tree_->_show();
    if (tab_initialised_[kTabList]) {
        const std::string law = law_selector_->_law_id();
        if (law_selector_->_init(doc_)) {
            const int entry = law_selector_->_find_law(law);
            law_selector_->setCurrentIndex(entry >= 0 ? entry : 0);
            article_list_->_show(law_selector_->_law_id());
        }
    }
    if (tab_initialised_[kTabBookmarks])
        bookmark_list_->_show(); // their captions come from the laws
    sync_if_active();
}

} // namespace velto
