// The main window driven headless: start and stop, commands, the split, placement and keys.
#include "tests/app/main_frame_fixture.h"

#include "app/message_box_reporter.h"

using namespace velto;
using namespace velto::test;

namespace {

// Counts how often the settings would reach the disk: every write outside a
// batch, and the end of every batch that wrote.
class FlushCountingStore : public SettingsStore {
public:
    std::optional<int> read_int(std::string_view s, std::string_view n) const override { return held.read_int(s, n); }
    std::optional<std::string> read_string(std::string_view s, std::string_view n) const override
    {
        return held.read_string(s, n);
    }
    std::optional<std::string> read_binary(std::string_view s, std::string_view n) const override
    {
        return held.read_binary(s, n);
    }
    void write_int(std::string_view s, std::string_view n, int v) override { held.write_int(s, n, v), wrote(); }
    void write_string(std::string_view s, std::string_view n, std::string_view v) override
    {
        held.write_string(s, n, v), wrote();
    }
    void write_binary(std::string_view s, std::string_view n, std::string_view v) override
    {
        held.write_binary(s, n, v), wrote();
    }
    void begin_batch() override { ++depth; }
    void end_batch() override
    {
        if (--depth == 0 && pending)
            ++flushes, pending = false;
    }

    MemorySettingsStore held;
    int flushes = 0;
    int writes = 0;

private:
    void wrote()
    {
        ++writes;
        if (depth == 0)
            ++flushes;
        else
            pending = true;
    }
    int depth = 0;
    bool pending = false;
};

} // namespace

TEST(ReaderStop, EveryValueStoredAtTheEndGoesToTheSettingsInTwoFlushes)
{
    TempDir dir;
    std::filesystem::copy_file(VELTO_BINARY_DIR "/VT2014.m88", dir.file("VT2014.m88"));
    FlushCountingStore settings;
    CapturingReporter reporter;
    auto doc = std::make_unique<CVeltoDoc>(settings, reporter);
    DocumentOptions options;
    options.program_dir = dir.path();
    ASSERT_TRUE(doc->OnNewDocument(options));
    auto frame = std::make_unique<CMainFrame>(*doc, settings);
    ASSERT_TRUE(frame->create_client());
    frame->show_first(false);
    settings.flushes = settings.writes = 0;

    frame->close();                             // the window's placement and splitter
    CVeltoApp::stop(frame, doc, settings);      // the page shown, the panes, the 24 values and switches
    EXPECT_GT(settings.writes, 30);
    EXPECT_EQ(settings.flushes, 2);
    EXPECT_EQ(settings.held.read_string(kSectionSettings, kValueCurIDFN), "00A-Z0010000-00");
    EXPECT_TRUE(reporter.messages().empty());
}

TEST(ReaderStart, FreshSettingsReachTheDiskOnlyOnceTheFirstPageIsOnScreen)
{
    // A flush waits for the disk: none may stand between the start and the first page.
    TempDir dir;
    std::filesystem::copy_file(VELTO_BINARY_DIR "/VT2014.m88", dir.file("VT2014.m88"));
    FlushCountingStore settings;
    CapturingReporter reporter;
    CVeltoDoc doc(settings, reporter);
    DocumentOptions options;
    options.program_dir = dir.path();
    ASSERT_TRUE(doc.OnNewDocument(options));
    settings.flushes = 0;
    CMainFrame frame(doc, settings);
    ASSERT_TRUE(frame.create_client());
    frame.show_first(false);
    EXPECT_EQ(settings.held.read_int(kSectionRecords, kValueVersion), kSettingsVersionStamp);
    EXPECT_EQ(settings.flushes, 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.startup_finished(); }, kWait));
    EXPECT_EQ(settings.flushes, 1);
}

