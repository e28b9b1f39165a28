// Messages of the engine as modal message boxes.
#pragma once

#include "core/report.h"

#include <cstdio>
#include <functional>
#include <string>

class QWidget;

namespace velto {

class MessageBoxReporter : public Reporter {
public:
    // Boxes are owned by the active window, or by `fallback_parent` when there is none.
    explicit MessageBoxReporter(QWidget* fallback_parent = nullptr) : parent_(fallback_parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }

    // While the reader starts, every message is also written to `echo` before
    // its box opens (a start with nobody at the screen still tells why it
    // stopped), and names the database file the reader tried.
    void begin_startup(std::function<std::string()> database_file, std::FILE* echo = stderr);
    // The reader has started: boxes only from now on.
    void end_startup();

    MessageAnswer show(const std::string& caption, const std::string& text, MessageButtons buttons,
                       MessageIcon icon) override;
    // The detail behind the box's "詳細" button.
    MessageAnswer show_detailed(const std::string& caption, const std::string& text, const std::string& detail,
                                MessageButtons buttons, MessageIcon icon) override;

    // The line that names the database file.
    static std::string database_line(const std::string& file);
    // What standard error receives for a message during start-up.
    static std::string startup_echo(const std::string& caption, const std::string& text, const std::string& file);

private:
    QWidget* parent_;
    std::function<std::string()> database_file_;
    std::FILE* echo_ = nullptr;
};

} // namespace velto
