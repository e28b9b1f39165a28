// ファイル → 法令データの更新…: the dialog runs the update tool as a child
// process and the window goes on with the database it wrote. The tool here is
// a stand-in script that answers as velto-update does; velto-update itself
// is tested against a local law API server in tests/tools/test_update.cpp.
#include "app/law_update_dialog.h"
#include "tests/app/main_frame_fixture.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextDocument>

namespace velto::test {

namespace {

// A stand-in of velto-update: --check lists 01A as outdated; --update puts
// `replacement` in place of the database (beside it, then renamed, as the
// tool writes) and says what changed, or fails when `fail_update`.
QString stand_in_tool(const TempDir& dir, const std::string& replacement, bool fail_update)
{
    const std::string path = dir.file("velto-update");
    std::string script = "#!/bin/sh\n"
                         "case \"$3\" in\n"
                         "--check)\n"
                         "  echo 'velto-update: 01A 建築基準法: /law_revisions/325AC0000000201: 200, 1234 bytes, 0.10 s' >&2\n"
                         "  printf '01A\\t建築基準法\\t2019-12-01\\t2026-04-01\\t新しい版があります\\n'\n"
                         "  printf '01B\\t建築基準法施行令\\t2025-12-01\\t2025-12-01\\t最新です\\n'\n"
                         "  printf '01C\\t<img src=x width=30000>&amp;\\t2025-12-01\\t2025-12-01\\t最新です\\n' ;;\n"
                         "--update)\n";
    if (fail_update)
        script += "  echo 'velto-update: 01A 建築基準法: /law_file/xml/325AC0000000201_20260401_507AC0000000068: "
                  "HTTP 403, an HTML page <b>(the service may be under maintenance)</b>' >&2\n"
                  "  exit 1 ;;\n";
    else
        script += "  cp '" + replacement + "' \"$2/VT2014.m88.importing\" && mv \"$2/VT2014.m88.importing\" \"$2/VT2014.m88\"\n"
                  "  printf '01A\\t建築基準法\\t2019-12-01\\t2026-04-01\\t追加 0条、削除 0条、変更 85条\\n' ;;\n";
    script += "esac\n";
    write_file(path, script);
    QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QString::fromStdString(path);
}

bool wait_for_tool(LawUpdateDialog* dialog)
{
    QSignalSpy finished(dialog, &LawUpdateDialog::toolFinished);
    return finished.wait(kWait);
}

} // namespace

TEST_F(MainFrameTest, LawDataUpdateRunsTheToolAndTheWindowGoesOnWithTheNewDatabase)
{
    open_frame();
    ASSERT_TRUE(show("01A-00020000-00"));
    const QString title_before = frame->windowTitle();
    const int laws_before = frame->left_pane()->tree()->topLevelItemCount();

    frame->set_update_tool(QString::fromStdString(dir.file("missing")));
    EXPECT_FALSE(frame->update_action()->isEnabled()) << "no tool, no command";

    // A failed update: said, and the window keeps its database.
    frame->set_update_tool(stand_in_tool(dir, VELTO_BINARY_DIR "/VT2014.m88", true));
    ASSERT_TRUE(frame->update_action()->isEnabled());
    LawUpdateDialog* dialog = frame->update_law_data();
    ASSERT_TRUE(wait_for_tool(dialog));
    ASSERT_EQ(dialog->results()->rowCount(), 3);
    EXPECT_EQ(dialog->results()->item(0, 4)->text(), QStringLiteral("新しい版があります"));
    EXPECT_EQ(dialog->results()->item(1, 4)->text(), QStringLiteral("最新です"));
    // A title crafted as markup: shown as its characters, and so is its tip.
    const QString crafted = QStringLiteral("<img src=x width=30000>&amp;");
    EXPECT_EQ(dialog->results()->item(2, 1)->text(), crafted);
    QTextDocument tip;
    tip.setHtml(dialog->results()->item(2, 1)->toolTip());
    EXPECT_EQ(tip.toPlainText(), crafted);
    ASSERT_TRUE(dialog->update_button()->isEnabled());
    QSignalSpy replaced(dialog, &LawUpdateDialog::databaseReplaced);
    dialog->update_button()->click();
    ASSERT_TRUE(wait_for_tool(dialog));
    EXPECT_TRUE(dialog->status_label()->text().contains(QStringLiteral("データベースは変更されていません")));
    EXPECT_TRUE(dialog->status_label()->text().contains(QStringLiteral("HTTP 403"))) << dialog->status_label()->text().toStdString();
    EXPECT_EQ(dialog->status_label()->textFormat(), Qt::PlainText);
    EXPECT_EQ(replaced.count(), 0);
    EXPECT_EQ(frame->windowTitle(), title_before);
    dialog->close();

    // A successful one: the window opens the new database and the page stays.
    frame->set_update_tool(stand_in_tool(dir, VELTO_BINARY_DIR "/VT2014.m88", false));
    dialog = frame->update_law_data();
    ASSERT_TRUE(wait_for_tool(dialog));
    QSignalSpy loaded(frame->page_view(), &C2ndView::pageLoaded);
    dialog->update_button()->click();
    ASSERT_TRUE(wait_for_tool(dialog));
    EXPECT_EQ(dialog->results()->item(0, 4)->text(), QStringLiteral("更新しました（追加 0条、削除 0条、変更 85条）"));
    EXPECT_TRUE(loaded.count() > 0 || loaded.wait(kWait));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("VelTo ヴェルト（建築基準法 令和8年4月1日施行）"));
    EXPECT_EQ(frame->page_view()->_current_id(), "01A-00020000-00");
    EXPECT_GT(frame->left_pane()->tree()->topLevelItemCount(), laws_before) << "the tree shows the laws of the new database";
    EXPECT_TRUE(js(QStringLiteral("document.body.innerText.includes('都市計画法第四条第九項')")).toBool()) << "第二条 in the official text now";
    dialog->close();
}

} // namespace velto::test
