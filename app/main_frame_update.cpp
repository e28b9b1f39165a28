// ファイル → 法令データの更新…: the law update dialog, and the window going
// on with the database the tool wrote: the document opens it again, the
// pane shows its laws, each page view its page where the reader was in it.
#include "app/cited_by_panel.h"
#include "app/law_update_dialog.h"
#include "app/main_frame.h"
#include "compose/velto_doc.h"
#include "nav/nav_pane.h"
#include "view/page_view.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>

namespace velto {

void CMainFrame::add_update_command(QMenu* file)
{
    if (update_tool_.isEmpty())
        update_tool_ = QCoreApplication::applicationDirPath() + QStringLiteral("/velto-update");
    update_action_ = file->addAction(QStringLiteral("法令データの更新(&U)…"));
    update_action_->setObjectName(QStringLiteral("updateLawData"));
    update_action_->setStatusTip(QStringLiteral("e-Gov 法令APIから施行中の法令の版を確認し、新しい版を取り込みます。"));
    connect(update_action_, &QAction::triggered, this, &CMainFrame::update_law_data);
    refresh_update_command();
}

void CMainFrame::set_update_tool(const QString& path)
{
    update_tool_ = path;
    refresh_update_command();
}

void CMainFrame::refresh_update_command()
{
    // Without the tool beside the reader there is nothing to run.
    if (update_action_)
        update_action_->setEnabled(page_ && QFileInfo(update_tool_).isExecutable());
}

LawUpdateDialog* CMainFrame::update_law_data()
{
    auto* dialog = new LawUpdateDialog(update_tool_, QString::fromStdString(doc_.program_dir()), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(true);
    connect(dialog, &LawUpdateDialog::databaseReplaced, this, [this] {
        if (reload_database())
            statusBar()->showMessage(QStringLiteral("法令データを更新しました。"));
    });
    dialog->show();
    dialog->start_check();
    return dialog;
}

bool CMainFrame::reload_database()
{
    link_index_.reset(); // a build under way stops: it read the old file
    if (!doc_.reopen_database())
        return false;
    open_editions(); // the new database may keep other editions
    doc_.load_pages();
    refresh_title();
    left_->reload_laws();
    for (C2ndView* view : {page_, lower_.data()})
        if (view)
            view->reload_page();
    if (cited_by_)
        cited_by_->hide(); // its rows came from the old text
    open_link_index();
    refresh_commands();
    return true;
}

} // namespace velto
