// The main window driven headless: commands, split, placement, keys and options.
#include "app/cited_by_panel.h"
#include "app/command_table.h"
#include "app/jump_field.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/options_dialog.h"
#include "app/splash_window.h"
#include "app/velto_app.h"
#include "compose/velto_doc.h"
#include "core/persisted_state.h"
#include "core/settings_store.h"
#include "nav/combo_sch.h"
#include "compose/search_service.h"
#include "nav/control_ids.h"
#include "nav/list_sch.h"
#include "nav/nav_pane.h"
#include "nav/tree_ctrl.h"
#include "tests/fixtures.h"
#include "view/page_search_dlg.h"
#include "view/page_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QElapsedTimer>
#include <QPushButton>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <utility>

using namespace velto;
using velto::test::TempDir;

namespace {

constexpr int kWait = 15000;

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy_file(VELTO_BINARY_DIR "/sample/VT2014.m88", dir.file("VT2014.m88"));
        start_document();
    }

    void start_document()
    {
        doc = std::make_unique<CVeltoDoc>(settings, reporter);
        DocumentOptions options;
        options.program_dir = dir.path();
        ASSERT_TRUE(doc->OnNewDocument(options));
    }

    // A main window with its panes, shown, with its first page loaded.
    void open_frame()
    {
        frame = std::make_unique<CMainFrame>(*doc, settings);
        ASSERT_TRUE(frame->create_client());
        frame->show_first(false);
        ASSERT_TRUE(wait_for_page());
        ASSERT_TRUE(QTest::qWaitFor([&] { return frame->startup_finished(); }, kWait));
    }

    void close_frame()
    {
        if (!frame)
            return;
        frame->close();
        doc->OnCloseDocument();
        frame.reset();
    }

    void TearDown() override
    {
        close_frame();
        doc.reset();
    }

    bool wait_for_page()
    {
        C2ndView* view = frame->page_view();
        if (!view->page_loading())
            return true;
        QSignalSpy loaded(view, &C2ndView::pageLoaded);
        return loaded.wait(kWait);
    }

    bool show(const std::string& id)
    {
        if (!frame->page_view()->_show(id))
            return false;
        return wait_for_page();
    }

    // Runs a script in the page view's script world and returns its value.
    QVariant js(const QString& script)
    {
        auto answer = std::make_shared<std::pair<bool, QVariant>>();
        frame->page_view()->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                                  [answer](const QVariant& value) { *answer = {true, value}; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer->first; }, kWait)) << script.toStdString();
        return answer->second;
    }

    void press(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent down(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, mods);
        QApplication::sendEvent(target, &up);
    }

    TempDir dir;
    MemorySettingsStore settings;
    CapturingReporter reporter;
    std::unique_ptr<CVeltoDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

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

TEST_F(MainFrameTest, CommandStatesFollowThePageShown)
{
    open_frame();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("VelTo ヴェルト 平成26年度版"));
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

TEST_F(MainFrameTest, TheSplitShowsThePageAboveAnEmptyPaneAndTheLeftPaneKeepsItsWidth)
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
    QWidget* lower = frame->findChild<QWidget*>(QStringLiteral("lowerPane"));
    ASSERT_NE(lower, nullptr);
    EXPECT_TRUE(lower->isVisible());
    EXPECT_GT(lower->height(), 100);

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

TEST_F(MainFrameTest, HelpOpensInAWindowOfItsOwnOrSaysTheFileIsMissing)
{
    open_frame();
    ASSERT_TRUE(frame->run_command(cmd::Help));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].text, "ヴェルトのヘルプファイルを\n開くことができませんでした。");
    EXPECT_TRUE(frame->help_window() == nullptr || !frame->help_window()->isVisible());

    // With the file beside the program the reader shows it itself, without a desktop browser.
    std::filesystem::copy_file(VELTO_BINARY_DIR "/help14.html", dir.file("help14.html"));
    reporter.clear();
    ASSERT_TRUE(frame->run_command(cmd::Help));
    EXPECT_TRUE(reporter.messages().empty());
    HelpWindow* help = frame->help_window();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    QSignalSpy loaded(help, &HelpWindow::loaded);
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_TRUE(QTest::qWaitFor([&] { return help->windowTitle() == QStringLiteral("ヴェルト ヘルプ"); }, kWait))
        << help->windowTitle().toStdString();
    // Asking again brings the same window forward.
    ASSERT_TRUE(frame->run_command(cmd::Help));
    EXPECT_EQ(frame->help_window(), help);
}

