// Keyboard and selection behaviour shared by the contents tree and the three
// lists of the left pane.
//
// A control tells the pane through notify(id) that its selection should be
// shown: when the selection changes, on a double click, on Enter and when a
// held key is released. While NavHold is set the pane ignores those
// notifications, so holding an arrow or page key moves through the items
// without composing a page for each of them; the release shows the item where
// the key stopped, once.
//
// The window system repeats a held key as a release and a press of the same
// moment, and does not always mark the pair as a repeat. The release of an
// arrow or page key is therefore taken as the end of a hold only when no
// press of that key follows it within kReleaseSettleMs; such a press
// continues (or begins) the hold.
#pragma once

#include <QTreeWidget>

#include <string>

class QFocusEvent;
class QKeyEvent;
class QTimer;

namespace velto {

// The one hold switch of the process, shared by all navigation controls.
class NavHold {
public:
    static bool is_set() { return held_; }
    static void set() { held_ = true; }
    static void clear() { held_ = false; }

private:
    static inline bool held_ = false;
};

// Sets NavHold for the lifetime of the guard: selection changes made inside
// it are not shown. The previous state is put back at the end.
class NavHoldGuard {
public:
    NavHoldGuard() : previous_(NavHold::is_set()) { NavHold::set(); }
    ~NavHoldGuard()
    {
        if (!previous_)
            NavHold::clear();
    }
    NavHoldGuard(const NavHoldGuard&) = delete;
    NavHoldGuard& operator=(const NavHoldGuard&) = delete;

private:
    bool previous_;
};

// True for the keys whose auto-repeat sets NavHold: arrows and page keys.
bool is_hold_key(int key);

// How long the release of a held key waits for a press that continues the hold.
inline constexpr int kReleaseSettleMs = 80;

// Base of VTreeCtrl and VListBase.
class NavItemView : public QTreeWidget {
    Q_OBJECT

public:
    NavItemView(int control_id, QWidget* parent);

    int control_id() const { return control_id_; }

    // Identifier of the selected item (the last selected row of a list);
    // empty when nothing is selected or the item carries no identifier.
    virtual std::string _selected_id() const = 0;

    // The whole text of a cell that the control shows cut (with "..." or
    // " ... ", or at the edge of the control); empty when the cell shows all
    // of its text.
    virtual QString _whole_text(const QModelIndex& index) const = 0;

signals:
    // The selected item should be shown; `control_id` is this control's id.
    void notify(int control_id);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    // A text the control shows cut comes whole as the tooltip of its item,
    // as plain text (nav/plain_text.h).
    bool viewportEvent(QEvent* event) override;

    // Called when the control receives the keyboard focus, before the view's
    // own handling. Lists select a row here.
    virtual void focus_gained() {}

    void send_notify() { emit notify(control_id_); }

private:
    // The hold is over: the item where the key stopped is shown.
    void end_hold();

    int control_id_;
    QTimer* release_wait_ = nullptr;
    int released_key_ = 0;
};

} // namespace velto
