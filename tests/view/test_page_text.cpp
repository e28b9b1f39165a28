// Copy, find in the page with its word marks, and printing, in a headless
// page view.
#include "settings/persisted_state.h"
#include "core/sjis.h"
#include "tests/view/view_fixture.h"
#include "view/copy_notice.h"
#include "view/page_search_dlg.h"
#include "view/word_marks.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>

#include <fstream>
#include <sstream>

namespace velto::test {
namespace {

constexpr const char* kArticle1 = "01A-00010000-00";
// The search-word colours of the default settings.
const QString kWord1 = QStringLiteral("rgb(135, 206, 235)");
const QString kWord2 = QStringLiteral("rgb(255, 192, 251)");
const QString kWord3 = QStringLiteral("rgb(255, 215, 0)");

std::string repeat(const std::string& text, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += text;
    return out;
}

// Runs `act`, answering every modal dialog it opens with `answer`; the
// number of dialogs opened.
int with_dialogs(const std::function<void()>& act, const std::function<void(QDialog*)>& answer)
{
    int opened = 0;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            if (d->isVisible() && !d->property("answered").toBool()) {
                d->setProperty("answered", true);
                ++opened;
                answer(d);
            }
        }
    });
    poll.start();
    act();
    return opened;
}

class PageTextTest : public PageViewTest {
protected:
    // The number of marks in the page painted with `colour`.
    int marks(const QString& colour)
    {
        return js(QStringLiteral("Array.from(document.querySelectorAll('span')).filter(function (s) { "
                                 "return s.style.backgroundColor === '%1'; }).length")
                      .arg(colour))
            .toInt();
    }
    QString body_html() { return js(QStringLiteral("document.body.innerHTML")).toString(); }
    // Selects the content of the element `selector` and waits until the view knows.
    void select(const QString& selector)
    {
        js(QStringLiteral("getSelection().removeAllRanges()"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view->command_enabled(C2ndView::kCopy); }, kWait));
        js(QStringLiteral("getSelection().selectAllChildren(document.querySelector('%1'))").arg(selector));
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->command_enabled(C2ndView::kCopy); }, kWait));
    }
    // _mark_words, waiting for its result.
    int mark(const std::string& text, bool clear = false)
    {
        auto result = std::make_shared<std::optional<int>>();
        view->_mark_words(text, clear, [result](int n) { *result = n; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result->has_value(); }, kWait));
        return result->value_or(-100);
    }
};

// ---- Copy ------------------------------------------------------------------

TEST(CopyText, LongSelectionsAreCutOnACharacterBoundary)
{
    const std::string kanji2000 = repeat("字", 1000); // 2000 Shift-JIS bytes
    const struct {
        std::string selection;
        std::string copied;
        bool cut;
    } cases[] = {
        {kanji2000, repeat("字", 512) + " ...", true},              // 1024 bytes
        {"a" + kanji2000, "a" + repeat("字", 511) + " ...", true},  // 1023: no half character
        {std::string(100, 'x'), std::string(100, 'x'), false},
        {"a" + repeat("字", 511) + "b", "a" + repeat("字", 511) + "b", false}, // exactly 1024
        {std::string(), std::string(), false},
    };
    for (const auto& c : cases) {
        const ClippedCopy copy = clip_for_copy(c.selection);
        EXPECT_EQ(copy.text, c.copied) << c.selection.size();
        EXPECT_EQ(copy.cut, c.cut) << c.selection.size();
    }
}

