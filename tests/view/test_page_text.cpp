// Copy, find in the page with its word marks, and printing, in a headless
// page view.
#include "settings/persisted_state.h"
#include "core/sjis.h"
#include "tests/view/view_fixture.h"
#include "view/copy_notice.h"
#include "view/page_find_bar.h"
#include "view/word_marks.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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
#include <QWebEngineView>

#include <fstream>
#include <algorithm>
#include <array>
#include <iterator>
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

// ---- 条文をコピー ------------------------------------------------------------

TEST_F(PageTextTest, CopyProvisionPutsTheParagraphUnderTheMouseInFull)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto copy_at = [&](const QString& selector) {
        clipboard->clear();
        view->context_menu()->hide();
        EXPECT_TRUE(mouse_click(selector, Qt::RightButton)) << selector.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return view->context_menu()->isVisible(); }, kWait));
        for (QAction* action : view->context_menu()->actions())
            if (action->data().toInt() == C2ndView::kCopyProvision) {
                EXPECT_TRUE(action->isEnabled());
                action->trigger();
            }
        view->context_menu()->hide();
        return clipboard->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    // On the words of the second paragraph: that paragraph, in full, headed by its citation.
    js(QStringLiteral("document.getElementById('01A-00010000-00-0200-0000-0000-0000').closest('div')"
                      ".setAttribute('data-test', 'second')"));
    const QStringList paragraph = copy_at(QStringLiteral("[data-test=\"second\"]"));
    ASSERT_EQ(paragraph.size(), 2) << clipboard->text().toStdString();
    EXPECT_EQ(paragraph[0], QStringLiteral("建築基準法第一条第二項"));
    EXPECT_TRUE(paragraph[1].endsWith(QStringLiteral("健康及び財産の保護を図る。"))) << paragraph[1].toStdString();
    // On its number: the same.
    EXPECT_EQ(copy_at(QStringLiteral("[id=\"01A-00010000-00-0200-0000-0000-0000\"]")), paragraph);
    // Above the first paragraph (the title): the whole article, its links as words.
    const QStringList article = copy_at(QStringLiteral("body > *:first-child"));
    ASSERT_EQ(article.size(), 25) << clipboard->text().toStdString();
    EXPECT_EQ(article[0], QStringLiteral("建築基準法第一条"));
    EXPECT_TRUE(article[1].contains(QStringLiteral("建築物の基準（第2条及び第3条に定めるもの"))) << article[1].toStdString();
    EXPECT_FALSE(clipboard->text().contains(QLatin1Char('<')));
}

// ---- Find in the page --------------------------------------------------------

