// The dialog "オプション設定": the 24 display values of the document edited on
// a working copy, with the custom colours of the colour chooser.
//
// The dialog never changes the document itself. 適用 hands the working copy to
// the `apply` callback at once and stays open; OK keeps the working copy,
// 取消 (also Escape and the window's close button) puts back the block the
// dialog opened with, undoing an earlier 適用. Whoever opened the dialog hands
// working() to the document when it has closed (open_options_dialog does).
// The custom colours are written as "CustColors" when the dialog closes,
// whatever closes it; "全てデフォルトに戻す" reloads them as stored.
#pragma once

#include "settings/persisted_state.h"
#include "settings/settings.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace velto {

class CVeltoDoc;
class ColourSwatch;
class SettingsStore;

class COptionsDlg : public QDialog {
    Q_OBJECT
public:
    // The sizes the two size lists offer, in list order. The document accepts
    // these and more: a stored size the lists do not show is kept through OK.
    static constexpr std::array<int, 5> kSizes = {8, 9, 10, 11, 12};
    static_assert(kFontSizeRange.contains(kSizes.front()) && kFontSizeRange.contains(kSizes.back()));

    COptionsDlg(const DisplaySettings& current, const DisplaySettings& defaults, SettingsStore& settings,
                std::function<void(const DisplaySettings&)> apply, QWidget* parent = nullptr);

    // The block for the document: the values edited so far; after 取消 the
    // block the dialog opened with.
    const DisplaySettings& working() const { return working_; }
    const CustomColours& custom_colours() const { return custom_; }

    // The entry of a size list that a stored size selects: the first entry,
    // counted from the second and wrapping round to the first, whose text
    // begins with the size written in decimal; -1 when none does (a size of 1
    // selects "10", a size of 14 nothing).
    static int size_entry(int size);

    void accept() override; // OK
    void reject() override; // 取消
    void done(int result) override;

private:
    void build();
    // Puts the working copy into the controls and reloads the custom colours.
    void fill_controls();
    void read_size_lists();
    void apply();
    void restore_defaults();
    void choose_colour(DisplaySettings::Value value);
    void refresh_swatches();

    DisplaySettings working_;
    const DisplaySettings opening_;
    const DisplaySettings defaults_;
    SettingsStore& settings_;
    std::function<void(const DisplaySettings&)> apply_;
    CustomColours custom_ = default_custom_colours();

    QComboBox* size_basic_ = nullptr;
    QComboBox* size_table_ = nullptr;
    std::array<ColourSwatch*, DisplaySettings::kCount> swatches_{};
    QCheckBox* pinpoint_uncoloured_ = nullptr;
    QRadioButton* prefer_defaults_ = nullptr;
    QRadioButton* prefer_user_ = nullptr;
    QCheckBox* revive_last_page_ = nullptr;
};

// Command 32794: edits the document's display values in the dialog. Whatever
// closes it, the document receives the dialog's block and rebuilds its page.
void open_options_dialog(CVeltoDoc& doc, QWidget* parent);

} // namespace velto
