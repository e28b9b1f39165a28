#include "nav/combo_sch.h"

#include "settings/persisted_state.h"
#include "nav/control_ids.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>

#include <vector>

namespace velto {

namespace {

enum class EditKey { None, Paste, Copy, Cut };

EditKey edit_key(const QKeyEvent* key)
{
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    if (mods == Qt::ControlModifier) {
        switch (key->key()) {
        case Qt::Key_V: return EditKey::Paste;
        case Qt::Key_C:
        case Qt::Key_Insert: return EditKey::Copy;
        case Qt::Key_X: return EditKey::Cut;
        default: return EditKey::None;
        }
    }
    if (mods == Qt::ShiftModifier) {
        switch (key->key()) {
        case Qt::Key_Insert: return EditKey::Paste;
        case Qt::Key_Delete: return EditKey::Cut;
        default: return EditKey::None;
        }
    }
    return EditKey::None;
}

} // namespace

VComboSch::VComboSch(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The text stays as typed: an entry of the history that differs only in
    // letter case is neither completed into it nor taken for it.
    if (QCompleter* completing = completer())
        completing->setCaseSensitivity(Qt::CaseSensitive);
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

bool VComboSch::event(QEvent* event)
{
    // Claimed here, the editing keys come as key presses instead of
    // triggering the main window's shortcuts (Ctrl+C is its ぷちコピー).
    if (event->type() == QEvent::ShortcutOverride && edit_key(static_cast<QKeyEvent*>(event)) != EditKey::None) {
        event->accept();
        return true;
    }
    return QComboBox::event(event);
}

void VComboSch::keyPressEvent(QKeyEvent* event)
{
    if (QLineEdit* edit = lineEdit()) {
        switch (edit_key(event)) {
        case EditKey::Paste: edit->paste(); event->accept(); return;
        case EditKey::Copy: edit->copy(); event->accept(); return;
        case EditKey::Cut: edit->cut(); event->accept(); return;
        case EditKey::None: break;
        }
    }
    const bool popup_open = view() && view()->isVisible();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !popup_open &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        emit searchRequested();
        return;
    }
    // Down only opens the list; moving through it is for Up and the mouse.
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier) {
        if (!popup_open)
            showPopup();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace velto