TEST_F(MainFrameTest, TheWindowAndTheVersionDialogNameTheEditionOfTheLawText)
{
    // The build's own database, with the whole laws and their editions.
    doc.reset();
    std::filesystem::copy_file(VELTO_BINARY_DIR "/VT2014.m88", dir.file("VT2014.m88"),
                               std::filesystem::copy_options::overwrite_existing);
    start_document();
    CMainFrame window(*doc, settings);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VelTo ヴェルト（建築基準法 令和8年4月1日施行）"));

    QString text, detail;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        detail = box->detailedText();
        box->accept();
    });
    ASSERT_TRUE(window.run_command(cmd::Version));
    EXPECT_EQ(text, QStringLiteral("ヴェルト VelTo Ver.14.03\n\n収録している法令の本文: 建築基準法 令和8年4月1日施行\n"
                                   "（法令ごとの版は「詳細を表示」で）"));
    EXPECT_TRUE(detail.contains(QStringLiteral("建築基準法施行令（昭和二十五年政令第三百三十八号）\n　令和7年12月1日施行")))
        << detail.toStdString();
    // An outdated edition is marked; the earlier editions follow their law.
    EXPECT_TRUE(detail.contains(QStringLiteral("建築基準法施行規則（昭和二十五年建設省令第四十号）\n"
                                               "　令和元年6月25日施行　※古い版です。それ以後の改正は含まれていません。")))
        << detail.toStdString();
    EXPECT_TRUE(detail.contains(QStringLiteral("　令和8年4月1日施行\n　旧版　令和7年12月1日施行\n")));
}

TEST(ReaderStart, AFailureIsAlsoToldOnStandardErrorWithTheDatabaseFile)
{
    // Nobody at the screen: the box waits, but standard error has said why.
    TempDir dir;
    QProcess reader;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(dir.path()));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(dir.path()));
    reader.setProcessEnvironment(env);
    reader.start(QStringLiteral(VELTO_BINARY_DIR "/velto"),
                 {QStringLiteral("--program-dir"), QString::fromStdString(dir.path()), QStringLiteral("--settings"),
                  QString::fromStdString(dir.file("settings.ini")), QStringLiteral("--no-splash")});
    ASSERT_TRUE(reader.waitForStarted(kWait));
    const QString expected = QStringLiteral("データベース: ") + QString::fromStdString(dir.file("VT2014.m88"));
    QString said;
    QElapsedTimer timer;
    timer.start();
    while (!said.contains(expected) && timer.elapsed() < 2 * kWait && reader.state() != QProcess::NotRunning) {
        reader.waitForReadyRead(200);
        said += QString::fromUtf8(reader.readAllStandardError());
    }
    reader.kill();
    reader.waitForFinished(kWait);
    EXPECT_TRUE(said.contains(QStringLiteral("データベースの接続"))) << said.toStdString();
    EXPECT_TRUE(said.contains(expected)) << said.toStdString();
}

TEST(MessageBox, TextAndDatabaseLineShowMarkupAsTyped)
{
    // A database file and a message naming markup: both shown as the characters they hold.
    MessageBoxReporter reporter;
    reporter.begin_startup([] { return std::string("/tmp/<img src=x width=30000>.m88"); }, nullptr);
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
            auto* label = box->findChild<QLabel*>(QLatin1String(name));
            ASSERT_NE(label, nullptr) << name;
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
            shown << label->text();
        }
        box->accept();
    });
    reporter.show({}, "<b>&lt;</b>", MessageButtons::Ok, MessageIcon::Stop);
    EXPECT_EQ(shown, QStringList({QStringLiteral("<b>&lt;</b>"),
                                  QStringLiteral("データベース: /tmp/<img src=x width=30000>.m88")}));
}