TEST_F(MainFrameTest, APressDuringTheStartUpPictureOnlyHidesIt)
{
    open_frame();
    ASSERT_TRUE(show("01A-00010000-00"));
    ASSERT_TRUE(show("01A-00020000-00"));
    QPixmap picture(40, 30);
    picture.fill(Qt::white);
    auto* splash = new SplashWindow(picture, frame.get());
    QPointer<SplashWindow> guard(splash);
    splash->show_for(60000);
    ASSERT_TRUE(splash->isVisible());

    frame->activateWindow();
    frame->page_view()->_focus_page();
    QApplication::processEvents();
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
    EXPECT_FALSE(splash->isVisible());
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(target, &up);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    // The key went nowhere: still on the same page.
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00020000-00");

    // Keys work again afterwards.
    target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    press(target, Qt::Key_Left);
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00010000-00");
}

TEST_F(MainFrameTest, TheFirstPageIsAskedForBeforeTheTreeAndThePageList)
{
    frame = std::make_unique<CMainFrame>(*doc, settings);
    ASSERT_TRUE(frame->create_client());
    frame->show_first(false);
    EXPECT_TRUE(frame->page_view()->page_loading());
    EXPECT_EQ(frame->left_pane()->tree()->topLevelItemCount(), 0);
    EXPECT_FALSE(doc->pages_read());

    QSignalSpy started(frame.get(), &CMainFrame::startupFinished);
    ASSERT_TRUE(wait_for_page());
    ASSERT_TRUE(started.count() > 0 || started.wait(kWait));
    EXPECT_GT(frame->left_pane()->tree()->topLevelItemCount(), 0);
    EXPECT_TRUE(doc->pages_read());
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(MainFrameTest, TheLastPageComesBackWithTheTreeFollowingIt)
{
    settings.write_int(kSectionRecords, kValueVersion, kSettingsVersionStamp);
    settings.write_string(kSectionSettings, kValueCurIDFN, "01A-00200000-00");
    open_frame();
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00200000-00");
    EXPECT_EQ(frame->left_pane()->tree()->_selected_id(), "01A-00200000-00");
    EXPECT_EQ(frame->findChild<QLabel*>(QStringLiteral("pageTitle"))->text(), QStringLiteral("建築基準法 第20条"));
    close_frame();
    // The page shown at the end is remembered.
    EXPECT_EQ(settings.read_string(kSectionSettings, kValueCurIDFN), "01A-00200000-00");
}

TEST_F(MainFrameTest, UpAndDownInThePageMoveBetweenArticles)
{
    open_frame();
    ASSERT_TRUE(show("01A-00200000-00"));
    frame->activateWindow();
    frame->page_view()->_focus_page();
    QApplication::processEvents();
    QWidget* page = QApplication::focusWidget();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(frame->page_view()->isAncestorOf(page));
    const std::string next = doc->_next_page("01A-00200000-00").id;
    press(page, Qt::Key_Down);
    EXPECT_TRUE(wait_for_page());
    EXPECT_EQ(frame->page_view()->_current_id(), next);
    press(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_TRUE(wait_for_page());
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00200000-00");
}

TEST_F(MainFrameTest, TheJumpFieldGoesToACitationOrTellsWhatIsMissing)
{
    open_frame();
    frame->activateWindow();
    frame->page_view()->_focus_page();
    QApplication::processEvents();
    JumpField* field = frame->jump_field();
    press(QApplication::focusWidget(), Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), field);

    field->insert(QStringLiteral("令第百十二条第2項"));
    press(field, Qt::Key_Left); // moves the caret, not back in history
    EXPECT_EQ(field->cursorPosition(), field->text().size() - 1);
    press(field, Qt::Key_Return);
    EXPECT_TRUE(wait_for_page());
    EXPECT_EQ(frame->page_view()->_current_id(), "01B-01120000-00");
    EXPECT_TRUE(frame->page_view()->isAncestorOf(QApplication::focusWidget()));

    field->setFocus();
    field->setText(QStringLiteral("令151条"));
    press(field, Qt::Key_Return);
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("建築基準法施行令に第百五十一条はありません。近いもの: 令第129条の6"));
    EXPECT_EQ(frame->page_view()->_current_id(), "01B-01120000-00");
    EXPECT_EQ(field->text(), QStringLiteral("令151条"));
    EXPECT_EQ(QApplication::focusWidget(), field);

    press(field, Qt::Key_Escape);
    EXPECT_TRUE(frame->page_view()->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(MainFrameTest, OptionsReachThePageAndSurviveARestart)
{
    open_frame();
    ASSERT_TRUE(show("01A-00010000-00"));
    const auto body_font_size = [this] {
        auto answer = std::make_shared<std::optional<QString>>();
        frame->page_view()->page()->runJavaScript(QStringLiteral("document.body.style.fontSize"), QWebEngineScript::ApplicationWorld,
                                                  [answer](const QVariant& v) { *answer = v.toString(); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer->has_value(); }, kWait));
        return answer->value_or(QString());
    };
    ASSERT_TRUE(frame->action(cmd::Options)->isEnabled());
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<COptionsDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->findChild<QComboBox*>(QStringLiteral("FontSizeBasic"))->setCurrentText(QStringLiteral("12"));
        d->findChild<QRadioButton*>(QStringLiteral("PinPointPriorityUser"))->click();
        d->accept();
    });
    frame->action(cmd::Options)->trigger();
    ASSERT_TRUE(wait_for_page());
    EXPECT_EQ(body_font_size(), QStringLiteral("12pt"));
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00010000-00");

    close_frame();
    doc.reset();
    start_document();
    EXPECT_EQ(doc->display()[DisplaySettings::FontSizeBasic], 12);
    EXPECT_EQ(doc->display()[DisplaySettings::PinPointPriority], 0);
    open_frame();
    EXPECT_EQ(body_font_size(), QStringLiteral("12pt"));
}

