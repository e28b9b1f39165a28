// The list beside the page of the sentences that cite an article
// (citations/cited_by.h): one row a sentence, its law, article and caption
// above an excerpt with the link's words marked. Choosing a row (a click, or
// Enter) asks for the citing page, scrolled to the sentence.
//
// It shows the list it was given until it is given another: showing a
// citing page does not change it, so the reader can go through the rows.
#pragma once

#include "citations/cited_by.h"

#include <QDockWidget>

class QLabel;
class QListWidget;

namespace velto {

class CitedByPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit CitedByPanel(QWidget* parent = nullptr);

    // Shows `list`: its rows, or its message when it has none.
    void show_list(const CitedByList& list);

    QListWidget* rows() const { return rows_; }
    // The line above the rows: what is cited and how often, or why there is nothing.
    QString heading() const;

signals:
    // The reader chose the sentence `sentence` of page `page`.
    void sentenceChosen(const QString& page, const QString& sentence);

private:
    void choose(int row);

    QLabel* heading_ = nullptr;
    QListWidget* rows_ = nullptr;
    std::vector<CitingSentence> sentences_;
};

} // namespace velto
