#include "nav/combo_lst.h"

#include "core/html_text.h"
#include "compose/velto_doc.h"
#include "nav/control_ids.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace velto {

namespace {

constexpr ReportOrigin kInitOrigin{"コンボボックスの初期化", "VComboLst::_init()"};
// Entries of laws whose identifier does not end in "A" stand indented under
// the law of the same number.
constexpr std::string_view kIndent = "　　";

} // namespace

std::string VComboLst::_entry_text(std::string_view id_hn, std::string_view name)
{
    std::string text;
    if (id_hn.empty() || id_hn.back() != 'A')
        text = kIndent;
    text += name;
    return text;
}

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
    doc_ = &doc;
    _clear();
    try {
        auto rs = doc.database().execute("SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]");
        for (; !rs->eof(); rs->move_next()) {
            const std::string id_hn = rs->text("ID_HN");
            _add_law(id_hn, _entry_text(id_hn, shown_text(rs->text("法名一般"))));
        }
        rs->close();
    } catch (const ComponentError& error) {
        report(doc.reporter(), kInitOrigin, ReportVariant::Tab, error);
        return false;
    } catch (const std::exception&) {
        report_unexpected(doc.reporter(), kInitOrigin, ReportVariant::Tab);
        return false;
    }
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
