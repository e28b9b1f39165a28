// The main window's commands: which are enabled or checked, and carrying them
// out (the page view's own go to the page view the reader is in).
#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/options_dialog.h"
#include "catalog/law_editions.h"
#include "compose/velto_doc.h"
#include "editions/article_history.h"
#include "view/page_view.h"
#include "view/support_site.h"

#include <QAction>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace velto {

namespace {

constexpr char kSupportSiteFailed[] = "ヴェルトのサポートホームページを\n開くことができませんでした。";

// Commands the page view carries out.
bool is_view_command(int id)
{
    switch (id) {
    case cmd::PinPoint:
    case cmd::ArabicNumbers:
    case cmd::Copy:
    case cmd::FindInPage:
    case cmd::FindNext:
    case cmd::FindPrevious:
    case cmd::CopyProvision:
    case cmd::ClearMarks:
    case cmd::Print:
    case cmd::PrintPreview:
    case cmd::TermMarks: return true;
    default: return id >= cmd::Back && id <= cmd::Brachet;
    }
}

} // namespace

QAction* CMainFrame::action(int id) const
{
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

bool CMainFrame::command_enabled(int id) const
{
    C2ndView* view = active_view();
    if (is_view_command(id))
        return view && view->command_enabled(id);
    switch (id) {
    case cmd::Topmost:
    case cmd::Split:
    case cmd::Help:
    case cmd::SupportSite:
    case cmd::Version:
    case cmd::Exit:
        return true;
    case cmd::CompareEditions: return any_comparable_;
    case cmd::ArticleHistory: {
        IdKind kind;
        const std::string id = view ? view->_current_id() : std::string();
        return edition_changes_ && CVeltoDoc::_id_kind(id, kind) && kind == IdKind::Article &&
               edition_changes_->comparable(id.substr(0, 3));
    }
    case cmd::CitedBy: {
        IdKind kind;
        return view && link_index_ready() && CVeltoDoc::_id_kind(view->_current_id(), kind) &&
               kind != IdKind::Special;
    }
    case cmd::Cover:
    case cmd::Legend:
    case cmd::LawHistory:
    case cmd::NoticeHistory:
    case cmd::DesignData:
    case cmd::EasterEgg:
    case cmd::Options:
        return page_ != nullptr;
    default:
        return false; // carried out by parts of the program still to come
    }
}

bool CMainFrame::command_checked(int id) const
{
    if (is_view_command(id))
        return active_view() && active_view()->command_checked(id);
    if (id == cmd::Topmost)
        return topmost_;
    if (id == cmd::Split)
        return split_;
    return false;
}

void CMainFrame::refresh_commands()
{
    for (const auto& [id, a] : actions_) {
        a->setEnabled(command_enabled(id));
        if (a->isCheckable())
            a->setChecked(command_checked(id));
    }
}

bool CMainFrame::run_command(int id)
{
    if (!command_enabled(id)) {
        refresh_commands();
        return false;
    }
    C2ndView* view = active_view();
    if (is_view_command(id)) {
        view->run_command(id);
        // The switches hold for both pages of a split window.
        if ((id == cmd::Refer || id == cmd::Brachet || id == cmd::PinPoint || id == cmd::ArabicNumbers ||
             id == cmd::TermMarks) && lower_)
            (view == page_ ? lower_.data() : page_)->rebuild_after_toggle(id);
    } else if (const std::string_view page = command_page(id); !page.empty()) {
        if (view->_show(std::string(page)))
            view->_focus_page();
    } else {
        switch (id) {
        case cmd::Topmost:
            topmost_ = !topmost_;
            setWindowFlag(Qt::WindowStaysOnTopHint, topmost_);
            show();
            break;
        case cmd::Split: toggle_split(page_ ? page_->_current_id() : std::string()); break;
        case cmd::Options:
            open_options_dialog(doc_, this);
            if (lower_)
                lower_->rebuild_current_page(); // the document rebuilt the upper page
            break;
        case cmd::Help: show_help(); break;
        case cmd::CitedBy: show_cited_by(); break;
        case cmd::CompareEditions: compare_editions(); break;
        case cmd::ArticleHistory: show_article_history(); break;
        case cmd::SupportSite:
            if (!QDesktopServices::openUrl(QUrl(QString::fromUtf8(std::string(kSupportSite).append(kSupportTopPath).c_str()))))
                doc_.reporter().show("", kSupportSiteFailed, MessageButtons::Ok, MessageIcon::Stop);
            break;
        case cmd::Version: {
            // The laws' titles come from the database: shown as plain text,
            // whatever they hold. The edition the title names comes first;
            // every law's own follows in the detail, however many laws there are.
            // The document's editions are those the pages go by, outdated ones marked.
            const std::vector<LawEdition>& editions = doc_.editions();
            const std::string caption = edition_caption(editions);
            const std::string all = about_text(editions, doc_.editions_readable());
            std::string text = all;
            if (!caption.empty()) {
                text = all.substr(0, all.find('\n')) + "\n\n収録している法令の本文: " + caption;
                if (editions.size() > 1)
                    text += "\n（法令ごとの版は「詳細を表示」で）";
            }
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("バージョン情報"), QString::fromStdString(text),
                            QMessageBox::Ok, this);
            if (!caption.empty())
                box.setDetailedText(QString::fromStdString(all));
            box.setTextFormat(Qt::PlainText);
            box.setIconPixmap(windowIcon().pixmap(48, 48));
            // The earlier editions the dialog lists can be compared from here.
            QPushButton* compare = box.addButton(QStringLiteral("改正比較..."), QMessageBox::ActionRole);
            compare->setEnabled(any_comparable_);
            box.exec();
            if (box.clickedButton() == compare && any_comparable_)
                compare_editions();
            break;
        }
        case cmd::Exit: close(); break;
        default: return false;
        }
    }
    refresh_commands();
    return true;
}

} // namespace velto