TEST_F(MainFrameTest, FindAndCopyReachThePageFromTheKeys)
{
    open_frame();
    ASSERT_TRUE(show("01A-00060200-00"));
    frame->activateWindow();
    frame->page_view()->_focus_page();
    QApplication::processEvents();
    EXPECT_FALSE(frame->command_enabled(cmd::ClearMarks));

    // Ctrl+F: the find dialog, centred on the main window; its search paints the page.
    QString result;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<CPageSearchDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_LE(std::abs(d->frameGeometry().center().x() - frame->frameGeometry().center().x()), 2);
        QSignalSpy searched(d, &CPageSearchDlg::searched);
        d->edit()->setText(QStringLiteral("確認"));
        d->search_button()->click();
        EXPECT_TRUE(searched.count() > 0 || searched.wait(kWait));
        result = d->message()->text();
        d->reject();
    });
    press(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(result.endsWith(QStringLiteral("個見つかりました。"))) << result.toStdString();
    EXPECT_TRUE(frame->command_enabled(cmd::ClearMarks));
    EXPECT_TRUE(frame->run_command(cmd::ClearMarks));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->command_enabled(cmd::ClearMarks); }, kWait));

    // A selection enables ぷちコピー; Ctrl+C puts it on the clipboard.
    frame->page_view()->page()->runJavaScript(
        QStringLiteral("getSelection().selectAllChildren(document.querySelector('a[id$=\"0100-0000-0000-0000\"]'))"),
        QWebEngineScript::ApplicationWorld);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->action(cmd::Copy)->isEnabled(); }, kWait));
    QGuiApplication::clipboard()->clear();
    frame->activateWindow();
    frame->page_view()->_focus_page();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame->page_view()->browser()->focusProxy(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), frame->page_view()->page()->selectedText());
    EXPECT_FALSE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST_F(MainFrameTest, ASearchHitOpensWithItsWordsPaintedAndTheSearchEntryKeepsCtrlC)
{
    open_frame();
    C1stView* pane = frame->left_pane();
    // Once the reader has started, the search's text is read into memory.
    ASSERT_NE(pane->search_list()->search_service(), nullptr);
    pane->search_list()->search_service()->wait_for_preload();
    EXPECT_TRUE(pane->search_list()->search_service()->text_ready());

    pane->_select_tab(kTabSearch);
    pane->search_entry()->setEditText(QStringLiteral("建築物　敷地"));
    pane->search_button()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pane->search_list()->searching(); }, kWait));
    ASSERT_GT(pane->search_list()->_row_count(), 0);
    ASSERT_EQ(reporter.messages().size(), 1u);

    // Choosing a row shows its page with the words painted in the first and second word colours.
    QSignalSpy loaded(frame->page_view(), &C2ndView::pageLoaded);
    pane->search_list()->_select_row(0);
    EXPECT_EQ(frame->page_view()->_current_id(), pane->search_list()->_id_of_row(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->page_view()->find_string() == "建築物　敷地"; }, kWait));
    const auto painted = [&](const char* colour) {
        return js(QStringLiteral("Array.from(document.querySelectorAll('span')).filter(s => "
                                 "s.style.backgroundColor == '%1').map(s => s.textContent).join('')")
                      .arg(QString::fromLatin1(colour)))
            .toString();
    };
    EXPECT_TRUE(painted("rgb(135, 206, 235)").startsWith(QStringLiteral("建築物")));
    EXPECT_TRUE(painted("rgb(255, 192, 251)").startsWith(QStringLiteral("敷地")));

    // With a selection in the page, Ctrl+C in the search entry copies the entry's text.
    frame->page_view()->page()->runJavaScript(QStringLiteral("getSelection().selectAllChildren(document.body)"),
                                              QWebEngineScript::ApplicationWorld);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->action(cmd::Copy)->isEnabled(); }, kWait));
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    pane->search_entry()->setFocus();
    pane->search_entry()->lineEdit()->selectAll();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(frame->windowHandle(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("建築物　敷地"));
}

