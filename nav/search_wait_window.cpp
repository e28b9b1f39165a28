#include "nav/search_wait_window.h"

#include "nav/control_ids.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

static void register_search_wait_animation()
{
    Q_INIT_RESOURCE(search_wait);
}

namespace velto {

namespace {

// Room around the animation and below it for the progress bar.
constexpr int kMargin = 5;
constexpr int kMinimumWidth = 240;
constexpr int kProgressHeight = 16;

} // namespace

SearchWaitWindow::SearchWaitWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    register_search_wait_animation();
    setObjectName(QStringLiteral("search_wait_window"));
    setWindowTitle(QStringLiteral("検索中です．．．"));
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);

    movie_ = new QMovie(QString::fromLatin1(kAnimation), QByteArray(), this);
    movie_->setCacheMode(QMovie::CacheAll);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("animation"));
    picture_->setAttribute(Qt::WA_TranslucentBackground);
    picture_->setMovie(movie_);
    movie_->jumpToFrame(0);
    const QSize frame = movie_->currentPixmap().size();
    const int width = std::max(kMinimumWidth, frame.width() + 2 * kMargin);
    picture_->setGeometry((width - frame.width()) / 2, kMargin, frame.width(), frame.height());

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setTextVisible(false);
    progress_->setGeometry(kMargin, frame.height() + 2 * kMargin, width - 2 * kMargin, kProgressHeight);
    progress_->hide();
    setFixedSize(width, frame.height() + 3 * kMargin + kProgressHeight);

    const QWidget* owner = parent ? parent->window() : nullptr;
    const QRect area = owner ? owner->frameGeometry() : screen()->availableGeometry();
    move(area.center() - QPoint(this->width() / 2, height() / 2));
    movie_->start();
    show();
    raise();
}

bool SearchWaitWindow::OnCommand(int command, int parameter)
{
    switch (command) {
    case kCmdWaitProgressStart:
        progress_->setRange(0, std::max(0, parameter));
        progress_->setValue(0);
        progress_->show();
        return true;
    case kCmdWaitProgressStep:
        progress_->setValue(std::min(progress_->maximum(), progress_->value() + 1));
        return true;
    case kCmdWaitProgressHide:
        progress_->hide();
        return true;
    default:
        return false;
    }
}

void SearchWaitWindow::finish()
{
    movie_->stop();
    finishing_ = true;
    const QPointer<QWidget> owner = parentWidget() ? parentWidget()->window() : nullptr;
    const bool active = isActiveWindow();
    close();
    // The keyboard goes back to the window the search was started from.
    if (owner && active)
        owner->activateWindow();
}

void SearchWaitWindow::closeEvent(QCloseEvent* event)
{
    if (finishing_)
        event->accept();
    else
        event->ignore();
}

void SearchWaitWindow::reject()
{
    // Esc: the search ends the window, not the user.
}

} // namespace velto
