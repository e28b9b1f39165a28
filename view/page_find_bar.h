// "このページ内の検索" as a bar under the page, so that it never covers the
// words it paints. Enter (or 検索) paints up to three words in the page
// shown and tells how many occurrences it found; 次を検索 and 前を検索 (F3,
// Shift+F3, or Enter again on the same text) move through the painted
// occurrences in page order, each brought to the middle of the view and
// outlined. Esc or × closes the bar and gives the page the keyboard focus;
// the paint stays until 反転マークのクリア or another page.
//
// The bar belongs to one page view and acts on the page it shows; what
// happens in the page is C2ndView::_mark_words and step_marks.
#pragma once

#include <QFrame>
#include <QString>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velto {

class C2ndView;

class PageFindBar : public QFrame {
    Q_OBJECT
public:
    PageFindBar(C2ndView& view, QWidget* parent);

    // Shows the bar with `text` in its edit, selected, and focuses the edit.
    void open(const QString& text);
    // Closes the bar; the page gets the focus.
    void close_bar();

    // Paints the words of the edit's text; the result line tells the outcome.
    void search();
    // The next (previous) painted occurrence; the result line tells which.
    void step(bool forward);

    // The text last searched with success (at least one occurrence).
    const std::string& last_text() const { return last_text_; }

    QLineEdit* edit() const { return edit_; }
    QPushButton* search_button() const { return search_; }
    QPushButton* next_button() const { return next_; }
    QPushButton* previous_button() const { return previous_; }
    QLabel* message() const { return message_; }

signals:
    // The result line shows the outcome of a search (occurrences, or WordMarks' kTooManyWords, kFailed).
    void searched(int result);
    // The result line shows the occurrence `index` (from 1) of `count`; 0 of 0 when nothing is painted.
    void stepped(int index, int count);
    // A search found `text`: the text the find starts with from now on.
    void textFound(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void show_result(int result, const std::string& text);
    void update_buttons();

    C2ndView& view_;
    std::string last_text_;
    QLineEdit* edit_ = nullptr;
    QPushButton* search_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* message_ = nullptr;
};

} // namespace velto