TEST_F(PageTextTest, CopyPutsPlainTextOnTheClipboardWithTheNoticeUntilTicked)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    EXPECT_FALSE(view->command_enabled(C2ndView::kCopy)); // nothing selected
    QClipboard* clipboard = QGuiApplication::clipboard();

    // The whole page: more than 1024 bytes.
    select(QStringLiteral("body"));
    ASSERT_GT(sjis_width(view->page()->selectedText().toStdString()), 2000u);
    const int notices = with_dialogs([&] { view->run_command(C2ndView::kCopy); }, [](QDialog* d) {
        auto* notice = qobject_cast<CCopyNoticeDlg*>(d);
        ASSERT_NE(notice, nullptr);
        notice->check_box()->click();
        notice->accept();
    });
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(settings.read_int(kSectionSettings, kValueClipChk), 1);
    const std::string copied = clipboard->text().toStdString();
    ASSERT_TRUE(copied.ends_with(" ..."));
    const std::size_t width = sjis_width(copied) - 4;
    EXPECT_TRUE(width == 1024 || width == 1023) << width;
    EXPECT_EQ(clipboard->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});

    // Ticked: no notice any more.
    EXPECT_EQ(with_dialogs([&] { view->run_command(C2ndView::kCopy); }, [](QDialog* d) { d->reject(); }), 0);
    EXPECT_TRUE(clipboard->text().endsWith(QStringLiteral(" ...")));

    // A short selection is copied unchanged, without the notice.
    settings.write_int(kSectionSettings, kValueClipChk, 0);
    select(QStringLiteral("a[href*=\"01A-00030000\"]"));
    const QString link_text = view->page()->selectedText();
    ASSERT_EQ(link_text, QStringLiteral("第3条"));
    EXPECT_EQ(with_dialogs([&] { view->run_command(C2ndView::kCopy); }, [](QDialog* d) { d->reject(); }), 0);
    EXPECT_EQ(clipboard->text(), link_text);
}

// ---- Find in the page --------------------------------------------------------

TEST_F(PageTextTest, FindPaintsUpToThreeWordsAndClearingGivesEveryColourBack)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    const QString original = body_html();
    CPageSearchDlg dialog(*view, settings, view.get(), "");
    dialog.show();
    EXPECT_FALSE(dialog.search_button()->isEnabled());
    EXPECT_FALSE(dialog.message()->isVisible());
    const auto search = [&](const QString& text) {
        QSignalSpy searched(&dialog, &CPageSearchDlg::searched);
        dialog.edit()->setText(text);
        EXPECT_TRUE(dialog.search_button()->isEnabled());
        dialog.search_button()->click();
        EXPECT_TRUE(searched.count() > 0 || searched.wait(kWait));
        EXPECT_TRUE(dialog.message()->isVisible());
        return dialog.message()->text();
    };

    // A link, a word inside two coloured brackets, and one of every paragraph:
    // every occurrence in the text shown.
    const QString shown = page_text();
    const int links = shown.count(QStringLiteral("第2条"));
    const int terms = shown.count(QStringLiteral("用語"));
    const int buildings = shown.count(QStringLiteral("建築物"));
    ASSERT_GE(buildings, 24);
    EXPECT_EQ(search(QStringLiteral("第2条 用語 建築物")),
              QStringLiteral("%1個見つかりました。").arg(links + terms + buildings));
    EXPECT_EQ(marks(kWord1), links);
    EXPECT_EQ(marks(kWord2), terms);
    EXPECT_EQ(marks(kWord3), buildings);
    EXPECT_EQ(view->find_string(), "第2条 用語 建築物");
    EXPECT_EQ(dialog.last_text(), "第2条 用語 建築物");
    EXPECT_TRUE(view->command_enabled(C2ndView::kClearMarks));
    // The marks sit inside the link and the brackets, which stay whole.
    EXPECT_EQ(js(QStringLiteral("(function () { var s = document.querySelector('a[href*=\"01A-00020000\"] span'); "
                                "return s ? s.style.backgroundColor + '|' + s.parentNode.textContent : ''; })()"))
                  .toString(),
              kWord1 + QStringLiteral("|第2条"));
    EXPECT_EQ(js(QStringLiteral("(function () { var s = Array.from(document.querySelectorAll('span')).filter("
                                "function (e) { return e.textContent === '用語'; })[0]; "
                                "return s.parentNode.style.backgroundColor; })()"))
                  .toString(),
              QStringLiteral("rgb(221, 255, 255)")); // the inner bracket's colour, beneath the mark

    // Searching again takes the first paint off first.
    const int standards = page_text().count(QStringLiteral("基準"));
    EXPECT_EQ(search(QStringLiteral("　基準　")), QStringLiteral("%1個見つかりました。").arg(standards)); // one word
    EXPECT_EQ(marks(kWord1), standards);
    EXPECT_EQ(marks(kWord2) + marks(kWord3), 0);

    // Four words paint nothing; neither does a word not in the page.
    EXPECT_EQ(search(QStringLiteral("建築物 基準 用語 第2条")), QStringLiteral("検索できる単語は３個までです。"));
    EXPECT_EQ(body_html(), original);
    EXPECT_EQ(search(QStringLiteral("存在しない語")), QStringLiteral("見つかりませんでした。"));
    EXPECT_EQ(body_html(), original);
    EXPECT_EQ(view->find_string(), "");
    EXPECT_EQ(dialog.last_text(), "　基準　"); // only a search with hits is remembered

    // 反転マークのクリア: the page exactly as it was.
    ASSERT_GT(mark("建築物 用語 第2条"), 0);
    ASSERT_NE(body_html(), original);
    view->run_command(C2ndView::kClearMarks);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->find_string().empty(); }, kWait));
    EXPECT_EQ(body_html(), original);
    EXPECT_FALSE(view->command_enabled(C2ndView::kClearMarks));

    // Letters and digits match in either width; the last occurrence of the
    // first word comes to the top of the view.
    EXPECT_EQ(mark("第２条"), links);
    js(QStringLiteral("scrollTo(0, 0)"));
    ASSERT_TRUE(wait_scroll(0));
    EXPECT_EQ(mark("建築物"), buildings);
    EXPECT_TRUE(QTest::qWaitFor([&] { return scroll_y() > 0; }, kWait));

    // A new page starts unpainted; without a page there is nothing to paint.
    ASSERT_TRUE(show("01A-00030000-00"));
    EXPECT_EQ(view->find_string(), "");
    EXPECT_EQ(mark("a b c d"), WordMarks::kTooManyWords);
    EXPECT_EQ(mark("　"), WordMarks::kFailed);
}

