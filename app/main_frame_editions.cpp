// The main window and the editions of the laws: 改正比較, この条の改正, and the
// line under an article's title that lists the editions in which it changed.
#include "app/edition_compare_dialog.h"
#include "app/main_frame.h"
#include "catalog/law_editions.h"
#include "compose/velto_doc.h"
#include "editions/article_history.h"
#include "view/page_view.h"

#include <QCursor>
#include <QMenu>
#include <QStatusBar>

namespace velto {

void CMainFrame::open_editions()
{
    // Opened again after the database was replaced: what was read of the old one goes.
    delete compare_dialog_.data();
    doc_.set_article_note(nullptr);
    any_comparable_ = false;
    edition_changes_ = std::make_unique<EditionChanges>(doc_.database());
    try {
        for (const LawEdition& e : doc_.editions())
            any_comparable_ = any_comparable_ || edition_changes_->comparable(e.law);
    } catch (const ComponentError&) {
        any_comparable_ = false; // the commands stay disabled; the pages show no line
        return;
    }
    if (!any_comparable_)
        return;
    doc_.set_article_note([this](std::string_view id) {
        try {
            return history_line_html(edition_changes_->history(id), doc_.display()[DisplaySettings::FontSizeBasic]);
        } catch (const ComponentError&) {
            return std::string(); // the page is shown without the line
        }
    });
}

EditionCompareDialog* CMainFrame::compare_dialog() const { return compare_dialog_; }

EditionCompareDialog* CMainFrame::comparison_window()
{
    if (!compare_dialog_) {
        compare_dialog_ = new EditionCompareDialog(doc_, *edition_changes_, this);
        compare_dialog_->setAttribute(Qt::WA_DeleteOnClose);
    }
    compare_dialog_->show();
    compare_dialog_->raise();
    compare_dialog_->activateWindow();
    return compare_dialog_;
}

void CMainFrame::compare_editions()
{
    const C2ndView* view = active_view();
    const std::string law = view && view->_current_id().size() >= 3 ? view->_current_id().substr(0, 3) : std::string();
    EditionCompareDialog* dialog = comparison_window();
    if (law.empty() || !dialog->show_comparison(law))
        for (const LawEdition& e : doc_.editions())
            if (dialog->show_comparison(e.law))
                break;
}

bool CMainFrame::open_comparison_link(const std::string& link)
{
    const std::optional<ComparisonRequest> request = parse_comparison_link(link);
    if (!request || !edition_changes_ || !edition_changes_->comparable(request->law))
        return false;
    return comparison_window()->show_comparison(request->law, request->older, request->newer, request->older_id,
                                                request->newer_id);
}

void CMainFrame::show_article_history()
{
    const std::string id = active_view() ? active_view()->_current_id() : std::string();
    std::vector<ArticleRevision> history;
    try {
        history = edition_changes_->history(id);
    } catch (const ComponentError&) {
        statusBar()->showMessage(QStringLiteral("この条の版を読めませんでした。"));
        return;
    }
    if (history.empty()) {
        statusBar()->showMessage(QStringLiteral("この条は、収録している版の間で改正されていません。"));
        return;
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("articleHistoryMenu"));
    for (const ArticleRevision& r : history) {
        std::string text = japanese_date(r.newer.enforced) + "施行の改正（" + japanese_date(r.older.enforced) + "施行の版と比較）";
        if (r.kind != ChangeKind::Changed)
            text += "　" + std::string(change_kind_name(r.kind));
        const std::string link = comparison_link(r);
        menu.addAction(QString::fromStdString(text), this, [this, link] { open_comparison_link(link); });
    }
    menu.exec(QCursor::pos());
}

} // namespace velto
