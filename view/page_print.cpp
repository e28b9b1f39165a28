// Printing the page shown and its preview. A PDF file is written by the
// engine's own PDF printing, so that its text stays text (searchable, to
// quote from) and its pages small. For a printer and the preview the engine
// renders the page into pages of the printer's size and then onto the
// printer. Either way print backgrounds are on, so bracket colours, marks
// and pictures print as they are shown, while the page's own background
// colour never does (the view's script gives paper a white page). Both are
// asynchronous, and a printer, the preview in particular, wants its pages
// before the call returns, so the view waits for the engine.
#include "view/page_view.h"
#include "view/view_page.h"

#include <QEventLoop>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

#include <utility>

namespace velto {

namespace {

// The engine rasterises the page for the printer: enough for text on paper,
// without pages of hundreds of megabytes.
constexpr int kPrintResolution = 300;
// How long printing waits for a page still loading (milliseconds).
constexpr int kLoadWait = 30000;

constexpr char kPrintCaption[] = "印刷処理に関するメッセージ";
constexpr char kPreviewCaption[] = "プレビュー処理に関するメッセージ";

} // namespace

void C2ndView::_print_page(bool preview)
{
    if (printing_)
        return;
    const std::string caption = preview ? kPreviewCaption : kPrintCaption;
    if (current_id_.empty()) {
        doc_.reporter().show(caption,
                             preview ? "プレビューを行う前に法文を表示させて下さい。"
                                     : "印刷を行う前に法文を表示させて下さい。",
                             MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    _focus_page();
    QPrinter printer(QPrinter::HighResolution);
    if (printer.resolution() > kPrintResolution)
        printer.setResolution(kPrintResolution);
    bool failed = false;
    if (preview) {
        QPrintPreviewDialog dialog(&printer, window());
        dialog.resize(window()->size());
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this, &failed](QPrinter* target) {
            if (!print_document(*target))
                failed = true;
        });
        dialog.exec();
    } else {
        QPrintDialog dialog(&printer, window());
        if (dialog.exec() != QDialog::Accepted)
            return;
        failed = !print_to(printer);
    }
    if (failed)
        doc_.reporter().show(caption, preview ? "プレビューを表示できませんでした。" : "印刷できませんでした。",
                             MessageButtons::Ok, MessageIcon::Exclamation);
}

bool C2ndView::print_to(QPrinter& printer)
{
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return print_document(printer);
    QPointer<C2ndView> self(this);
    if (!begin_printing())
        return false;
    QEventLoop wait;
    bool done = false;
    QByteArray pdf;
    connect(page_, &QObject::destroyed, &wait, &QEventLoop::quit);
    page_->printToPdf(
        [&done, &pdf, &wait, self](const QByteArray& bytes) {
            if (!self)
                return;
            done = true;
            pdf = bytes;
            wait.quit();
        },
        printer.pageLayout(), printer.pageRanges());
    if (!done)
        wait.exec();
    if (!self)
        return false;
    end_printing();
    // Written beside its place and renamed into it when whole.
    QSaveFile file(printer.outputFileName());
    return done && !pdf.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size() && file.commit();
}

bool C2ndView::begin_printing()
{
    if (current_id_.empty() || printing_)
        return false;
    printing_ = true;
    emit commandStateChanged();
    QPointer<C2ndView> self(this);
    wait_for_page();
    return self;
}

void C2ndView::end_printing()
{
    printing_ = false;
    emit commandStateChanged();
}

void C2ndView::wait_for_page()
{
    // A page on its way is printed once it is there, not the one before it.
    if (!loading_)
        return;
    QEventLoop arrival;
    connect(page_, &QWebEnginePage::loadingChanged, &arrival, [this, &arrival] {
        if (!loading_)
            arrival.quit();
    });
    connect(page_, &QObject::destroyed, &arrival, &QEventLoop::quit);
    QTimer::singleShot(kLoadWait, &arrival, &QEventLoop::quit);
    arrival.exec();
}

bool C2ndView::print_document(QPrinter& printer)
{
    QPointer<C2ndView> self(this);
    if (!begin_printing())
        return false;
    QEventLoop wait;
    bool done = false;
    bool ok = false;
    QPointer<QWebEngineView> browser(browser_);
    const auto finished = connect(browser_, &QWebEngineView::printFinished, &wait, [&](bool success) {
        done = true;
        ok = success;
        wait.quit();
    });
    connect(browser_, &QObject::destroyed, &wait, &QEventLoop::quit);
    browser_->print(&printer);
    if (!done)
        wait.exec();
    if (!self)
        return false;
    if (browser)
        disconnect(finished);
    end_printing();
    return ok;
}

} // namespace velto