TEST_F(PageTextTest, FindDialogKeepsItsPlaceRelativeToTheMainWindow)
{
    start();
    view->move(40, 30);
    QApplication::processEvents();
    const QRect main = view->frameGeometry();
    QPoint offset;
    {
        CPageSearchDlg dialog(*view, settings, view.get(), "建築物");
        EXPECT_EQ(dialog.edit()->text(), QStringLiteral("建築物"));
        EXPECT_TRUE(dialog.search_button()->isEnabled());
        // First opened: centred on the main window.
        EXPECT_LE(std::abs(dialog.x() + dialog.width() / 2 - main.center().x()), 1);
        EXPECT_LE(std::abs(dialog.y() + dialog.height() / 2 - main.center().y()), 1);
        dialog.show();
        dialog.move(dialog.pos() + QPoint(-30, 50));
        offset = dialog.pos() - main.topLeft();
        dialog.reject();
    }
    // The main window moved: the dialog moves with it.
    view->move(140, 80);
    QApplication::processEvents();
    CPageSearchDlg dialog(*view, settings, view.get(), "");
    EXPECT_EQ(dialog.pos() - view->frameGeometry().topLeft(), offset);
}

// ---- Printing --------------------------------------------------------------

// Pages whose text fills several printed pages.
class PrintTest : public PageTextTest {
protected:
    static constexpr const char* kLong = "01A-00070000-00";
    static constexpr int kParagraphs = 99;

