// The main window driven headless: a program folder with the sample database,
// the document started on it, and a main window shown on its first page.
#pragma once

#include "app/cited_by_panel.h"
#include "app/command_table.h"
#include "app/jump_field.h"
#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/options_dialog.h"
#include "app/splash_window.h"
#include "app/velto_app.h"
#include "compose/velto_doc.h"
#include "settings/persisted_state.h"
#include "settings/settings_store.h"
#include "nav/combo_sch.h"
#include "search/search_service.h"
#include "nav/control_ids.h"
#include "nav/list_sch.h"
#include "nav/nav_pane.h"
#include "nav/tree_ctrl.h"
#include "tests/fixtures.h"
#include "view/page_find_bar.h"
#include "view/page_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
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
namespace velto::test {

inline constexpr int kWait = 15000;

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

} // namespace velto::test
