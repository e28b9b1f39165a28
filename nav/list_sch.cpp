#include "nav/list_sch.h"

#include "search/search_service.h"
#include "compose/velto_doc.h"
#include "search/search_text.h"
#include "nav/control_ids.h"

#include <QPointer>

namespace velto {

VListSch::VListSch(QWidget* parent) : VListBase(kIdSearchList, parent) { keep_column_widths(); }

// The service waits for its threads; their news for this list are dropped with it.
VListSch::~VListSch() = default;

SearchService& VListSch::service(CVeltoDoc& doc)
{
    if (!service_)
        service_ = std::make_unique<SearchService>(doc.connection_string());
    return *service_;
}

void VListSch::prepare_search(CVeltoDoc& doc)
{
    if (doc.connected())
        service(doc).preload();
}

bool VListSch::_search_in_all_pages_2nd(const std::string& text)
{
    std::vector<std::string> words;
    if (searching_ || !doc_ || !_split_words(text, words)) {
        send_pane(kCmdSearchFinished);
        return false;
    }
    if (words.size() > kMaxSearchWords) {
        send_pane(kCmdSearchFinished);
        doc_->reporter().show(std::string(kSearchResultCaption), std::string(kSearchTooManyWords), MessageButtons::Ok,
                              MessageIcon::Exclamation);
        return false;
    }
    send_wait(kCmdWaitProgressStart, kSearchStepsPerWord * static_cast<int>(words.size()));

    // The news of the search's thread reach this list through its event
    // queue; a list that has gone takes its queue with it.
    QPointer<VListSch> self(this);
    const auto advance = [self](int steps) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, steps] {
                for (int i = 0; self && i < steps; ++i)
                    self->send_wait(kCmdWaitProgressStep);
            },
            Qt::QueuedConnection);
    };
    const auto done = [self](SearchOutcome outcome) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, outcome = std::move(outcome)]() mutable {
                if (self)
                    self->finish_search(std::move(outcome));
            },
            Qt::QueuedConnection);
    };
    if (!service(*doc_).start(std::move(words), advance, done)) {
        send_wait(kCmdWaitProgressHide);
        send_pane(kCmdSearchFinished);
        return false;
    }
    searching_ = true;
    return true;
}

void VListSch::finish_search(SearchOutcome outcome)
{
    searching_ = false;
    send_wait(kCmdWaitProgressHide);
    send_pane(kCmdSearchFinished);
    switch (outcome.status) {
    case SearchOutcome::Status::Done:
        break;
    case SearchOutcome::Status::Failed:
        report(doc_->reporter(), kSearchWordOrigin, ReportVariant::Tab, *outcome.error);
        return;
    case SearchOutcome::Status::Unexpected:
        report_unexpected(doc_->reporter(), kSearchOrigin, ReportVariant::Tab);
        return;
    case SearchOutcome::Status::Cancelled:
        return;
    }

    {
        // The pane waits until the list is complete.
        QWidget* pane = parentWidget() ? parentWidget() : this;
        const bool painting = pane->updatesEnabled();
        pane->setUpdatesEnabled(false);
        _clear();
        const int law_column = _column_of(kColumnLaw);
        const int label_column = _column_of(kColumnArticle);
        for (const std::string& id : outcome.pages) {
            const SearchRow found = search_row(*doc_, id);
            ListRow row;
            row.id = found.id;
            row.columns.assign(static_cast<std::size_t>(columnCount()), std::string());
            if (law_column >= 0)
                row.columns[static_cast<std::size_t>(law_column)] = found.law;
            if (label_column >= 0)
                row.columns[static_cast<std::size_t>(label_column)] = found.label;
            _add_row(row);
        }
        _autosize_columns();
        pane->setUpdatesEnabled(painting);
        pane->repaint();
    }

    doc_->reporter().show(std::string(kSearchResultCaption), search_result_message(outcome.pages.size()),
                          MessageButtons::Ok, MessageIcon::Information);
    send_pane(kCmdRecordSearch);
    send_pane(kCmdRemark);
    send_pane(kCmdFocusPage);
}

} // namespace velto

namespace velto {

void VListSch::forget_database()
{
    service_.reset(); // waits for its threads; a search's news are dropped with it
    if (searching_) {
        searching_ = false;
        send_pane(kCmdSearchFinished);
    }
    _clear();
}

} // namespace velto
