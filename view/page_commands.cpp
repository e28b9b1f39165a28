// The commands of the view (history and list moves, Synchro, Refer, Brachet,
// PinPoint, copy, find, print) and the rebuild of the page shown after a
// change of options.
#include "view/page_view.h"
#include "view/page_bridge.h"
#include "view/view_page.h"

#include <QPointer>

#include <algorithm>

namespace velto {

bool C2ndView::command_enabled(int id) const
{
    switch (id) {
    case kBack: return history().can_go_back(current_id_);
    case kForward: return history().can_go_forward(current_id_);
    case kPrevious: return doc_._can_go_prev(current_id_);
    case kNext: return doc_._can_go_next(current_id_);
    case kSynchro: {
        const int tab = pane_ ? pane_->current_tab() : 0;
        return tab != 2 && tab != 3;
    }
    case kRefer:
    case kBrachet:
    case kPinPoint:
    case kArabicNumbers:
    case kTermMarks:
    case kFindInPage: return true;
    case kClearMarks: return !find_string().empty();
    case kCopy: return page_->hasSelection();
    case kPrint:
    case kPrintPreview: return !current_id_.empty() && !printing_;
    case kFindNext:
    case kFindPrevious:
    case kOpenBelow: return !current_id_.empty();
    case kCopyProvision: {
        IdKind kind;
        return CVeltoDoc::_id_kind(current_id_, kind) && kind != IdKind::Special;
    }
    default: return false;
    }
}

bool C2ndView::command_checked(int id) const
{
    const ViewToggles& t = doc_.toggles();
    switch (id) {
    case kSynchro: return command_enabled(kSynchro) && t.Synchro != 0;
    case kRefer: return t.Refer != 0;
    case kBrachet: return t.Brachet != 0;
    case kPinPoint: return t.PinPoint != 0;
    case kArabicNumbers: return t.ArabicNumbers != 0;
    case kTermMarks: return t.TermMarks != 0;
    default: return false;
    }
}

void C2ndView::run_command(int id)
{
    switch (id) {
    case kBack:
    case kForward:
    case kPrevious:
    case kNext:
        history_command(id);
        break;
    case kSynchro: {
        int& synchro = doc_.toggles().Synchro;
        synchro = synchro ? 0 : 1;
        if (synchro && pane_ && current_id_.size() == kPageIdLength && synchronisation_active())
            pane_->_sync(current_id_);
        break;
    }
    case kRefer:
    case kBrachet:
    case kPinPoint:
    case kArabicNumbers:
    case kTermMarks:
        toggle_and_rebuild(id);
        break;
    case kCopy:
        copy_selection();
        break;
    case kFindInPage:
        find_in_page();
        break;
    case kFindNext:
    case kFindPrevious:
        find_step(id == kFindNext);
        break;
    case kCopyProvision:
        copy_provision({}); // the whole article
        break;
    case kOpenBelow:
        emit openBelowRequested(QString::fromStdString(current_id_), {});
        break;
    case kClearMarks:
        _mark_words(find_string(), true);
        break;
    case kPrint:
    case kPrintPreview:
        _print_page(id == kPrintPreview);
        break;
    default:
        return;
    }
    emit commandStateChanged();
}

void C2ndView::toggle_and_rebuild(int id)
{
    ViewToggles& t = doc_.toggles();
    int& value = id == kRefer ? t.Refer : id == kBrachet ? t.Brachet : id == kArabicNumbers ? t.ArabicNumbers
                 : id == kTermMarks ? t.TermMarks : t.PinPoint;
    value = value ? 0 : 1;
    if (id != kArabicNumbers || current_id_.empty() || loading_) {
        rebuild_after_toggle(id);
        return;
    }
    // Digits are narrower than kanji: the lines above may become fewer, so the
    // sentence at the top of the window is kept there, not the offset.
    QPointer<C2ndView> self(this);
    const std::string page = current_id_;
    bridge_->run(QStringLiteral("(function () { var p = window.veltoPage;"
                                " var s = p.anchorAt(window.innerWidth / 2, 2).sentence; if (!s) return null;"
                                " return { name: s, delta: p.offsetOf(s).top - window.scrollY }; })()"),
                 [self, page](const QVariant& answer) {
                     if (!self || self->current_id_ != page)
                         return;
                     const QVariantMap top = answer.toMap();
                     self->kept_sentence_ = top.value(QStringLiteral("name")).toString().toStdString();
                     self->kept_delta_ = top.value(QStringLiteral("delta")).toInt();
                     self->rebuild_after_toggle(kArabicNumbers);
                 });
}

void C2ndView::rebuild_after_toggle(int id)
{
    // Bracket and link colours do not move the text: the reader stays where
    // he was; with other digits the sentence at the top stays there.
    rebuild(id != kRefer && kept_sentence_.empty());
}

void C2ndView::place_kept_sentence()
{
    const std::string name = std::exchange(kept_sentence_, {});
    if (name.empty())
        return;
    _with_sentence_box(name, [this](const QVariantMap& box) {
        scroll_exactly(0, std::max(0, box.value(QStringLiteral("top")).toInt() - kept_delta_));
    });
}

void C2ndView::rebuild_current_page()
{
    rebuild(false);
    emit commandStateChanged();
}

void C2ndView::reload_page()
{
    rebuild(true);
    emit commandStateChanged();
}

void C2ndView::rebuild(bool keep_scroll)
{
    if (keep_scroll)
        remember_scroll();
    const std::string id = current_id_;
    if (id.empty())
        return;
    set_forced_rebuild();
    clear_page_cache();
    // A large article shown in full stays in full.
    rebuild_full_ = shown_in_full_;
    _show(id);
    rebuild_full_ = false;
    _focus_page();
}

} // namespace velto