TEST_F(MainFrameTest, CommandStatesFollowThePageShown)
{
    open_frame();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("VelTo ヴェルト")); // the sample tells no edition
    EXPECT_EQ(frame->page_view()->_current_id(), "00A-Z0010000-00");
    // The cover: no previous or next article, no history yet.
    for (int id : {cmd::Previous, cmd::Next, cmd::Back, cmd::Forward})
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    EXPECT_TRUE(frame->action(cmd::Synchro)->isChecked());
    EXPECT_TRUE(frame->action(cmd::Refer)->isChecked());
    // A page is shown: print and preview; nothing selected: no copy.
    EXPECT_TRUE(frame->action(cmd::Print)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::PrintPreview)->isEnabled());
    EXPECT_FALSE(frame->action(cmd::Copy)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::FindInPage)->isEnabled());

    ASSERT_TRUE(show("01A-00060200-00"));
    EXPECT_TRUE(frame->action(cmd::Previous)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::Next)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::Back)->isEnabled());
    EXPECT_FALSE(frame->action(cmd::Forward)->isEnabled());
    EXPECT_EQ(frame->findChild<QLabel*>(QStringLiteral("pageTitle"))->text(), QStringLiteral("建築基準法 第6条の2"));

    // The toolbar's Refer switch rebuilds the page without the reference block and stays unchecked.
    frame->action(cmd::Refer)->trigger();
    EXPECT_TRUE(wait_for_page());
    EXPECT_FALSE(frame->action(cmd::Refer)->isChecked());
    EXPECT_EQ(doc->toggles().Refer, 0);

    // Program pages from the menu.
    frame->action(cmd::Legend)->trigger();
    EXPECT_TRUE(wait_for_page());
    EXPECT_EQ(frame->page_view()->_current_id(), "00A-Z0020000-00");
    EXPECT_FALSE(frame->action(cmd::Next)->isEnabled());

    // Synchro is off while the search or bookmark tab is shown.
    frame->left_pane()->_select_tab(2);
    EXPECT_FALSE(frame->action(cmd::Synchro)->isEnabled());
    frame->left_pane()->_select_tab(0);
    EXPECT_TRUE(frame->action(cmd::Synchro)->isEnabled());
}

TEST_F(MainFrameTest, SplitTwiceReturnsToOnePageViewAndKeepsTheHeight)
{
    open_frame();
    frame->resize(900, 700);
    QApplication::processEvents();
    ASSERT_TRUE(frame->run_command(cmd::Split));
    EXPECT_TRUE(frame->is_split());
    auto* rows = frame->findChild<QSplitter*>(QStringLiteral("rightSplitter"));
    ASSERT_NE(rows, nullptr);
    ASSERT_TRUE(wait_for_page());
    rows->setSizes({260, 300});
    QApplication::processEvents();
    const int upper = rows->sizes().value(0);

    ASSERT_TRUE(frame->run_command(cmd::Split));
    EXPECT_FALSE(frame->is_split());
    EXPECT_EQ(frame->findChild<QSplitter*>(QStringLiteral("rightSplitter")), nullptr);
    EXPECT_EQ(frame->findChildren<C2ndView*>().size(), 1);
    ASSERT_TRUE(wait_for_page());
    const auto stored = read_splitter_pos(settings, kValueSplitterPos2);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->ideal, upper);

    // The next split uses the stored height again.
    ASSERT_TRUE(frame->run_command(cmd::Split));
    ASSERT_TRUE(wait_for_page());
    rows = frame->findChild<QSplitter*>(QStringLiteral("rightSplitter"));
    ASSERT_NE(rows, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(rows->sizes().value(0), upper);
}

TEST_F(MainFrameTest, TheSplitShowsThePageInBothPanesAndTheLeftPaneKeepsItsWidth)
{
    // A height of zeros stored by an earlier fault must not hide the page.
    write_splitter_pos(settings, kValueSplitterPos2, SplitterPosition{0, 0, 0});
    open_frame();
    frame->resize(1300, 800);
    QApplication::processEvents();
    ASSERT_TRUE(show("01A-00060000-00"));
    auto* columns = frame->findChild<QSplitter*>(QStringLiteral("mainSplitter"));
    const int left = columns->sizes().value(0);
    ASSERT_GT(left, 250);

    const auto visible_page = [&](const char* when) {
        SCOPED_TRACE(when);
        C2ndView* view = frame->page_view();
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->isVisible());
        EXPECT_GT(view->height(), 100);
        EXPECT_GT(view->width(), 300);
        EXPECT_EQ(view->_current_id(), "01A-00060000-00");
        EXPECT_EQ(columns->sizes().value(0), left);
    };
    ASSERT_TRUE(frame->run_command(cmd::Split));
    ASSERT_TRUE(wait_for_page());
    QApplication::processEvents();
    visible_page("split");
    auto* rows = frame->findChild<QSplitter*>(QStringLiteral("rightSplitter"));
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->sizes().value(0), kDefaultRightPaneHeight);
    C2ndView* lower = frame->lower_view();
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(lower, frame->findChild<QWidget*>(QStringLiteral("lowerPane")));
    EXPECT_TRUE(lower->isVisible());
    EXPECT_GT(lower->height(), 100);
    EXPECT_EQ(lower->_current_id(), "01A-00060000-00");

    // A link in the upper view still shows its page there.
    ASSERT_TRUE(show("01A-00010000-00"));
    ASSERT_TRUE(show("01A-00060000-00"));

    ASSERT_TRUE(frame->run_command(cmd::Split));
    ASSERT_TRUE(wait_for_page());
    QApplication::processEvents();
    visible_page("single again");
    const auto stored = read_splitter_pos(settings, kValueSplitterPos2);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->ideal, kDefaultRightPaneHeight);

    // Only the page grows with the window.
    frame->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(columns->sizes().value(0), left);
    frame->resize(1350, 800);
    QApplication::processEvents();
    EXPECT_EQ(columns->sizes().value(0), left);
}

