#include "nav/combo_sch.h"

#include "core/persisted_state.h"
#include "nav/control_ids.h"

#include <QAbstractItemView>
#include <QKeyEvent>

#include <vector>

namespace velto {

VComboSch::VComboSch(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& text) { current_ = text.toStdString(); });
    connect(this, &QComboBox::textActivated, this, [this](const QString& text) {
        if (!text.isEmpty())
            current_ = text.toStdString();
    });
}

int VComboSch::control_id() const
{
    return kIdSearchEntry;
}

void VComboSch::_load_history(const SettingsStore& store)
{
    const QString text = currentText();
    clear();
    for (const std::string& word : load_search_history(store))
        addItem(QString::fromStdString(word));
    setEditText(text);
}

void VComboSch::_save_history(SettingsStore& store)
{
    if (current_.empty())
        return;
    const std::string word = current_;
    std::vector<std::string> history;
    for (int i = 0; i < count(); ++i)
        history.push_back(itemText(i).toStdString());
    record_search(store, history, word);

    clear();
    for (const std::string& entry : history)
        addItem(QString::fromStdString(entry));
    setCurrentIndex(0);
    setEditText(QString::fromStdString(word));
}

void VComboSch::keyPressEvent(QKeyEvent* event)
{
    // Down only opens the list; moving through it is for Up and the mouse.
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier) {
        if (!(view() && view()->isVisible()))
            showPopup();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace velto
