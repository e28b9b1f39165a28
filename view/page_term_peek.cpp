// The preview of a marked use of a defined term: the definition, headed by
// its source as the page's law names it (citations/term_peek.h), in the link
// preview window; a click there opens the definition's page at it.
#include "view/page_view.h"

namespace velto {

bool C2ndView::compose_term_peek(std::string& html)
{
    if (current_id_.size() < 3)
        return false;
    if (!term_peek_)
        term_peek_ = std::make_unique<TermPeek>(doc_);
    return term_peek_->compose(hovered_.id, hovered_.anchor, std::string_view(current_id_).substr(0, 3), peeked_, html);
}

} // namespace velto
