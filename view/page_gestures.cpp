// Mouse gestures: hold the right button on the page (not on a link or a
// picture) and drag right, left, down or up to go forward, back, to the next
// or to the previous article. Beyond 14 pixels the direction shows as an image
// halfway along the drag (a stop sign where that way leads nowhere); the
// release sends the command. The context menu a right press asks for waits for
// the release and does not open after a gesture.
#include "view/page_bridge.h"
#include "view/page_view.h"

#include <QJsonArray>

#include <cmath>
#include <cstdlib>

namespace velto {

namespace {

constexpr int kRightButton = 2; // the page's number of the right mouse button
constexpr int kThreshold = 14;  // a drag counts when it is longer than this
constexpr int kImageSize = 20;
constexpr char kDirectionImageId[] = "move-direction-image";
constexpr char kInsertPoint[] = "insert_point";

const char* direction_picture(int direction)
{
    switch (direction) {
    case C2ndView::kGestureForward: return "move_fwrd.gif";
    case C2ndView::kGestureBack: return "move_back.gif";
    case C2ndView::kGestureNext: return "move_next.gif";
    case C2ndView::kGesturePrevious: return "move_befo.gif";
    default: return "move_stop.gif";
    }
}

QJsonValue json(const std::string& text) { return QJsonValue(QString::fromStdString(text)); }

} // namespace

void C2ndView::mouse_pressed(int button, bool on_link, const QPoint& at)
{
    gesture_direction_ = kGestureNone;
    gesture_active_ = false;
    pending_menu_.reset();
    right_button_down_ = button == kRightButton;
    if (button == kRightButton && !on_link) {
        gesture_active_ = true;
        gesture_start_ = at;
        bridge_->run(PageBridge::call("setCursor", {QStringLiteral("pointer")}));
    }
}

int C2ndView::gesture_direction_to(const QPoint& at, QPoint& image) const
{
    const int dx = at.x() - gesture_start_.x();
    const int dy = at.y() - gesture_start_.y();
    image = QPoint((gesture_start_.x() + at.x()) / 2 - kImageSize / 2, (gesture_start_.y() + at.y()) / 2 - kImageSize / 2);
    const auto way = [this](int command, int direction) {
        return command_enabled(command) ? direction : static_cast<int>(kGestureStop);
    };
    if (std::abs(dy) < std::abs(dx))
        return dx > 0 ? way(kForward, kGestureForward) : way(kBack, kGestureBack);
    if (dy > 0)
        return way(kNext, kGestureNext);
    if (dy < 0) {
        image.ry() += kImageSize;
        return way(kPrevious, kGesturePrevious);
    }
    return kGestureNone;
}

void C2ndView::mouse_moved(const QPoint& at)
{
    if (!gesture_active_)
        return;
    const double dx = at.x() - gesture_start_.x();
    const double dy = at.y() - gesture_start_.y();
    if (static_cast<int>(std::sqrt(dx * dx + dy * dy)) <= kThreshold)
        return;
    QPoint image;
    const int direction = gesture_direction_to(at, image);
    if (direction == gesture_direction_ || direction == kGestureNone)
        return;
    _remove_direction_image();
    _show_direction_image(image, direction);
    gesture_direction_ = direction;
}

void C2ndView::mouse_released(int button, const QPoint& at)
{
    if (gesture_direction_ != kGestureNone) {
        QPoint image;
        int command = 0;
        switch (gesture_direction_to(at, image)) {
        case kGestureForward: command = kForward; break;
        case kGestureBack: command = kBack; break;
        case kGestureNext: command = kNext; break;
        case kGesturePrevious: command = kPrevious; break;
        default: break;
        }
        if (command != 0)
            run_command(command);
        else
            _remove_direction_image();
    }
    bridge_->run(PageBridge::call("setCursor", {QString()}));
    gesture_active_ = false;
    if (button == kRightButton) {
        right_button_down_ = false;
        if (pending_menu_) {
            const PendingMenu menu = *std::exchange(pending_menu_, std::nullopt);
            _context_menu(menu.screen, menu.anchor);
        }
    }
}

void C2ndView::_show_direction_image(const QPoint& at, int direction)
{
    const std::string html = positioned_image(kDirectionImageId, direction_picture(direction), kImageSize, kImageSize,
                                              at.y(), at.x());
    // The program's own pages have no insert point: the image goes first in the body.
    bridge_->run(PageBridge::call("insertBefore", {json(kInsertPoint), json(html), json(kDirectionImageId)}) +
                 QStringLiteral(" || ") + PageBridge::call("prepend", {json(html), json(kDirectionImageId)}));
}

void C2ndView::_remove_direction_image()
{
    bridge_->run(PageBridge::call("remove", {json(kDirectionImageId)}));
}

} // namespace velto
