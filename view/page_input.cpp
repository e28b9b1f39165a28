// What the user does to the browser itself: the context menu, the keys the
// engine must not act on, dropped files and resizing.
//
// The page script asks for the context menu in order with the mouse events
// (page_gestures.cpp); the engine asks only where the script is not there yet.
#include "view/page_view.h"

#include "view/page_bridge.h"
#include "view/view_page.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QWebEngineView>

namespace velto {

namespace {

// Keys with which the browser engine would act on the page by itself (select
// all, copy, history, reload, zoom and the like). The program defines its own
// shortcuts; plain keys for scrolling and moving the focus stay with the page.
bool engine_shortcut(const QKeyEvent* key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return true;
    const int k = key->key();
    if (k >= Qt::Key_F1 && k <= Qt::Key_F35)
        return true;
    switch (k) {
    case Qt::Key_Back:
    case Qt::Key_Forward:
    case Qt::Key_Refresh:
    case Qt::Key_Reload:
    case Qt::Key_Stop:
    case Qt::Key_Search:
    case Qt::Key_Favorites:
    case Qt::Key_HomePage:
    case Qt::Key_Print:
    case Qt::Key_ZoomIn:
    case Qt::Key_ZoomOut:
        return true;
    default:
        return false;
    }
}

} // namespace

void C2ndView::build_context_menu()
{
    menu_ = new QMenu(this);
    const std::pair<int, const char*> items[] = {
        {kPrevious, "前へ"},
        {kNext, "次へ"},
        {kBack, "戻る"},
        {kForward, "進む"},
        {0, nullptr},
        {kOpenBelow, "下のペインで開く（Shift+クリック）"},
        {0, nullptr},
        {kFindInPage, "このページ内の検索（Ctrl+F）"},
        {kClearMarks, "反転マークのクリア"},
        {kCopy, "ぷちコピー（Ctrl+C）"},
        {kCopyProvision, "条文をコピー"},
        {0, nullptr},
        {kCitedBy, "この条を引用している条文"},
        {kArticleHistory, "この条の改正"},
    };
    for (const auto& [id, text] : items) {
        if (!text) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(QString::fromUtf8(text));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id = id] {
            switch (id) {
            case kCitedBy:
            case kArticleHistory: emit commandRequested(id); break; // carried out by the window
            case kOpenBelow: open_below_from_menu(); break;
            case kCopyProvision: copy_provision(menu_anchor_.sentence); break;
            default: run_command(id); break;
            }
        });
    }
}

void C2ndView::request_context_menu(const QPoint& position)
{
    const QPoint screen = browser_->mapToGlobal(position);
    const double zoom = page_->zoomFactor() > 0 ? page_->zoomFactor() : 1.0;
    const QString query = QStringLiteral("window.veltoPage ? veltoPage.anchorAt(%1, %2) : null")
                              .arg(position.x() / zoom)
                              .arg(position.y() / zoom);
    QPointer<C2ndView> self(this);
    bridge_->run(query, [self, screen](const QVariant& result) {
        if (!self)
            return;
        const QVariantMap found = result.toMap();
        PageAnchor anchor;
        anchor.is_anchor = found.value(QStringLiteral("anchor")).toBool();
        anchor.href = found.value(QStringLiteral("href")).toString().toStdString();
        anchor.id = found.value(QStringLiteral("id")).toString().toStdString();
        anchor.sentence = found.value(QStringLiteral("sentence")).toString().toStdString();
        self->_context_menu(screen, anchor);
    });
}

void C2ndView::context_menu_asked(const QPoint& at, bool anchor, const QString& href, const QString& anchor_id,
                                  const QString& sentence)
{
    const double zoom = page_->zoomFactor() > 0 ? page_->zoomFactor() : 1.0;
    const QPoint screen = browser_->mapToGlobal(QPoint(qRound(at.x() * zoom), qRound(at.y() * zoom)));
    const PageAnchor found{anchor, href.toStdString(), anchor_id.toStdString(), sentence.toStdString()};
    if (right_button_down_)
        pending_menu_ = PendingMenu{screen, found}; // the release decides
    else
        _context_menu(screen, found);
}

void C2ndView::_context_menu(const QPoint& screen, const PageAnchor& anchor)
{
    if (gesture_direction_ != 0)
        return;
    menu_anchor_ = anchor;
    if (anchor.is_anchor) {
        const InternalLink link = decode_internal_url(anchor.href);
        if (!link.internal || link.id.empty())
            return;
        if (doc_.toggles().PinPoint && _open_pinpoint_dialog(anchor.id, link.id.substr(0, kPageIdLength), screen) != 2)
            return;
    }
    for (QAction* action : menu_->actions()) {
        const int id = action->data().toInt();
        if (id == kCitedBy || id == kArticleHistory)
            action->setEnabled(command_state_ && command_state_(id)); // the window's to say
        else if (id == kOpenBelow)
            action->setEnabled(anchor.is_anchor || (!is_second_view() && command_enabled(id)));
        else if (id)
            action->setEnabled(command_enabled(id));
    }
    menu_->popup(screen);
}

void C2ndView::open_below_from_menu()
{
    if (!menu_anchor_.is_anchor) {
        emit openBelowRequested(QString::fromStdString(current_id_), {});
        return;
    }
    const InternalLink link = decode_internal_url(menu_anchor_.href);
    if (link.internal && !link.id.empty())
        emit openBelowRequested(QString::fromStdString(link.id), QString::fromStdString(menu_anchor_.id));
}

bool C2ndView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == browser_ && event->type() == QEvent::ChildAdded)
        guard_browser_child(static_cast<QChildEvent*>(event)->child());
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (engine_shortcut(static_cast<QKeyEvent*>(event))) {
            // Not for the engine: the program's own shortcuts may take the key.
            event->ignore();
            return true;
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        // No files are dropped into the page view.
        event->ignore();
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void C2ndView::guard_browser_child(QObject* child)
{
    if (auto* widget = qobject_cast<QWidget*>(child)) {
        widget->installEventFilter(this);
        widget->setAcceptDrops(false);
    }
}

void C2ndView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    _remove_pin_image();
}

} // namespace velto