    void SetUp() override
    {
        std::string sql = "INSERT INTO T_条 VALUES ('01A-00070000-00', '01A-0100-0000-0000-0000', '長い条', '', 0, 0, -1);\n";
        for (int p = 1; p <= kParagraphs; ++p) {
            char id[64];
            std::snprintf(id, sizeof id, "01A-00070000-00-%02d00-0000-0000-0000", p);
            const std::string text = p == kParagraphs
                                         ? "最後の段落（括弧の中）の本文。"
                                         : repeat("建築物の敷地、構造、設備及び用途に関する最低の基準を定めて、"
                                                  "国民の生命、健康及び財産の保護を図る。",
                                                  2) +
                                               std::to_string(p);
            sql += "INSERT INTO T_文 VALUES ('" + std::string(id) + "', '" + text + "', '', 0, 0, " +
                   (p == 1 ? "1" : "0") + ", 0, NULL);\n";
        }
        extra_sql.push_back(sql);
        PageTextTest::SetUp();
    }
};

// The number of pages of a PDF file written by Qt.
int pdf_pages(const QString& file)
{
    std::ifstream in(file.toStdString(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string pdf = bytes.str();
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        pages += pdf.compare(at, 12, "/Type /Pages") != 0;
    return pages;
}

TEST_F(PrintTest, WithoutAPageThereIsAMessageInsteadOfPrinting)
{
    open_view();
    EXPECT_FALSE(view->command_enabled(C2ndView::kPrint));
    EXPECT_FALSE(view->command_enabled(C2ndView::kPrintPreview));
    view->_print_page(true);
    view->_print_page(false);
    ASSERT_EQ(reporter.messages().size(), 2u);
    EXPECT_EQ(reporter.messages()[0].caption, "プレビュー処理に関するメッセージ");
    EXPECT_EQ(reporter.messages()[0].text, "プレビューを行う前に法文を表示させて下さい。");
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(reporter.messages()[1].caption, "印刷処理に関するメッセージ");
    EXPECT_EQ(reporter.messages()[1].text, "印刷を行う前に法文を表示させて下さい。");
}

TEST_F(PrintTest, ALongArticlePrintsWhole)
{
    start();
    // Printed at once: the article, once it is there, not the page before.
    ASSERT_TRUE(view->_show(kLong));
    EXPECT_TRUE(view->command_enabled(C2ndView::kPrint));

    // The printer gets every page of the article.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QString printed = QString::fromStdString(dir.file("printed.pdf"));
    printer.setOutputFileName(printed);
    ASSERT_TRUE(view->print_document(printer));
    const int pages = pdf_pages(printed);

    // The engine's own rendering with the same layout holds all the text.
    const QString rendered = QString::fromStdString(dir.file("rendered.pdf"));
    QSignalSpy done(view->page(), &QWebEnginePage::pdfPrintingFinished);
    view->page()->printToPdf(rendered, printer.pageLayout());
    ASSERT_TRUE(done.wait(kWait));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {rendered, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(kWait)) << "pdftotext (poppler-utils) is needed";
    const QString all = QString::fromUtf8(text.readAllStandardOutput()).remove(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("【長い条】")));
    EXPECT_TRUE(all.contains(QStringLiteral("保護を図る。98")));
    EXPECT_TRUE(all.contains(QStringLiteral("最後の段落（括弧の中）の本文。")));
    EXPECT_GE(pages, 3);
    EXPECT_EQ(pages, all.count(QLatin1Char('\f')));

    // The preview shows the same pages.
    int previewed = 0;
    with_dialogs([&] { view->run_command(C2ndView::kPrintPreview); }, [&](QDialog* d) {
        auto* preview = d->findChild<QPrintPreviewWidget*>();
        if (preview)
            (void)QTest::qWaitFor([&] { return preview->pageCount() > 0; }, kWait);
        previewed = preview ? preview->pageCount() : -1;
        d->reject();
    });
    EXPECT_EQ(previewed, pages);
    EXPECT_TRUE(reporter.messages().empty());
}

} // namespace
} // namespace velto::test
