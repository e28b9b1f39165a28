#include "view/busy_dialog.h"

#include "view/view_resources.h"

#include <QLabel>
#include <QMovie>
#include <QScreen>
#include <QVBoxLayout>

namespace velto {

BusyDialog::BusyDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    init_view_resources();
    setWindowTitle(QStringLiteral("準備中です．．．"));
    setModal(false);

    movie_ = new QMovie(QString::fromLatin1(kAnimation), QByteArray(), this);
    picture_ = new QLabel(this);
    picture_->setAttribute(Qt::WA_TranslucentBackground);
    picture_->setMovie(movie_);
    movie_->jumpToFrame(0);
    picture_->setFixedSize(movie_->currentPixmap().size());

    auto* text = new QLabel(QStringLiteral("しばらくお待ち下さい。"), this);
    text->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(15, 0, 15, 12);
    layout->addWidget(picture_, 0, Qt::AlignHCenter);
    layout->addWidget(text);
    setFixedSize(sizeHint().expandedTo(QSize(220, 0)));
}

void BusyDialog::start()
{
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = owner ? owner->frameGeometry() : screen()->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
    movie_->stop();
    movie_->jumpToFrame(0);
    movie_->start();
    show();
    raise();
    repaint();
}

void BusyDialog::stop()
{
    movie_->stop();
    hide();
}

bool BusyDialog::running() const { return isVisible(); }

} // namespace velto
