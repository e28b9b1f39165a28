// The main window driven headless: help, the start-up picture, the first page, the jump field, options,
// find and copy, search hits and the cited-by list.
#include "tests/app/main_frame_fixture.h"

#include <QTextDocument>

using namespace velto;
using namespace velto::test;

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

    // Ctrl+F: the find bar under the page, the keyboard in its edit; Enter paints the page.
    press(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    PageFindBar* bar = frame->page_view()->find_bar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), bar->edit());
    QSignalSpy searched(bar, &PageFindBar::searched);
    bar->edit()->setText(QStringLiteral("確認"));
    press(bar->edit(), Qt::Key_Return);
    ASSERT_TRUE(searched.count() > 0 || searched.wait(kWait));
    const QString result = bar->message()->text();
    EXPECT_TRUE(result.endsWith(QStringLiteral("個見つかりました。"))) << result.toStdString();
    // F3 from the edit: the first occurrence; Shift+F3 from there: the last.
    QSignalSpy stepped(bar, &PageFindBar::stepped);
    press(bar->edit(), Qt::Key_F3);
    ASSERT_TRUE(stepped.count() > 0 || stepped.wait(kWait));
    EXPECT_TRUE(bar->message()->text().endsWith(QStringLiteral("個中1個目"))) << bar->message()->text().toStdString();
    press(bar->edit(), Qt::Key_F3, Qt::ShiftModifier);
    ASSERT_TRUE(stepped.count() > 1 || stepped.wait(kWait));
    EXPECT_EQ(stepped.last().at(0).toInt(), stepped.last().at(1).toInt());
    // Left and right move the caret in the edit, not through the history.
    const std::size_t back = doc->history().back().size();
    press(bar->edit(), Qt::Key_Left);
    EXPECT_EQ(doc->history().back().size(), back);
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
    // Once the reader has started, the search's connection and index are open.
    ASSERT_NE(pane->search_list()->search_service(), nullptr);
    pane->search_list()->search_service()->wait_for_preload();
    EXPECT_TRUE(pane->search_list()->search_service()->index_ready());

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

TEST_F(MainFrameTest, NamesCraftedAsMarkupShowAsTheirWordsInTheCaptionAndTheCitedByList)
{
    // A law name of 20,000 nested tables with escaped markup after it, and a
    // citing sentence that begins with escaped markup, as the importer stores it.
    doc.reset();
    std::string nested;
    for (int i = 0; i < 20000; ++i)
        nested += "<table><tr><td>";
    const std::string sql =
        "UPDATE T_法 SET 法名一般 = '" + nested + "&lt;img src=x&gt; &amp; 法' WHERE ID_HN = '01A';"
        "UPDATE T_文 SET 法文 = '&lt;img src=x width=30000&gt;' || 法文 "
        "WHERE ID_BN = '01A-00070000-00-0100-0000-0000-0000';";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.file("VT2014.m88").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    start_document();
    open_frame();
    ASSERT_TRUE(show("01A-00060000-00"));

    auto* caption = frame->findChild<QLabel*>(QStringLiteral("pageTitle"));
    EXPECT_EQ(caption->text(), QStringLiteral("<img src=x> & 法 第6条"));
    EXPECT_EQ(caption->textFormat(), Qt::PlainText);

    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->command_enabled(cmd::CitedBy); }, kWait));
    ASSERT_TRUE(frame->run_command(cmd::CitedBy));
    CitedByPanel* panel = frame->cited_by_panel();
    QListWidget* rows = panel->rows();
    EXPECT_TRUE(panel->heading().startsWith(QStringLiteral("<img src=x> & 法 第6条 を引用している条文（")))
        << panel->heading().toStdString();
    ASSERT_GE(rows->count(), 2);
    const QString row = rows->item(1)->text();
    EXPECT_TRUE(row.startsWith(QStringLiteral("<img src=x> & 法 第7条 <img src=x width=30000>建築主は")))
        << row.toStdString();
    // The tooltip shows the same words: escaped, never an image.
    QTextDocument tip;
    tip.setHtml(rows->item(1)->toolTip());
    EXPECT_TRUE(row.endsWith(tip.toPlainText())) << tip.toPlainText().toStdString();
    EXPECT_TRUE(rows->item(1)->toolTip().contains(QStringLiteral("&lt;img src=x width=30000&gt;")));
    frame->grab(); // everything painted once
}
