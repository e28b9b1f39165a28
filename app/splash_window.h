// The start-up picture: shown for a moment over the main window; the first
// key or mouse press hides it and has no other effect.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace velto {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    SplashWindow(const QPixmap& picture, QWidget* owner);
    ~SplashWindow() override;

    // Shows the picture centred on the owner and hides it after `ms`.
    void show_for(int ms);
    // Hides the picture and lets input through again.
    void finish();

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPixmap picture_;
    bool pressed_ = false; // hidden by a press whose release is still to come
};

} // namespace velto
