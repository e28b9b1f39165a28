// The law selector of the "リスト" tab: a drop-down list of the laws shown by
// the reader. Each entry stands for one law (ID_HN); the pane refills the
// article list when the user chooses another law.
#pragma once

#include <QComboBox>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

class CVeltoDoc;

class VComboLst : public QComboBox {
    Q_OBJECT

public:
    explicit VComboLst(QWidget* parent = nullptr);

    int control_id() const;

    // Fills the selector with the laws of the document, in identifier order;
    // false after a database error has been reported (the entries read until
    // then stay).
    bool _init(CVeltoDoc& doc);
    // The text of a law's entry: its usual name, indented with two full-width
    // blanks unless the identifier ends in "A".
    static std::string _entry_text(std::string_view id_hn, std::string_view name);

    // Removes every entry.
    void _clear();
    // Appends an entry for a law and returns its index.
    int _add_law(const std::string& id_hn, const std::string& text);

    // ID_HN of the selected entry, empty when none is selected.
    std::string _law_id() const;
    // Entry of a law, -1 when absent.
    int _find_law(std::string_view id_hn) const;
    // Selects the entry of a law; an unknown law leaves the selection.
    void _select_law(std::string_view id_hn);

    bool dropped_down() const;

signals:
    // The user changed the selection, or released a key in the selector.
    void notify(int control_id);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

    CVeltoDoc* doc_ = nullptr;

private:
    std::vector<std::string> law_of_entry_;
    std::map<std::string, int, std::less<>> entry_of_law_;
};

} // namespace velto
