// The search entry of the "全文検索" tab: an editable drop-down whose entries
// are the last ten search texts, most recent first.
//
// Keys: Down opens the drop-down and does nothing more (Up and the mouse move
// through it); Ctrl+V and Shift+Insert paste, Ctrl+C and Ctrl+Insert copy,
// Ctrl+X and Shift+Delete cut, in the entry, before any shortcut of the main
// window can take them. Enter, with the drop-down closed, asks for the search
// (searchRequested), as the 実行 button does.
#pragma once

#include <QComboBox>

#include <string>

namespace velto {

class SettingsStore;

class VComboSch : public QComboBox {
    Q_OBJECT

public:
    explicit VComboSch(QWidget* parent = nullptr);

    int control_id() const;

    // The text to search for: the edit field's text, or the entry the user chose.
    const std::string& _current_text() const { return current_; }

    // Puts the stored search history into the drop-down; the edit field keeps its text.
    void _load_history(const SettingsStore& store);
    // Moves the current text to the top of the history and stores the history.
    // An empty text is not recorded.
    void _save_history(SettingsStore& store);

signals:
    // Enter was pressed in the edit field.
    void searchRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::string current_;
};

} // namespace velto