TEST_F(MainFrameTest, TheLowerPaneIsASecondPageViewWithAHistoryOfItsOwn)
{
    open_frame();
    frame->resize(1100, 800);
    ASSERT_TRUE(show("01A-00010000-00"));
    ASSERT_TRUE(show("01A-00070000-00"));
    const std::size_t upper_back = doc->history().back().size();
    // A text found in the page stays for the run.
    PageFindBar* bar = frame->page_view()->find_bar();
    QSignalSpy searched(bar, &PageFindBar::searched);
    bar->edit()->setText(QStringLiteral("検査"));
    bar->search();
    ASSERT_TRUE(searched.count() > 0 || searched.wait(kWait));
    ASSERT_GT(searched.last().at(0).toInt(), 0);

    // Shift+click on a link: its page below, the page above stays.
    js(QStringLiteral("document.querySelector('a[href*=\"01A-00060000\"]').dispatchEvent(new MouseEvent('click', "
                      "{bubbles: true, cancelable: true, shiftKey: true, button: 0}))"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->lower_view() && frame->lower_view()->_current_id() == "01A-00060000-00"; },
                                kWait));
    C2ndView* lower = frame->lower_view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lower->page_loading() && !frame->page_view()->page_loading(); }, kWait));
    EXPECT_TRUE(frame->is_split());
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00070000-00");
    EXPECT_TRUE(lower->isVisible());
    EXPECT_GT(lower->height(), 100);
    EXPECT_EQ(doc->history().back().size(), upper_back);
    EXPECT_EQ(frame->page_view()->last_find_text(), "検査"); // the new upper view knows it
    frame->page_view()->run_command(C2ndView::kFindInPage);
    EXPECT_EQ(frame->page_view()->find_bar()->edit()->text(), QStringLiteral("検査"));

    // Each pane keeps its own history; the toolbar acts on the pane the reader is in.
    QSignalSpy loaded(lower, &C2ndView::pageLoaded);
    ASSERT_TRUE(lower->_show("01A-00020000-00"));
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_EQ(lower->history().back().size(), 1u);
    EXPECT_EQ(doc->history().back().size(), upper_back);
    frame->activateWindow();
    lower->_focus_page();
    QApplication::processEvents();
    ASSERT_EQ(frame->active_view(), lower);
    ASSERT_TRUE(frame->run_command(cmd::Back));
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_EQ(lower->_current_id(), "01A-00060000-00");
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00070000-00");
    EXPECT_FALSE(frame->command_enabled(cmd::Back)); // the lower pane's first page
    frame->page_view()->_focus_page();
    QApplication::processEvents();
    EXPECT_TRUE(frame->command_enabled(cmd::Back)); // the upper pane's history

    // 下のペインで開く on the page itself: the page shown above, below.
    frame->page_view()->run_command(C2ndView::kOpenBelow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return lower->_current_id() == "01A-00070000-00"; }, kWait));
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(MainFrameTest, WindowPlacementIsStoredAndRestored)
{
    open_frame();
    frame->setGeometry(120, 90, 820, 610);
    QApplication::processEvents();
    const QRect normal = frame->geometry();
    close_frame();
    auto stored = read_window_pos(settings);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->show_command, 1);
    EXPECT_EQ(stored->normal_right - stored->normal_left, normal.width());

    open_frame();
    EXPECT_EQ(frame->geometry().size(), normal.size());
    EXPECT_FALSE(frame->isMaximized());
    frame->showMaximized();
    QApplication::processEvents();
    close_frame();
    stored = read_window_pos(settings);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->show_command, kShowCommandMaximised);
    EXPECT_TRUE(stored->flags & kPlacementRestoreToMaximised);

    open_frame();
    EXPECT_TRUE(frame->isMaximized());
}

