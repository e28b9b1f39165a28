#include "app/options_dialog.h"

#include "compose/velto_doc.h"
#include "settings/settings_store.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

namespace velto {

namespace {

using V = DisplaySettings::Value;

constexpr int kSwatchHeight = 18;
constexpr int kSwatchWidth = 44;
constexpr int kNarrowSwatchWidth = 14;

QColor to_qcolor(std::uint32_t colour)
{
    return QColor(colour & 0xFFu, (colour >> 8) & 0xFFu, (colour >> 16) & 0xFFu);
}

std::uint32_t to_colour(const QColor& c)
{
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

// The colour group, in two columns: a label and one swatch, or a bracket
// level's narrow swatch (the brackets) and wide swatch (the whole phrase).
struct ColourRow {
    const char* label;
    V value;
    int second = -1; // the wide swatch of a bracket level
};
constexpr ColourRow kColourRows[2][8] = {
    {
        {"トップ見出し", V::FontColorTop},
        {"セクション名", V::FontColorJouSection},
        {"告示の公布年月日", V::FontColorKkjDate},
        {"本文及びタイトル", V::FontColorBasic},
        {"背景", V::BackColor},
        {"第1括弧", V::FontColorBrachet1A, V::FontColorBrachet1B},
        {"第2括弧", V::FontColorBrachet2A, V::FontColorBrachet2B},
        {"第3括弧", V::FontColorBrachet3A, V::FontColorBrachet3B},
    },
    {
        {"タグ（項、号、イ等）", V::FontColorTag},
        {"リンク文字", V::FontColorLink},
        {"リンク文字（アクティブ時）", V::FontColorLinkActive},
        {"キーワード", V::FontColorKeyWord},
        {"ピンポイントマーク", V::FontColorPinPoint},
        {"第1検索単語", V::FontColorTarget1},
        {"第2検索単語", V::FontColorTarget2},
        {"第3検索単語", V::FontColorTarget3},
    },
};

constexpr const char* kTableNote = "表式の文字サイズは10ptでデザインしました。そのため、表式の文字サイズを11pt以上にすると"
                                   "文字がうまくおさまらないことがあります。";

// Controls are named after the value they edit.
QString object_name(V value)
{
    const std::string_view name = kDisplayValueNames[value];
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

// A small field painted in its colour that opens the colour chooser when
// clicked. Disabled, it is painted like the dialog, without a colour.
class ColourSwatch : public QAbstractButton {
public:
    ColourSwatch(int width, QWidget* parent) : QAbstractButton(parent)
    {
        setFixedSize(width, kSwatchHeight);
        setCursor(Qt::PointingHandCursor);
    }

    void set_colour(const QColor& colour)
    {
        if (colour_ != colour) {
            colour_ = colour;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect outer = rect();
        const QPalette& pal = palette();
        p.fillRect(outer, isEnabled() ? colour_ : pal.color(QPalette::Disabled, QPalette::Window));
        // A sunken edge, so that a swatch as light as the dialog still shows its place.
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(outer.topLeft(), outer.topRight());
        p.drawLine(outer.topLeft(), outer.bottomLeft());
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(outer.bottomLeft(), outer.bottomRight());
        p.drawLine(outer.topRight(), outer.bottomRight());
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = outer.adjusted(2, 2, -2, -2);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }

private:
    QColor colour_;
};

COptionsDlg::COptionsDlg(const DisplaySettings& current, const DisplaySettings& defaults, SettingsStore& settings,
                         std::function<void(const DisplaySettings&)> apply, QWidget* parent)
    : QDialog(parent), working_(current), opening_(current), defaults_(defaults), settings_(settings),
      apply_(std::move(apply))
{
    setWindowTitle(QStringLiteral("オプション設定"));
    build();
    fill_controls();
}

int COptionsDlg::size_entry(int size)
{
    const std::string prefix = std::to_string(size);
    const int count = static_cast<int>(kSizes.size());
    for (int step = 1; step <= count; ++step) {
        const int entry = step % count;
        if (std::to_string(kSizes[entry]).starts_with(prefix))
            return entry;
    }
    return -1;
}

void COptionsDlg::build()
{
    // Font sizes, with the note on the table size.
    auto* sizes = new QGroupBox(QStringLiteral("文字サイズ"), this);
    const auto size_list = [sizes](V value) {
        auto* list = new QComboBox(sizes);
        list->setObjectName(object_name(value));
        for (int size : kSizes)
            list->addItem(QString::number(size));
        return list;
    };
    size_basic_ = size_list(V::FontSizeBasic);
    size_table_ = size_list(V::FontSizeTable);
    auto* size_rows = new QHBoxLayout;
    size_rows->addWidget(new QLabel(QStringLiteral("本文及びタイトル"), sizes));
    size_rows->addWidget(size_basic_);
    size_rows->addSpacing(16);
    size_rows->addWidget(new QLabel(QStringLiteral("表式"), sizes));
    size_rows->addWidget(size_table_);
    size_rows->addStretch();
    auto* note = new QLabel(QString::fromUtf8(kTableNote), sizes);
    note->setWordWrap(true);
    auto* size_layout = new QVBoxLayout(sizes);
    size_layout->addLayout(size_rows);
    size_layout->addWidget(note);

    // Pinpoint marks: colour switch and which table wins.
    auto* pinpoint = new QGroupBox(QStringLiteral("ピンポイントジャンプ"), this);
    pinpoint_uncoloured_ = new QCheckBox(QStringLiteral("ピンポイントマークに色をつけない"), pinpoint);
    pinpoint_uncoloured_->setObjectName(object_name(V::FontColorPioPointOff));
    prefer_defaults_ = new QRadioButton(QStringLiteral("デフォルト設定を優先する"), pinpoint);
    prefer_defaults_->setObjectName(QStringLiteral("PinPointPriorityDefault"));
    prefer_user_ = new QRadioButton(QStringLiteral("ユーザ設定を優先する"), pinpoint);
    prefer_user_->setObjectName(QStringLiteral("PinPointPriorityUser"));
    auto* pinpoint_layout = new QVBoxLayout(pinpoint);
    pinpoint_layout->addWidget(pinpoint_uncoloured_);
    pinpoint_layout->addSpacing(6);
    pinpoint_layout->addWidget(new QLabel(QStringLiteral("ピンポイントジャンプの優先順位"), pinpoint));
    for (QRadioButton* radio : {prefer_defaults_, prefer_user_}) {
        auto* indented = new QHBoxLayout;
        indented->addSpacing(12);
        indented->addWidget(radio);
        pinpoint_layout->addLayout(indented);
    }

    auto* startup = new QGroupBox(QStringLiteral("起動時の設定"), this);
    revive_last_page_ = new QCheckBox(QStringLiteral("最後に開いたページを起動時に表示する"), startup);
    revive_last_page_->setObjectName(object_name(V::ReviveLastPage));
    (new QVBoxLayout(startup))->addWidget(revive_last_page_);

    // Colours.
    auto* colours = new QGroupBox(QStringLiteral("カラー指定"), this);
    auto* grid = new QGridLayout(colours);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(7);
    grid->setColumnMinimumWidth(2, 20);
    const auto make_swatch = [this, colours](V value, int width) {
        auto* swatch = new ColourSwatch(width, colours);
        swatch->setObjectName(object_name(value));
        connect(swatch, &QAbstractButton::clicked, this, [this, value] { choose_colour(value); });
        swatches_[value] = swatch;
        return swatch;
    };
    for (int column = 0; column < 2; ++column) {
        for (int row = 0; row < 8; ++row) {
            const ColourRow& r = kColourRows[column][row];
            auto* label = new QLabel(QString::fromUtf8(r.label), colours);
            auto* cell = new QHBoxLayout;
            cell->setSpacing(4);
            if (r.second < 0) {
                ColourSwatch* swatch = make_swatch(r.value, kSwatchWidth);
                swatch->setAccessibleName(label->text());
                cell->addWidget(swatch);
            } else {
                make_swatch(r.value, kNarrowSwatchWidth)->setAccessibleName(label->text());
                make_swatch(static_cast<V>(r.second), kSwatchWidth - kNarrowSwatchWidth - cell->spacing())
                    ->setAccessibleName(label->text());
                cell->addWidget(swatches_[r.value]);
                cell->addWidget(swatches_[r.second]);
            }
            cell->addStretch();
            grid->addWidget(label, row, column * 3);
            grid->addLayout(cell, row, column * 3 + 1);
        }
    }

    auto* defaults = new QPushButton(QStringLiteral("全てデフォルトに戻す"), this);
    defaults->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* apply = new QPushButton(QStringLiteral("適用"), this);
    apply->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(sizes);
    left->addWidget(pinpoint);
    left->addWidget(startup);
    left->addStretch();
    auto* groups = new QHBoxLayout;
    groups->addLayout(left, 1);
    groups->addWidget(colours);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(defaults);
    buttons->addStretch();
    for (QPushButton* b : {ok, apply, cancel}) {
        b->setMinimumWidth(80);
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    // The note wraps to the width of the left column, never widening the dialog.
    sizes->setMinimumWidth(sizes->sizeHint().width());
    note->setMinimumWidth(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(pinpoint_uncoloured_, &QCheckBox::toggled, this, [this](bool on) {
        working_[V::FontColorPioPointOff] = on ? 1 : 0;
        swatches_[V::FontColorPinPoint]->setEnabled(!on);
    });
    connect(prefer_defaults_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            working_[V::PinPointPriority] = 1;
    });
    connect(prefer_user_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            working_[V::PinPointPriority] = 0;
    });
    connect(revive_last_page_, &QCheckBox::toggled, this,
            [this](bool on) { working_[V::ReviveLastPage] = on ? 1 : 0; });
    connect(defaults, &QPushButton::clicked, this, &COptionsDlg::restore_defaults);
    connect(ok, &QPushButton::clicked, this, &COptionsDlg::accept);
    connect(apply, &QPushButton::clicked, this, &COptionsDlg::apply);
    connect(cancel, &QPushButton::clicked, this, &COptionsDlg::reject);
}

void COptionsDlg::fill_controls()
{
    // Filling shows the values; it does not change them, even one the controls cannot show.
    const QSignalBlocker b1(pinpoint_uncoloured_), b2(prefer_defaults_), b3(prefer_user_), b4(revive_last_page_);
    size_basic_->setCurrentIndex(size_entry(working_[V::FontSizeBasic]));
    size_table_->setCurrentIndex(size_entry(working_[V::FontSizeTable]));
    custom_ = read_custom_colours(settings_);
    const bool uncoloured = working_[V::FontColorPioPointOff] != 0;
    pinpoint_uncoloured_->setChecked(uncoloured);
    swatches_[V::FontColorPinPoint]->setEnabled(!uncoloured);
    const bool prefer_defaults = working_[V::PinPointPriority] == 1;
    prefer_defaults_->setChecked(prefer_defaults);
    prefer_user_->setChecked(!prefer_defaults);
    revive_last_page_->setChecked(working_[V::ReviveLastPage] != 0);
    refresh_swatches();
}

void COptionsDlg::refresh_swatches()
{
    for (std::size_t i = 0; i < swatches_.size(); ++i)
        if (swatches_[i])
            swatches_[i]->set_colour(to_qcolor(static_cast<std::uint32_t>(working_.values[i])));
}

void COptionsDlg::read_size_lists()
{
    for (auto [list, value] : {std::pair{size_basic_, V::FontSizeBasic}, std::pair{size_table_, V::FontSizeTable}}) {
        if (list->currentIndex() < 0)
            continue;
        const int size = list->currentText().toInt();
        if (size > 0)
            working_[value] = size;
    }
}

void COptionsDlg::choose_colour(DisplaySettings::Value value)
{
    QColorDialog chooser(to_qcolor(static_cast<std::uint32_t>(working_[value])), this);
    chooser.setOption(QColorDialog::DontUseNativeDialog);
    chooser.setWindowTitle(QStringLiteral("色の設定"));
    // Qt keeps one list of custom colours for all its programs of the user and
    // stores it itself: it lends the list to the chooser and gets it back.
    const int count = static_cast<int>(custom_.size());
    std::array<QColor, kCustomColourCount> lent;
    for (int i = 0; i < count; ++i) {
        lent[i] = QColorDialog::customColor(i);
        QColorDialog::setCustomColor(i, to_qcolor(custom_[i]));
    }
    const bool chosen = chooser.exec() == QDialog::Accepted;
    // Colours added in the chooser are kept even when it is cancelled.
    for (int i = 0; i < count; ++i) {
        custom_[i] = to_colour(QColorDialog::customColor(i));
        QColorDialog::setCustomColor(i, lent[i]);
    }
    if (chosen && chooser.selectedColor().isValid()) {
        working_[value] = static_cast<std::int32_t>(to_colour(chooser.selectedColor()));
        refresh_swatches();
    }
}

void COptionsDlg::restore_defaults()
{
    working_ = defaults_;
    fill_controls();
}

void COptionsDlg::apply()
{
    read_size_lists();
    if (apply_)
        apply_(working_);
}

void COptionsDlg::accept()
{
    read_size_lists();
    QDialog::accept();
}

void COptionsDlg::reject()
{
    working_ = opening_;
    QDialog::reject();
}

void COptionsDlg::done(int result)
{
    write_custom_colours(settings_, custom_);
    QDialog::done(result);
}

void open_options_dialog(CVeltoDoc& doc, QWidget* parent)
{
    QPointer<COptionsDlg> dialog = new COptionsDlg(
        doc.display(), doc.display_defaults(), doc.settings(),
        [&doc](const DisplaySettings& block) { doc.set_display(block); }, parent);
    dialog->exec();
    if (!dialog)
        return; // went away with its parent
    doc.set_display(dialog->working());
    delete dialog;
}

} // namespace velto
