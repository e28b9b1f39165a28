// "このページ内の検索": paints up to three words in the page shown and tells
// how many occurrences it found. The dialog keeps its place relative to the
// main window: its centre as a fraction of the main window's width and height
// ("SchDlgA", "SchDlgB"), stored when it closes and used when it next opens,
// wherever the main window has moved since; it never opens off the screen.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velto {

class C2ndView;
class SettingsStore;

class CPageSearchDlg : public QDialog {
    Q_OBJECT
public:
    // Searches `view`; placed relative to `main` (the main window). The edit
    // starts with `last_text`.
    CPageSearchDlg(C2ndView& view, SettingsStore& settings, QWidget* main, const std::string& last_text);

    // The text last searched with success (at least one occurrence).
    const std::string& last_text() const { return last_text_; }

    // Paints the words of the edit's text; the result line tells the outcome.
    void search();

    QLineEdit* edit() const { return edit_; }
    QPushButton* search_button() const { return search_; }
    QLabel* message() const { return message_; }

    void done(int result) override;

signals:
    // The result line shows the outcome of a search.
    void searched(int result);

private:
    void place();
    void show_result(int result, const std::string& text);

    C2ndView& view_;
    SettingsStore& settings_;
    QWidget* main_;
    std::string last_text_;
    QLineEdit* edit_ = nullptr;
    QPushButton* search_ = nullptr;
    QLabel* message_ = nullptr;
};

} // namespace velto
