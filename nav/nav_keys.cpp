#include "nav/nav_keys.h"

#include "nav/plain_text.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <QTimer>

namespace velto {

bool is_hold_key(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

NavItemView::NavItemView(int control_id, QWidget* parent) : QTreeWidget(parent), control_id_(control_id)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAcceptDrops(false);
    setFocusPolicy(Qt::StrongFocus);

    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { send_notify(); });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { send_notify(); });

    release_wait_ = new QTimer(this);
    release_wait_->setSingleShot(true);
    release_wait_->setInterval(kReleaseSettleMs);
    connect(release_wait_, &QTimer::timeout, this, &NavItemView::end_hold);
}

void NavItemView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter opens the selected item; the view never sees the key.
        event->accept();
        send_notify();
        return;
    }
    if (is_hold_key(event->key())) {
        // A press that follows the release of the held key at once continues the hold.
        const bool continued = release_wait_->isActive() && released_key_ == event->key();
        release_wait_->stop();
        if (event->isAutoRepeat() || continued)
            NavHold::set();
    }
    QTreeWidget::keyPressEvent(event);
}

void NavItemView::keyReleaseEvent(QKeyEvent* event)
{
    // Some window systems send a release before every repeated press; the
    // key is still held then.
    if (event->isAutoRepeat()) {
        QTreeWidget::keyReleaseEvent(event);
        return;
    }
    // Even the first repeat of a key comes as a release and a press, so every
    // release of a hold key waits a moment for the press that may continue it.
    if (is_hold_key(event->key())) {
        released_key_ = event->key();
        release_wait_->start();
    } else {
        end_hold();
    }
    QTreeWidget::keyReleaseEvent(event);
}

void NavItemView::end_hold()
{
    release_wait_->stop();
    const bool held = NavHold::is_set();
    NavHold::clear();
    if (held)
        send_notify();
}

bool NavItemView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString whole = index.isValid() ? _whole_text(index) : QString();
    if (whole.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), plain_tooltip(whole), viewport(), visualRect(index));
    return true;
}

void NavItemView::focusInEvent(QFocusEvent* event)
{
    focus_gained();
    QTreeWidget::focusInEvent(event);
}

} // namespace velto
