// The help file in a window of the reader's own, so that help works where no
// desktop browser is set up.
//
// The window shows the file's text and nothing else: scripts do not run, the
// page loads nothing from the folder or the network, and it opens no window.
// Links within the file move through it; a click on a web or mail address
// hands that address to the system.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QWebEngineProfile;
class QWebEngineView;

namespace velto {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Files larger than this are not help files.
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    explicit HelpWindow(QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Reads the help file and shows it; false when it cannot be read.
    bool open(const QString& path);
    QWebEngineView* browser() const { return browser_; }

signals:
    // The help text is on screen.
    void loaded();

private:
    QWebEngineProfile* profile_ = nullptr;
    QWebEngineView* browser_ = nullptr;
};

} // namespace velto
