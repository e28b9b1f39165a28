// The small modeless window with the busy animation, shown while the full text
// of a large article is being prepared.
#pragma once

#include <QDialog>

class QLabel;
class QMovie;

namespace velto {

class BusyDialog : public QDialog {
    Q_OBJECT
public:
    // The animation, also played by other wait windows of the program.
    static constexpr const char* kAnimation = ":/velto/busy.gif";

    explicit BusyDialog(QWidget* parent);

    // Shows the window centred on its parent's window and plays the animation
    // from its first frame, repeating until stop().
    void start();
    // Stops the animation and hides the window.
    void stop();
    bool running() const;

private:
    QLabel* picture_ = nullptr;
    QMovie* movie_ = nullptr;
};

} // namespace velto
