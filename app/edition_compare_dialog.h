// 改正比較: the window in which a reader compares two editions of a law. The
// law and its two editions (by 施行日) are chosen at the top; the list on the
// left shows every article that differs, with its kind and both numbers, and
// the counts above it; choosing an article shows its 新旧対照 on the right,
// in the page's fonts and colours. Supplementary provisions and appended
// tables that differ are listed last, without a column view.
//
// Only laws with two editions or more are offered. The editions are put in
// order, older first, whichever way they were chosen; the same edition twice
// gives the engine's message in place of a list.
#pragma once

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QTreeWidget;
class QWebEngineView;

namespace velto {

class CVeltoDoc;
class EditionChanges;
struct EditionComparison;

class EditionCompareDialog : public QDialog {
    Q_OBJECT
public:
    EditionCompareDialog(CVeltoDoc& doc, EditionChanges& changes, QWidget* parent = nullptr);

    // Shows the editions `older` and `newer` (版ID) of `law`, and the article
    // `newer_id` (or `older_id` when it was deleted) when one is given.
    // False, and the dialog as it was, when the law has no two editions.
    bool show_comparison(const std::string& law, const std::string& older = {}, const std::string& newer = {},
                         const std::string& older_id = {}, const std::string& newer_id = {});

    QTreeWidget* change_list() const { return list_; }
    QLabel* counts_label() const { return counts_; }
    QWebEngineView* columns() const { return columns_; }
    // The HTML the column view was last given.
    const QString& columns_html() const { return html_; }

private:
    void fill_editions();
    void compare();
    void show_article(int row);

    CVeltoDoc& doc_;
    EditionChanges& changes_;
    QComboBox* law_ = nullptr;
    QComboBox* older_ = nullptr;
    QComboBox* newer_ = nullptr;
    QLabel* counts_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QWebEngineView* columns_ = nullptr;
    QString html_;
    const EditionComparison* shown_ = nullptr;
    bool filling_ = false;
};

} // namespace velto
