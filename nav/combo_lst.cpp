#include "nav/combo_lst.h"

#include "nav/control_ids.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace velto {

VComboLst::VComboLst(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    setMaxVisibleItems(30);
    // Only changes made by the user are reported; selecting from code is silent.
    connect(this, &QComboBox::activated, this, [this] { emit notify(control_id()); });
}

int VComboLst::control_id() const
{
    return kIdLawSelector;
}

bool VComboLst::_init(CVeltoDoc& doc)
{
    // The displayable laws are read here, in identifier order, and added
    // with _add_law.
    doc_ = &doc;
    _clear();
    return true;
}

void VComboLst::_clear()
{
    law_of_entry_.clear();
    entry_of_law_.clear();
    clear();
}

int VComboLst::_add_law(const std::string& id_hn, const std::string& text)
{
    addItem(QString::fromStdString(text));
    const int index = count() - 1;
    law_of_entry_.resize(static_cast<std::size_t>(count()));
    law_of_entry_[static_cast<std::size_t>(index)] = id_hn;
    entry_of_law_[id_hn] = index;
    return index;
}

std::string VComboLst::_law_id() const
{
    const int index = currentIndex();
    if (index < 0 || index >= static_cast<int>(law_of_entry_.size()))
        return {};
    return law_of_entry_[static_cast<std::size_t>(index)];
}

int VComboLst::_find_law(std::string_view id_hn) const
{
    const auto it = entry_of_law_.find(id_hn);
    return it == entry_of_law_.end() ? -1 : it->second;
}

void VComboLst::_select_law(std::string_view id_hn)
{
    const int index = _find_law(id_hn);
    if (index >= 0)
        setCurrentIndex(index);
}

bool VComboLst::dropped_down() const
{
    return view() && view()->isVisible();
}

void VComboLst::keyPressEvent(QKeyEvent* event)
{
    // Down opens the closed list, then moves in it as usual.
    if (event->key() == Qt::Key_Down && !dropped_down())
        showPopup();
    QComboBox::keyPressEvent(event);
}

void VComboLst::keyReleaseEvent(QKeyEvent* event)
{
    QComboBox::keyReleaseEvent(event);
    // Browsing the closed selector with the keys refills the article list at
    // every release.
    if (!event->isAutoRepeat())
        emit notify(control_id());
}

} // namespace velto
