#include "view/link_peek_popup.h"

#include "view/page_bridge.h"
#include "view/page_scheme.h"
#include "view/view_page.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <algorithm>

namespace velto {

namespace {

constexpr int kBorder = 1;
constexpr int kGap = 4;        // between the link and the preview
constexpr int kMinHeight = 24;

} // namespace

LinkPeekPopup::LinkPeekPopup(QWebEngineProfile* profile, PageSchemeHandler* scheme, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), scheme_(scheme)
{
    setObjectName(QStringLiteral("linkPeek"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QStringLiteral("#linkPeek { border: 1px solid #808080; }"));
    page_ = new ViewPage(profile);
    view_ = new QWebEngineView(this);
    view_->setPage(page_);
    view_->setFocusPolicy(Qt::NoFocus);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    view_->setAcceptDrops(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    layout->addWidget(view_);
    // As small as its page: the browser's own minimum would make a one-line preview tall.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    view_->setMinimumSize(1, 1);
    resize(kWidth, kMaxHeight);

    leave_timer_.setSingleShot(true);
    leave_timer_.setInterval(kLeaveGraceMs);
    connect(&leave_timer_, &QTimer::timeout, this, [this] {
        if (!pointer_inside())
            dismiss();
    });
    connect(page_, &QWebEnginePage::loadFinished, this, &LinkPeekPopup::loaded);
    // Any click into it: the links in it lead nowhere by themselves.
    connect(page_->bridge(), &PageBridge::anchorClicked, this, [this] {
        if (isVisible())
            emit clicked();
    });
}

LinkPeekPopup::~LinkPeekPopup()
{
    qApp->removeEventFilter(this);
    // The browser goes before its page.
    delete view_;
    delete page_;
}

void LinkPeekPopup::show_preview(const QByteArray& html, const QRect& link, double zoom)
{
    leave_timer_.stop();
    link_ = link;
    zoom_ = zoom > 0 ? zoom : 1.0;
    wanted_ = true;
    page_->setZoomFactor(zoom_);
    url_ = scheme_->publish_preview(html);
    page_->load(url_);
}

void LinkPeekPopup::loaded(bool ok)
{
    if (!wanted_ || page_->url() != url_)
        return; // an earlier preview, or none is wanted any more
    if (!ok) {
        dismiss();
        return;
    }
    QPointer<LinkPeekPopup> self(this);
    const QUrl url = url_;
    page_->bridge()->run(PageBridge::call("contentHeight", {}), [self, url](const QVariant& height) {
        if (!self || !self->wanted_ || self->url_ != url)
            return;
        self->place(qRound(height.toDouble() * self->zoom_) + 2 * kBorder);
        if (!self->isVisible()) {
            qApp->installEventFilter(self);
            self->show();
            // A browser that was never shown lays its page out narrower than
            // it will be: measured again at its real width.
            self->fit_again();
        }
        emit self->shown();
    });
}

void LinkPeekPopup::fit_again()
{
    QPointer<LinkPeekPopup> self(this);
    const QUrl url = url_;
    page_->bridge()->run(PageBridge::call("contentHeight", {}), [self, url](const QVariant& height) {
        if (self && self->wanted_ && self->url_ == url && self->isVisible())
            self->place(qRound(height.toDouble() * self->zoom_) + 2 * kBorder);
    });
}

void LinkPeekPopup::place(int height)
{
    const int h = std::clamp(height, kMinHeight, kMaxHeight);
    QScreen* screen = QGuiApplication::screenAt(link_.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(link_.topLeft(), QSize(kWidth, h));
    const int x = std::clamp(link_.left(), room.left(), std::max(room.left(), room.right() + 1 - kWidth));
    int y = link_.bottom() + 1 + kGap;
    if (y + h > room.bottom() + 1 && link_.top() - kGap - h >= room.top())
        y = link_.top() - kGap - h;
    setGeometry(x, y, kWidth, h);
}

void LinkPeekPopup::dismiss()
{
    leave_timer_.stop();
    const bool was_shown = isVisible();
    wanted_ = false;
    qApp->removeEventFilter(this);
    hide();
    if (was_shown)
        emit dismissed();
}

void LinkPeekPopup::leave_soon()
{
    if (wanted_)
        leave_timer_.start();
}

bool LinkPeekPopup::pointer_inside() const { return isVisible() && geometry().contains(QCursor::pos()); }

void LinkPeekPopup::enterEvent(QEnterEvent* event)
{
    leave_timer_.stop();
    QWidget::enterEvent(event);
}

void LinkPeekPopup::leaveEvent(QEvent* event)
{
    leave_soon();
    QWidget::leaveEvent(event);
}

bool LinkPeekPopup::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            dismiss();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() != this)
            dismiss();
        break;
    }
    case QEvent::Move:
    case QEvent::Resize: {
        // The preview stands beside a link of its owner's window: it cannot stay when that window moves.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget != this && parentWidget() && widget == parentWidget()->window())
            dismiss();
        break;
    }
    case QEvent::ApplicationDeactivate: dismiss(); break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velto