TEST_F(MainFrameTest, TheSentencesCitingTheArticleShownAreListedBesideThePage)
{
    // A database from before the index: it is made in the background, and the command waits for it.
    doc.reset();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("VT2014.m88").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE T_引", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    start_document();
    open_frame();
    ASSERT_TRUE(show("01A-00060000-00"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->command_enabled(cmd::CitedBy); }, kWait));
    EXPECT_TRUE(frame->action(cmd::CitedBy)->isEnabled());

    ASSERT_TRUE(frame->run_command(cmd::CitedBy));
    CitedByPanel* panel = frame->cited_by_panel();
    ASSERT_TRUE(panel && panel->isVisible());
    QListWidget* rows = panel->rows();
    EXPECT_EQ(panel->heading(), QStringLiteral("建築基準法 第6条 を引用している条文（%1件）").arg(rows->count()));
    ASSERT_GE(rows->count(), 3);
    EXPECT_TRUE(rows->item(1)->text().startsWith(QStringLiteral("建築基準法 第7条 建築主は、第6条第1項")))
        << rows->item(1)->text().toStdString();

    // Choosing a row shows its page with the sentence at the top; the list stays for the next.
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rows->visualItemRect(rows->item(2)).center());
    ASSERT_TRUE(wait_for_page());
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00070000-00");
    const std::string sentence = "01A-00070000-00-0200-0000-0000-0000";
    // At the top of the window (12 pixels below it), unless the page ends before.
    const QString at_top = QStringLiteral(
        "(function () { var r = document.getElementById('%1').getBoundingClientRect(); "
        "var more = document.documentElement.scrollHeight - innerHeight - scrollY > 13; "
        "return r.top >= 0 && (r.top < 60 || !more) && scrollY > 0; })()");
    EXPECT_TRUE(QTest::qWaitFor([&] { return js(at_top.arg(QString::fromStdString(sentence))).toBool(); }, kWait));
    EXPECT_EQ(QApplication::focusWidget(), rows);

    // An article no one cites says so; the program's own pages cannot be cited.
    ASSERT_TRUE(show("01A-00010000-00"));
    ASSERT_TRUE(frame->run_command(cmd::CitedBy));
    EXPECT_EQ(panel->heading(), QStringLiteral("建築基準法 第1条 を引用している条文はありません。"));
    EXPECT_EQ(rows->count(), 0);
    ASSERT_TRUE(show("00A-Z0010000-00"));
    EXPECT_FALSE(frame->command_enabled(cmd::CitedBy));
}
