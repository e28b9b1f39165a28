// The pinpoint jump and the marks it leaves in the page: where a followed
// link lands, the pin image beside the target sentence, the colour of links
// that have a target, and the pinpoint list a right click on a link opens.
//
// The page is reached through the bridge, so every look at it is answered
// later: each answer is dropped when another page has come in the meantime.
#include "compose/html_format.h"
#include "view/page_bridge.h"
#include "view/page_view.h"
#include "view/pinpoint_dlg.h"
#include "view/view_page.h"

#include <QPointer>

namespace velto {

namespace {

constexpr char kPinImageId[] = "pin-point-image";
constexpr int kPinWidth = 11;
constexpr int kPinHeight = 10;
// The pin sits this far above the sentence; the sentence this far down the view.
constexpr int kPinLift = 10;
constexpr double kMarkHeight = 0.3;

QJsonValue json(const std::string& text) { return QJsonValue(QString::fromStdString(text)); }

} // namespace

std::string C2ndView::positioned_image(const char* id, const char* picture, int width, int height, long top,
                                       long left) const
{
    const std::string src = doc_.image_url() + "system/" + picture;
    return format("<img id=\"%s\" border=\"0\" src=\"%s\" width=\"%d\" height=\"%d\" "
                  "style=\"position: absolute; top:%ld; left:%ld\">",
                  id, src.c_str(), width, height, top, left);
}

std::string C2ndView::_resolve_pinpoint(const std::string& source_key, std::string& id)
{
    const PinPointJump jump = doc_._pinpoint_resolve(source_key, id);
    id = jump.page;
    return doc_.toggles().PinPoint ? jump.mark : std::string();
}

void C2ndView::_request_mark(const std::string& target)
{
    if (target.size() != kPinPointTargetLength)
        return;
    pending_mark_ = target;
    mark_page_ = current_id_;
    if (!loading_)
        _place_pending_mark();
}

void C2ndView::_place_pending_mark()
{
    if (pending_mark_.empty() || loading_)
        return;
    const std::string target = std::exchange(pending_mark_, {});
    if (mark_page_ != current_id_)
        return;
    _with_sentence_box(target, [this, target](const QVariantMap& box) {
        const int top = box.value(QStringLiteral("top")).toInt();
        const int height = box.value(QStringLiteral("viewHeight")).toInt();
        scroll_exactly(0, std::max(0, top - static_cast<int>(kMarkHeight * height)));
        _place_pin_image(target);
    });
}

void C2ndView::_with_sentence_box(const std::string& target, std::function<void(const QVariantMap&)> then)
{
    QPointer<C2ndView> self(this);
    const std::string page = current_id_;
    bridge_->run(PageBridge::call("offsetOf", {json(target)}),
                 [self, page, then = std::move(then)](const QVariant& answer) {
                     if (!self || self->current_id_ != page || self->loading_)
                         return;
                     const QVariantMap box = answer.toMap();
                     if (box.value(QStringLiteral("found")).toBool())
                         then(box);
                 });
}

void C2ndView::_place_pin_image(const std::string& target)
{
    if (target.size() != kPinPointTargetLength)
        return;
    _with_sentence_box(target, [this, target](const QVariantMap& box) {
        QPointer<C2ndView> self(this);
        const std::string page = current_id_;
        const long top = box.value(QStringLiteral("top")).toInt() - kPinLift;
        const long left = box.value(QStringLiteral("left")).toInt();
        const std::string html = self->positioned_image(kPinImageId, "pin_point.gif", kPinWidth, kPinHeight, top, left);
        self->bridge_->run(PageBridge::call("insertBefore", {json(target), json(html), json(kPinImageId)}),
                           [self, target, page](const QVariant& inserted) {
                               if (!self || self->current_id_ != page || !inserted.toBool())
                                   return;
                               self->pin_image_shown_ = true;
                               emit self->pinImagePlaced(QString::fromStdString(target));
                           });
    });
}

void C2ndView::_remove_pin_image()
{
    if (!pin_image_shown_)
        return;
    pin_image_shown_ = false;
    bridge_->run(PageBridge::call("remove", {json(kPinImageId)}));
}

void C2ndView::_colour_pinpoint_links()
{
    // Once for every document put into the browser (_show clears the flag):
    // a reload or a rebuild of the same page gets its colours again.
    const std::string page = current_id_;
    if (links_coloured_)
        return;
    links_coloured_ = true;
    if (!doc_.toggles().PinPoint || doc_.display()[DisplaySettings::FontColorPioPointOff] == 1)
        return;
    QJsonArray keys;
    for (const std::string& key : doc_.pinpoints().keys_of_page(page))
        keys.append(json(key));
    if (keys.isEmpty())
        return;
    bridge_->run(PageBridge::call("colourLinks", {keys, json("background : #" + doc_._pinpoint_colour())}));
}

void C2ndView::page_clicked(const QString& anchor_id)
{
    _remove_pin_image();
    pinpoint_source_key_ = anchor_id.toStdString();
}

void C2ndView::scroll_exactly(int x, int y)
{
    assumed_position_ = QPoint(x, y);
    bridge_->run(QStringLiteral("window.scrollTo(%1, %2);").arg(x).arg(y));
}

int C2ndView::_open_pinpoint_dialog(const std::string& key, const std::string& id, const QPoint& screen)
{
    if (!pinpoint_dlg_)
        return 2;
    pinpoint_dlg_->set_key(key);
    return pinpoint_dlg_->_show(screen, id);
}

bool C2ndView::show_for_pinpoint(const std::string& id)
{
    if (_show(id))
        return true;
    // The page shown is there already: the choice applies to it.
    return id.size() == kPageIdLength && id == current_id_;
}

void C2ndView::pinpoint_chosen(const std::string& key, const std::string& choice)
{
    const std::string page = choice.substr(0, kPageIdLength);
    const bool was_shown = page == current_id_ && !loading_;
    if (!show_for_pinpoint(page))
        return;
    if (choice.size() == kPageIdLength && was_shown) {
        _remove_pin_image();
        scroll_exactly(0, 0);
    }
    _request_mark(choice);
    if (pane_ && synchronisation_active())
        pane_->_sync(page);
    doc_._pinpoint_choose(key, choice);
    _focus_page();
}

} // namespace velto
