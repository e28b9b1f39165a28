// The preview of the link the pointer rests on: after a moment a small
// window beside the link shows what it points to (citations/link_peek.h). It
// shows; it never navigates, adds nothing to the history and opens no window
// of the engine. A click into it follows the link, to the place it showed.
#include "view/link_peek_popup.h"
#include "view/page_bridge.h"
#include "view/page_view.h"
#include "view/view_page.h"

#include <QTimer>
#include <QWebEngineView>

namespace velto {

void C2ndView::link_entered(const QString& href, const QString& anchor_id, const QRect& line)
{
    const InternalLink link = decode_internal_url(href.toStdString());
    const std::string anchor = anchor_id.toStdString();
    if (peek_popup_ && peek_popup_->active() && hovered_.href == href && hovered_.anchor == anchor) {
        peek_popup_->stay(); // back onto the link whose preview is open
        return;
    }
    close_peek();
    const bool term = href.startsWith(QLatin1String(kTermHref));
    if (!term && (!link.internal || link.id.empty()))
        return;
    hovered_ = {href, anchor, term ? href.mid(QLatin1String(kTermHref).size()).toStdString() : link.id, line, term};
    if (!peek_timer_) {
        peek_timer_ = new QTimer(this);
        peek_timer_->setSingleShot(true);
        connect(peek_timer_, &QTimer::timeout, this, &C2ndView::open_peek);
    }
    peek_timer_->start(kPeekDelayMs);
}

void C2ndView::link_left()
{
    if (peek_timer_)
        peek_timer_->stop();
    if (peek_popup_)
        peek_popup_->leave_soon();
}

void C2ndView::open_peek()
{
    // Not over a page on its way, nor while the right button is down (a gesture or a menu).
    if (loading_ || right_button_down_ || !browser_->isVisible() || hovered_.id.empty())
        return;
    if (!link_peek_)
        link_peek_ = std::make_unique<LinkPeek>(doc_);
    std::string html;
    if (!(hovered_.term ? compose_term_peek(html) : link_peek_->compose(hovered_.anchor, hovered_.id, peeked_, html)))
        return;
    if (!peek_popup_) {
        peek_popup_ = new LinkPeekPopup(profile_, scheme_, this);
        connect(peek_popup_, &LinkPeekPopup::clicked, this, &C2ndView::follow_peek);
    }
    const double zoom = page_->zoomFactor() > 0 ? page_->zoomFactor() : 1.0;
    const QRect& l = hovered_.line;
    const QRect line(browser_->mapToGlobal(QPoint(qRound(l.x() * zoom), qRound(l.y() * zoom))),
                     QSize(qRound(l.width() * zoom), qRound(l.height() * zoom)));
    peek_popup_->show_preview(QByteArray::fromStdString(html), line, zoom);
}

void C2ndView::close_peek()
{
    if (peek_timer_)
        peek_timer_->stop();
    if (peek_popup_)
        peek_popup_->dismiss();
}

void C2ndView::follow_peek()
{
    const PeekTarget target = peeked_;
    const std::string anchor = hovered_.anchor;
    const std::string id = hovered_.id;
    close_peek();
    hovered_ = {};
    if (!target.named) {
        // As a click on the link: its pinpoint target, if any, is marked.
        pinpoint_source_key_ = anchor;
        follow_link(id);
        return;
    }
    // The paragraph or item the words after the link name, as the preview showed it.
    const bool shown = show_at(target.page, target.anchor, target.scope);
    if (shown || target.page == current_id_)
        _focus_page();
    emit linkFollowed(QString::fromStdString(target.page), shown);
}

} // namespace velto
