#include "app/message_box_reporter.h"

#include <QApplication>
#include <QMessageBox>

namespace velto {

MessageAnswer MessageBoxReporter::show(const std::string& caption, const std::string& text, MessageButtons buttons,
                                       MessageIcon icon)
{
    QMessageBox box(QApplication::activeWindow() ? QApplication::activeWindow() : parent_);
    // A box without a caption carries the program's name, as message boxes do.
    box.setWindowTitle(caption.empty() ? QStringLiteral("ヴェルト") : QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case MessageIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::None: break;
    }
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

} // namespace velto
