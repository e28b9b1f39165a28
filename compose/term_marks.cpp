#include "compose/term_marks.h"

#include "compose/velto_doc.h"

namespace velto {

bool TermMarks::begin(std::string_view id_fn)
{
    marker_ = nullptr;
    const std::string_view law = id_fn.substr(0, 3);
    auto it = by_law_.find(law);
    if (it == by_law_.end()) {
        std::unique_ptr<TermMarker> marker;
        try {
            if (book_.available())
                if (TermsInUse terms = book_.terms_in_use(law); !terms.empty())
                    marker = std::make_unique<TermMarker>(std::move(terms), book_.whole_words());
        } catch (const ComponentError&) {
            return false; // the page is shown without its terms marked, and asks again next time
        }
        it = by_law_.emplace(std::string(law), std::move(marker)).first;
    }
    marker_ = it->second.get();
    return marker_ != nullptr;
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
