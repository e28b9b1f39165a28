#include "compose/term_marks.h"

#include "compose/velto_doc.h"

namespace velto {

bool TermMarks::begin(std::string_view id_fn)
{
    marker_.reset();
    try {
        if (!book_.available())
            return false;
        if (!whole_)
            whole_ = std::make_unique<WordIndex>(book_.whole_words());
        page_ = book_.page_terms(id_fn);
    } catch (const ComponentError&) {
        return false; // the page is shown without its terms marked
    }
    if (page_.empty())
        return false;
    marker_ = std::make_unique<TermMarker>(page_, *whole_);
    return true;
}

void CVeltoDoc::begin_term_marks(std::string_view id_fn)
{
    if (!toggles_.TermMarks) {
        if (term_marks_)
            term_marks_->end();
        return;
    }
    if (!term_marks_)
        term_marks_ = std::make_unique<TermMarks>(db_);
    term_marks_->begin(id_fn);
}

void CVeltoDoc::mark_terms(std::string& html, std::string_view id_bn) const
{
    if (term_marks_ && toggles_.TermMarks)
        term_marks_->mark(html, id_bn);
}

void CVeltoDoc::end_term_marks()
{
    if (term_marks_)
        term_marks_->end();
}

TermBook* CVeltoDoc::term_book()
{
    if (!connected_)
        return nullptr;
    if (!term_marks_)
        term_marks_ = std::make_unique<TermMarks>(db_);
    return &term_marks_->book();
}

} // namespace velto
