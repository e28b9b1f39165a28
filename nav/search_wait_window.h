// The small window "検索中です．．．" shown while a full-text search runs: a
// looping animation and a progress bar that the search drives with its
// commands (32798 start, 32799 step, 32800 hide).
//
// The search runs on a thread of its own, so the window keeps painting and
// its animation plays. The window is application-modal: the rest of the
// program refuses input until the search closes it. The user cannot close it
// (Esc and the close box do nothing); only finish() does.
#pragma once

#include <QDialog>

class QLabel;
class QMovie;
class QProgressBar;

namespace velto {

class SearchWaitWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kAnimationId = 1010;
    static constexpr int kProgressId = 1034;
    static constexpr const char* kAnimation = ":/nav/search_wait.gif";

    // Centred on `parent`'s window; shows itself and starts the animation.
    explicit SearchWaitWindow(QWidget* parent);

    // The progress commands: start (range 0 to `parameter`, position 0),
    // advance one step, hide. False for any other command.
    bool OnCommand(int command, int parameter = 0);

    // Stops the animation and closes the window for good.
    void finish();

    QMovie* movie() const { return movie_; }
    QProgressBar* progress() const { return progress_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QLabel* picture_ = nullptr;
    QMovie* movie_ = nullptr;
    QProgressBar* progress_ = nullptr;
    bool finishing_ = false;
};

} // namespace velto
