// What the view does with the text of the page shown: ぷちコピー, the find in
// the page and the search words painted in it (view/word_marks.h).
#include "compose/html_format.h"
#include "view/copy_notice.h"
#include "view/page_search_dlg.h"
#include "view/page_view.h"
#include "view/view_page.h"
#include "view/word_marks.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWebEnginePage>

namespace velto {

const std::string& C2ndView::find_string() const { return marks_->find_string(); }

std::array<std::string, 3> C2ndView::word_colours() const
{
    const DisplaySettings& d = doc_.display();
    return {"#" + colour_hex(d[DisplaySettings::FontColorTarget1]), "#" + colour_hex(d[DisplaySettings::FontColorTarget2]),
            "#" + colour_hex(d[DisplaySettings::FontColorTarget3])};
}

void C2ndView::_mark_words(const std::string& text, bool clear, std::function<void(int)> done)
{
    if (current_id_.empty()) {
        if (done)
            done(WordMarks::kFailed);
        return;
    }
    // The page the marks are meant for: an answer from another is refused.
    const QString page = loading_url_.path();
    if (clear)
        marks_->clear(page, std::move(done));
    else
        marks_->mark(text, word_colours(), page, std::move(done));
}

void C2ndView::copy_selection()
{
    const QString selected = page_->selectedText();
    if (selected.isEmpty())
        return;
    const ClippedCopy copy = clip_for_copy(selected.toStdString());
    if (copy.cut && CCopyNoticeDlg::wanted(doc_.settings())) {
        CCopyNoticeDlg notice(doc_.settings(), window());
        notice.exec();
    }
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdString(copy.text));
}

void C2ndView::find_in_page()
{
    if (!find_string().empty())
        _mark_words(find_string(), true);
    CPageSearchDlg dialog(*this, doc_.settings(), window(), last_find_text_);
    dialog.exec();
    last_find_text_ = dialog.last_text();
}

} // namespace velto