TEST_F(MainFrameTest, KeysSwitchTabsAndMoveThroughHistory)
{
    open_frame();
    C1stView* pane = frame->left_pane();
    pane->_select_tab(3);
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : pane;
    press(focus, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(pane->current_tab(), 0);
    press(QApplication::focusWidget() ? QApplication::focusWidget() : pane, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(pane->current_tab(), 3);

    // Left goes back in the history everywhere but in the tree and the search text.
    ASSERT_TRUE(show("01A-00010000-00"));
    ASSERT_TRUE(show("01A-00020000-00"));
    pane->_select_tab(2);
    QLineEdit* edit = pane->search_entry()->lineEdit();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->setText(QStringLiteral("建築物"));
    edit->setCursorPosition(3);
    press(edit, Qt::Key_Left);
    EXPECT_EQ(edit->cursorPosition(), 2);
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00020000-00");

    pane->_select_tab(3);
    QWidget* list = QApplication::focusWidget();
    ASSERT_NE(list, nullptr);
    QSignalSpy loaded(frame->page_view(), &C2ndView::pageLoaded);
    press(list, Qt::Key_Left);
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00010000-00");
}

TEST_F(MainFrameTest, ChangingTabsLeavesThePageWhereItWas)
{
    open_frame();
    // 第6条 holds links further down; the page is read from its top.
    ASSERT_TRUE(show("01A-00060000-00"));
    C1stView* pane = frame->left_pane();
    frame->activateWindow();
    pane->_focus_current();
    QApplication::processEvents();
    const auto page_state = [&](const char* when) {
        SCOPED_TRACE(when);
        QTest::qWait(300);
        EXPECT_EQ(js(QStringLiteral("window.scrollY")).toInt(), 0);
        EXPECT_EQ(js(QStringLiteral("document.activeElement ? document.activeElement.tagName : ''")).toString(),
                  QStringLiteral("BODY"));
        EXPECT_TRUE(frame->statusBar()->currentMessage().isEmpty()) << frame->statusBar()->currentMessage().toStdString();
        EXPECT_EQ(QApplication::focusWidget(), pane->control(kIdContentsTree + pane->current_tab()));
    };
    pane->tab_strip()->setCurrentIndex(1); // a click on リスト
    page_state("list tab");
    press(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
    page_state("search tab");
    press(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
    page_state("bookmark tab");
    pane->tab_strip()->setCurrentIndex(0);
    page_state("contents tab");
}

TEST_F(MainFrameTest, ALinksCaptionGoesWhenAnotherPageIsShown)
{
    open_frame();
    ASSERT_TRUE(show("01A-00480000-00"));
    // The pointer rests on a link, then goes straight to the toolbar's 資料.
    const QVariantList box = js(QStringLiteral("(function () { var r = document.querySelector('a[href*=\"T002\"]')"
                                               ".getBoundingClientRect(); return [r.left + 4, r.top + r.height / 2]; })()"))
                                 .toList();
    ASSERT_EQ(box.size(), 2);
    QWidget* surface = frame->page_view()->browser()->focusProxy();
    ASSERT_NE(surface, nullptr);
    QTest::mouseMove(surface, QPoint(qRound(box[0].toDouble()), qRound(box[1].toDouble())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->statusBar()->currentMessage().isEmpty(); }, kWait));
    QWidget* button = frame->findChild<QToolBar*>(QStringLiteral("toolbar"))->widgetForAction(frame->action(cmd::DesignData));
    ASSERT_NE(button, nullptr);
    QTest::mouseMove(button, button->rect().center());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(wait_for_page());
    QTest::qWait(200);
    EXPECT_TRUE(frame->statusBar()->currentMessage().isEmpty()) << frame->statusBar()->currentMessage().toStdString();
}