TEST_F(PageTextTest, FindPaintsUpToThreeWordsAndClearingGivesEveryColourBack)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    const QString original = body_html();
    PageFindBar& dialog = *view->find_bar();
    view->run_command(C2ndView::kFindInPage);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.search_button()->isEnabled());
    EXPECT_TRUE(dialog.message()->text().isEmpty());
    const auto search = [&](const QString& text) {
        QSignalSpy searched(&dialog, &PageFindBar::searched);
        dialog.edit()->setText(text);
        EXPECT_TRUE(dialog.search_button()->isEnabled());
        dialog.search_button()->click();
        EXPECT_TRUE(searched.count() > 0 || searched.wait(kWait));
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

TEST_F(PageTextTest, TheFindBarLeavesThePageInViewAndStepsThroughTheMatches)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    view->resize(700, 500);
    QApplication::processEvents();
    const QRect page_before = view->browser()->geometry();
    view->run_command(C2ndView::kFindInPage);
    PageFindBar& bar = *view->find_bar();
    ASSERT_TRUE(bar.isVisible());
    QApplication::processEvents();
    // Under the page, beside none of its text, and narrow enough for the page beside the contents
    // at the window's first 800 pixels (about 520 of them).
    EXPECT_GE(bar.geometry().top(), view->browser()->geometry().bottom());
    EXPECT_LE(bar.minimumSizeHint().width(), 520);
    EXPECT_EQ(view->browser()->geometry().top(), page_before.top());

    const int buildings = page_text().count(QStringLiteral("建築物"));
    ASSERT_GE(buildings, 3);
    QSignalSpy searched(&bar, &PageFindBar::searched);
    bar.edit()->setText(QStringLiteral("建築物"));
    QTest::keyClick(bar.edit(), Qt::Key_Return);
    ASSERT_TRUE(searched.count() > 0 || searched.wait(kWait));
    EXPECT_EQ(bar.message()->text(), QStringLiteral("%1個見つかりました。").arg(buildings));
    EXPECT_EQ(view->last_find_text(), "建築物");

    // F3 and Shift+F3 (here the view's commands): one occurrence after the
    // other, outlined and brought into the middle of the view, round at the ends.
    const auto outlined = [&] {
        return js(QStringLiteral("Array.from(document.querySelectorAll('span')).filter(function (s) { "
                                 "return s.style.outline !== ''; }).map(function (s) { return s.textContent; }).join('')"))
            .toString();
    };
    const auto step = [&](int command) {
        QSignalSpy stepped(&bar, &PageFindBar::stepped);
        view->run_command(command);
        EXPECT_TRUE(stepped.count() > 0 || stepped.wait(kWait));
        return bar.message()->text();
    };
    js(QStringLiteral("scrollTo(0, 0)"));
    ASSERT_TRUE(wait_scroll(0));
    EXPECT_EQ(step(C2ndView::kFindNext), QStringLiteral("%1個中1個目").arg(buildings));
    EXPECT_EQ(outlined(), QStringLiteral("建築物"));
    EXPECT_EQ(step(C2ndView::kFindNext), QStringLiteral("%1個中2個目").arg(buildings));
    EXPECT_EQ(step(C2ndView::kFindPrevious), QStringLiteral("%1個中1個目").arg(buildings));
    EXPECT_EQ(step(C2ndView::kFindPrevious), QStringLiteral("%1個中%1個目").arg(buildings));
    EXPECT_EQ(outlined(), QStringLiteral("建築物")); // one outline at a time
    // The last one lies far down: the view went there.
    EXPECT_TRUE(QTest::qWaitFor([&] { return scroll_y() > 0; }, kWait));

    // Esc closes the bar; the paint stays, the page has the keyboard and stays where it was.
    view->window()->activateWindow();
    bar.edit()->setFocus();
    const int scrolled = scroll_y();
    const int freed = bar.height(); // the page grows by the bar's height: at its end it moves by as much
    QTest::keyClick(bar.edit(), Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(view->find_string(), "建築物");
    QTest::qWait(300);
    EXPECT_NEAR(scroll_y(), scrolled, freed);

    // Another page: nothing painted, F3 paints the text last found again and goes to its first.
    ASSERT_TRUE(show("01A-00030000-00"));
    ASSERT_EQ(view->find_string(), "");
    const int there = page_text().count(QStringLiteral("建築物"));
    ASSERT_GT(there, 0);
    EXPECT_EQ(step(C2ndView::kFindNext), QStringLiteral("%1個中1個目").arg(there));
    EXPECT_EQ(view->find_string(), "建築物");
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

    // `printer` prints to the PDF file `name` of the test's folder, A4; its path.
    QString to_pdf_file(QPrinter& printer, const std::string& name)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        const QString file = QString::fromStdString(dir.file(name));
        printer.setOutputFileName(file);
        return file;
    }

    // The text of a PDF file, its pages separated by form feeds, without line breaks.
    static QString pdf_text(const QString& file)
    {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        EXPECT_TRUE(text.waitForFinished(kWait)) << "pdftotext (poppler-utils) is needed";
        return QString::fromUtf8(text.readAllStandardOutput()).remove(QLatin1Char('\n'));
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

// The first page of a PDF file as a grey picture of `dpi` dots an inch: width, height, pixels.
struct Grey {
    int width = 0, height = 0;
    std::string pixels;
};
Grey first_page(const QString& pdf, int dpi)
{
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi),
                                              QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                              QStringLiteral("1"), pdf});
    if (!render.waitForFinished(kWait))
        return {};
    std::istringstream pgm(render.readAllStandardOutput().toStdString());
    std::string magic;
    Grey grey;
    int depth = 0;
    pgm >> magic >> grey.width >> grey.height >> depth;
    pgm.get();
    grey.pixels.assign(std::istreambuf_iterator<char>(pgm), {});
    if (magic != "P5" || grey.pixels.size() != static_cast<std::size_t>(grey.width) * grey.height)
        return {};
    return grey;
}

TEST_F(PrintTest, APdfFileKeepsItsTextAndNoBackgroundColour)
{
    start();
    DisplaySettings values = doc->display();
    values[DisplaySettings::BackColor] = 0x00FFFF; // a yellow page on the screen
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    ASSERT_TRUE(view->_show(kLong));
    ASSERT_TRUE(loaded.wait(kWait));
    doc->set_display(values);
    ASSERT_TRUE(loaded.wait(kWait));

    QPrinter printer(QPrinter::HighResolution);
    const QString file = to_pdf_file(printer, "article.pdf");
    ASSERT_TRUE(view->print_to(printer));
    ASSERT_TRUE(QFileInfo::exists(file));

    // Text stays text: the words are in the file, pages are small.
    const QString words = pdf_text(file);
    EXPECT_TRUE(words.contains(QStringLiteral("【長い条】")));
    EXPECT_TRUE(words.contains(QStringLiteral("最後の段落（括弧の中）の本文。")));
    const int pages = words.count(QLatin1Char('\f'));
    ASSERT_GE(pages, 3);
    EXPECT_LT(QFileInfo(file).size() / pages, 200 * 1024);

    // Paper stays white: the page's yellow (grey 226 here) is neither in a
    // corner nor the colour most of the page has.
    const Grey grey = first_page(file, 20);
    ASSERT_GT(grey.width, 0) << "pdftoppm (poppler-utils) is needed";
    std::array<int, 256> count{};
    for (const char dot : grey.pixels)
        ++count[static_cast<unsigned char>(dot)];
    EXPECT_EQ(std::max_element(count.begin(), count.end()) - count.begin(), 255);
    for (const std::size_t corner : {std::size_t{0}, static_cast<std::size_t>(grey.width - 1), grey.pixels.size() - 1})
        EXPECT_GE(static_cast<unsigned char>(grey.pixels[corner]), 250) << corner;
    EXPECT_TRUE(reporter.messages().empty());
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
    const QString printed = to_pdf_file(printer, "printed.pdf");
    ASSERT_TRUE(view->print_document(printer));
    const int pages = pdf_pages(printed);

    // The engine's own rendering with the same layout holds all the text.
    const QString rendered = QString::fromStdString(dir.file("rendered.pdf"));
    QSignalSpy done(view->page(), &QWebEnginePage::pdfPrintingFinished);
    view->page()->printToPdf(rendered, printer.pageLayout());
    ASSERT_TRUE(done.wait(kWait));
    const QString all = pdf_text(rendered);
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
