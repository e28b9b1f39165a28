#include "app/message_box_reporter.h"

#include "core/terminal_text.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

namespace velto {

void MessageBoxReporter::begin_startup(std::function<std::string()> database_file, std::FILE* echo)
{
    database_file_ = std::move(database_file);
    echo_ = echo;
}

void MessageBoxReporter::end_startup()
{
    database_file_ = nullptr;
    echo_ = nullptr;
}

std::string MessageBoxReporter::database_line(const std::string& file) { return "データベース: " + file; }

std::string MessageBoxReporter::startup_echo(const std::string& caption, const std::string& text,
                                             const std::string& file)
{
    std::string out = "velto: ";
    out += caption.empty() ? std::string("ヴェルト") : caption;
    out += '\n';
    out += text;
    if (!text.empty() && text.back() != '\n')
        out += '\n';
    if (!file.empty())
        out += database_line(file) + '\n';
    return out;
}

MessageAnswer MessageBoxReporter::show(const std::string& caption, const std::string& text, MessageButtons buttons,
                                       MessageIcon icon)
{
    return show_detailed(caption, text, {}, buttons, icon);
}

MessageAnswer MessageBoxReporter::show_detailed(const std::string& caption, const std::string& text,
                                                const std::string& detail, MessageButtons buttons, MessageIcon icon)
{
    const std::string file = database_file_ ? database_file_() : std::string();
    if (echo_) {
        const std::string line = startup_echo(caption, detail.empty() ? text : text + "\n\n" + detail, file);
        print_text(echo_, line);
        std::fflush(echo_);
    }
    QMessageBox box(QApplication::activeWindow() ? QApplication::activeWindow() : parent_);
    // A box without a caption carries the program's name, as message boxes do.
    box.setWindowTitle(caption.empty() ? QStringLiteral("ヴェルト") : QString::fromStdString(caption));
    // Messages quote paths, database text and what the user typed: never markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    if (!file.empty() && text.find(file) == std::string::npos) {
        box.setInformativeText(QString::fromStdString(database_line(file)));
        for (QLabel* label : box.findChildren<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
            label->setTextFormat(Qt::PlainText);
    }
    if (!detail.empty())
        box.setDetailedText(QString::fromStdString(detail));
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
