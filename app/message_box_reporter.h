// Messages of the engine as modal message boxes.
#pragma once

#include "core/report.h"

class QWidget;

namespace velto {

class MessageBoxReporter : public Reporter {
public:
    // Boxes are owned by the active window, or by `fallback_parent` when there is none.
    explicit MessageBoxReporter(QWidget* fallback_parent = nullptr) : parent_(fallback_parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }

    MessageAnswer show(const std::string& caption, const std::string& text, MessageButtons buttons,
                       MessageIcon icon) override;

private:
    QWidget* parent_;
};

} // namespace velto
