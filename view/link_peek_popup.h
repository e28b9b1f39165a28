// The preview beside a link: a small window without a frame of its own that
// shows the preview page the document composes (citations/link_peek.h) in a
// browser page of the page view's profile, under the same rules as the page
// (view/view_page.h): no script of its own, no navigation, no window.
//
// It never takes the focus and never navigates: a click in it only reports
// clicked(), and the links in it lead nowhere. It closes when the pointer
// leaves it (unless it comes back at once), on Esc, on a click or a wheel
// anywhere else in the program, and when its owner's window moves or changes
// size. The page view decides when it opens.
#pragma once

#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QUrl>
#include <QWidget>

class QWebEngineProfile;
class QWebEngineView;

namespace velto {

class PageSchemeHandler;
class ViewPage;

class LinkPeekPopup : public QWidget {
    Q_OBJECT
public:
    // The preview's width in pixels and the most of its height before it scrolls.
    static constexpr int kWidth = 520;
    static constexpr int kMaxHeight = 340;

    // `profile` and `scheme` are the page view's; `owner` the page view.
    LinkPeekPopup(QWebEngineProfile* profile, PageSchemeHandler* scheme, QWidget* owner);
    ~LinkPeekPopup() override;

    // Loads `html` and, once it is there, shows it beside `link` (a rectangle
    // in global coordinates): below it, or above when there is no room
    // below. A preview asked for later replaces this one.
    void show_preview(const QByteArray& html, const QRect& link, double zoom);
    // Hides the preview, or drops the one on its way.
    void dismiss();
    // The pointer left the link: the preview closes in a moment unless the
    // pointer comes into it (or back onto the link: stay()).
    void leave_soon();
    void stay() { leave_timer_.stop(); }
    // A preview is shown or on its way.
    bool active() const { return wanted_; }
    bool pointer_inside() const;
    // The browser page of the preview, for tests.
    ViewPage* page() const { return page_; }

signals:
    // The reader clicked into the preview.
    void clicked();
    // The preview is on the screen.
    void shown();
    // The preview went (closed by the pointer, Esc, a click elsewhere or dismiss()).
    void dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The preview has loaded: sized to its page and shown.
    void loaded(bool ok);
    void place(int height);
    // Sizes the shown preview to its page once more.
    void fit_again();
    // How long the pointer may be away from the link and the preview (milliseconds).
    static constexpr int kLeaveGraceMs = 300;

    PageSchemeHandler* scheme_;
    ViewPage* page_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QUrl url_;
    QRect link_;
    double zoom_ = 1.0;
    bool wanted_ = false;
    QTimer leave_timer_;
};

} // namespace velto
