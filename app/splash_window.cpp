#include "app/splash_window.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace velto {

SplashWindow::SplashWindow(const QPixmap& picture, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), picture_(picture)
{
    setCursor(Qt::ArrowCursor);
    setFixedSize(picture_.deviceIndependentSize().toSize());
}

SplashWindow::~SplashWindow() { qApp->removeEventFilter(this); }

void SplashWindow::show_for(int ms)
{
    QWidget* owner = parentWidget();
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry()
                                                    : (screen() ? screen()->availableGeometry() : QRect(0, 0, 800, 600));
    move(area.center() - rect().center());
    qApp->installEventFilter(this);
    show();
    raise();
    QTimer::singleShot(ms, this, [this] {
        if (!pressed_)
            finish();
    });
}

void SplashWindow::finish()
{
    qApp->removeEventFilter(this);
    hide();
    if (QWidget* owner = parentWidget())
        owner->repaint();
    deleteLater();
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

bool SplashWindow::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        if (!pressed_) {
            // The first press hides the picture at once and does nothing else,
            // up to and including its release.
            pressed_ = true;
            hide();
            if (QWidget* owner = parentWidget())
                owner->repaint();
        }
        return true;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonRelease:
        if (pressed_) {
            finish();
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace velto
