// What the view does with the text of the page shown: ぷちコピー, 条文をコピー,
// the find in the page and the search words painted in it (view/word_marks.h).
#include "citations/citation_copy.h"
#include "compose/html_format.h"
#include "view/copy_notice.h"
#include "view/page_bridge.h"
#include "view/page_find_bar.h"
#include "view/page_view.h"
#include "view/view_page.h"
#include "view/word_marks.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QWebEnginePage>

namespace velto {

namespace {

constexpr ReportOrigin kCopyOrigin{"条文のコピー", "C2ndView::copy_provision()"};

} // namespace

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

bool C2ndView::copy_provision(const std::string& sentence)
{
    std::string text;
    try {
        if (!velto::copy_provision(doc_, current_id_, sentence, text))
            return false;
    } catch (const ComponentError& error) {
        report(doc_.reporter(), kCopyOrigin, ReportVariant::Plain, error);
        return false;
    } catch (const std::exception&) {
        report_unexpected(doc_.reporter(), kCopyOrigin, ReportVariant::Plain);
        return false;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(QString::fromStdString(text));
    // What was copied, by its heading.
    emit statusTextChanged(QStringLiteral("%1 をコピーしました").arg(QString::fromStdString(text.substr(0, text.find('\n')))));
    return true;
}

void C2ndView::find_in_page()
{
    find_bar_->open(QString::fromStdString(last_find_text_));
}

void C2ndView::find_step(bool forward)
{
    if (!find_string().empty()) {
        find_bar_->step(forward);
        return;
    }
    if (last_find_text_.empty()) {
        find_in_page();
        return;
    }
    // Painted again first: the text last found, in the page shown now.
    find_bar_->edit()->setText(QString::fromStdString(last_find_text_));
    find_bar_->step(forward);
}

void C2ndView::step_marks(bool forward, std::function<void(int, int)> done)
{
    const QString page = loading_url_.path();
    const std::string shown = current_id_;
    QPointer<C2ndView> self(this);
    bridge_->run(PageBridge::call("stepMark", {forward, page}), [self, shown, done](const QVariant& answer) {
        if (!done)
            return;
        const QVariantMap at = answer.toMap();
        if (!self || self->current_id_ != shown || at.isEmpty())
            done(0, 0);
        else
            done(at.value(QStringLiteral("index")).toInt(), at.value(QStringLiteral("count")).toInt());
    });
}

} // namespace velto
