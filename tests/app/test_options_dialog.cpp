// The options dialog on a document without a database: what its buttons hand
// the document, what its controls show, and the custom colours it keeps.
#include "app/options_dialog.h"
#include "compose/velto_doc.h"
#include "settings/persisted_state.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>

using namespace velto;
using V = DisplaySettings::Value;

namespace {

class CountingPageView : public PageViewLink {
public:
    int rebuilds = 0;
    std::string current_page_id() const override { return "01A-00010000-00"; }
    void rebuild_current_page() override { ++rebuilds; }
};

constexpr V kColourValues[] = {
    V::FontColorTop,       V::FontColorBasic,     V::FontColorJouSection, V::FontColorKkjDate, V::FontColorLink,
    V::FontColorLinkActive, V::FontColorKeyWord,  V::FontColorTag,        V::FontColorBrachet1A, V::FontColorBrachet1B,
    V::FontColorBrachet2A, V::FontColorBrachet2B, V::FontColorBrachet3A,  V::FontColorBrachet3B, V::FontColorPinPoint,
    V::FontColorTarget1,   V::FontColorTarget2,   V::FontColorTarget3,    V::BackColor,
};

constexpr std::uint32_t kRed = 0x0000FF; // colour references: red in the low byte
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;

QColor qcolour(std::uint32_t ref) { return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF); }

template <class W>
W* control(QWidget& dialog, std::string_view name)
{
    auto* w = dialog.findChild<W*>(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QPushButton* button(QWidget& dialog, const char* text)
{
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8(text))
            return b;
    ADD_FAILURE() << text;
    return nullptr;
}

class OptionsDialog : public ::testing::Test {
protected:
    OptionsDialog() { doc.set_page_view(&view); }
    ~OptionsDialog() override { doc.set_page_view(nullptr); }

    // Opens the dialog as the command does, lets `act` work in it, then
    // presses `closing`, so the dialog closes even when `act` fails.
    void run(const std::function<void(COptionsDlg&)>& act, const char* closing)
    {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<COptionsDlg*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no dialog";
                return;
            }
            act(*dialog);
            acted = true;
            button(*dialog, closing)->click();
        });
        open_options_dialog(doc, nullptr);
        EXPECT_TRUE(acted);
    }

    // The next colour chooser: the user adds `custom` as custom colour
    // `slot`, picks `colour`, and presses OK or cancels.
    static void answer_chooser(std::uint32_t colour, int slot, std::uint32_t custom, bool ok)
    {
        QTimer::singleShot(0, [=] {
            auto* chooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            if (!chooser) {
                ADD_FAILURE() << "no colour chooser";
                return;
            }
            QColorDialog::setCustomColor(slot, qcolour(custom));
            chooser->setCurrentColor(qcolour(colour));
            ok ? chooser->accept() : chooser->reject();
        });
    }

    MemorySettingsStore settings;
    CapturingReporter reporter;
    CVeltoDoc doc{settings, reporter};
    CountingPageView view;
};

} // namespace

TEST_F(OptionsDialog, ApplyThenCancelRestoresTheOpeningValuesAndRebuilds)
{
    const DisplaySettings before = doc.display();
    run(
        [&](COptionsDlg& d) {
            control<QComboBox>(d, "FontSizeBasic")->setCurrentIndex(3);
            control<QRadioButton>(d, "PinPointPriorityUser")->click();
            button(d, "適用")->click();
            EXPECT_EQ(doc.display()[V::FontSizeBasic], 11);
            EXPECT_EQ(doc.display()[V::PinPointPriority], 0);
            EXPECT_EQ(view.rebuilds, 1);
            EXPECT_TRUE(d.isVisible());
        },
        "取消");
    EXPECT_EQ(doc.display(), before);
    EXPECT_EQ(view.rebuilds, 2);

    // OK hands over what was edited.
    run([&](COptionsDlg& d) { control<QCheckBox>(d, "ReviveLastPage")->click(); }, "OK");
    EXPECT_EQ(doc.display()[V::ReviveLastPage], 0);
    EXPECT_EQ(view.rebuilds, 3);
}

TEST_F(OptionsDialog, SizeListsSelectTheFirstEntryBeginningWithTheSize)
{
    const struct {
        int size;
        const char* shown; // "" when no entry is selected
        int after_ok;
    } cases[] = {
        {8, "8", 8}, {9, "9", 9}, {10, "10", 10}, {12, "12", 12}, {1, "10", 10}, {14, "", 14}, {0, "", 0}, {-1, "", -1},
    };
    for (const auto& c : cases) {
        DisplaySettings block = default_display_settings();
        block[V::FontSizeBasic] = c.size;
        block[V::FontSizeTable] = c.size;
        COptionsDlg d(block, default_display_settings(), settings, {});
        EXPECT_EQ(control<QComboBox>(d, "FontSizeBasic")->currentText(), QString::fromUtf8(c.shown)) << c.size;
        EXPECT_EQ(control<QComboBox>(d, "FontSizeTable")->currentText(), QString::fromUtf8(c.shown)) << c.size;
        d.accept();
        EXPECT_EQ(d.working()[V::FontSizeBasic], c.after_ok) << c.size;
        EXPECT_EQ(d.working()[V::FontSizeTable], c.after_ok) << c.size;
    }
}

TEST_F(OptionsDialog, DefaultsThenCancelLeaveTheDocumentUnchanged)
{
    DisplaySettings changed = default_display_settings();
    changed[V::FontSizeTable] = 11;
    changed[V::BackColor] = 0x102030;
    changed[V::FontColorPioPointOff] = 1;
    changed[V::PinPointPriority] = 0;
    changed[V::ReviveLastPage] = 0;
    doc.set_display(changed);
    run(
        [&](COptionsDlg& d) {
            button(d, "全てデフォルトに戻す")->click();
            EXPECT_EQ(d.working(), default_display_settings());
            EXPECT_EQ(control<QComboBox>(d, "FontSizeTable")->currentText(), QStringLiteral("9"));
            EXPECT_FALSE(control<QCheckBox>(d, "FontColorPioPointOff")->isChecked());
            EXPECT_TRUE(control<QAbstractButton>(d, "FontColorPinPoint")->isEnabled());
            EXPECT_TRUE(control<QRadioButton>(d, "PinPointPriorityDefault")->isChecked());
            EXPECT_TRUE(control<QCheckBox>(d, "ReviveLastPage")->isChecked());
        },
        "取消");
    EXPECT_EQ(doc.display(), changed);
}

TEST_F(OptionsDialog, CustomColoursSurviveCancelButDefaultsReloadThem)
{
    CustomColours stored;
    stored.fill(0x112233);
    write_custom_colours(settings, stored);
    run(
        [&](COptionsDlg& d) {
            EXPECT_EQ(d.custom_colours(), stored);
            answer_chooser(kBlue, 0, kRed, true);
            control<QAbstractButton>(d, "FontColorTop")->click();
            EXPECT_EQ(d.working()[V::FontColorTop], static_cast<std::int32_t>(kBlue));
            EXPECT_EQ(d.custom_colours()[0], kRed);

            button(d, "全てデフォルトに戻す")->click();
            EXPECT_EQ(d.custom_colours(), stored);
            EXPECT_EQ(d.working()[V::FontColorTop], kDisplayDefaults[V::FontColorTop]);

            // A custom colour added in a chooser that is then cancelled is kept.
            answer_chooser(kBlue, 1, kGreen, false);
            control<QAbstractButton>(d, "FontColorLink")->click();
            EXPECT_EQ(d.working()[V::FontColorLink], kDisplayDefaults[V::FontColorLink]);
        },
        "取消");
    CustomColours expected = stored;
    expected[1] = kGreen;
    EXPECT_EQ(read_custom_colours(settings), expected);
    EXPECT_EQ(doc.display(), default_display_settings());
}

TEST_F(OptionsDialog, SwatchesShowTheirColoursAndThePinpointSwatchGreysAtOnce)
{
    DisplaySettings block = default_display_settings();
    for (std::size_t i = 0; i < std::size(kColourValues); ++i)
        block[kColourValues[i]] = static_cast<std::int32_t>(0x030507 * (i + 1));
    COptionsDlg d(block, default_display_settings(), settings, {});
    d.show();
    QApplication::processEvents();
    const auto centre = [](QWidget* w) {
        const QImage image = w->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    };
    for (V value : kColourValues) {
        auto* swatch = control<QAbstractButton>(d, kDisplayValueNames[value]);
        ASSERT_NE(swatch, nullptr);
        EXPECT_EQ(centre(swatch), qcolour(static_cast<std::uint32_t>(block[value]))) << kDisplayValueNames[value];
    }
    // Every text is shown whole.
    for (QWidget* w : d.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        if ((label && !label->wordWrap()) || qobject_cast<QAbstractButton*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        }
    }

    auto* pinpoint = control<QAbstractButton>(d, "FontColorPinPoint");
    control<QCheckBox>(d, "FontColorPioPointOff")->click();
    EXPECT_FALSE(pinpoint->isEnabled());
    EXPECT_NE(centre(pinpoint), qcolour(static_cast<std::uint32_t>(block[V::FontColorPinPoint])));
    EXPECT_EQ(d.working()[V::FontColorPioPointOff], 1);
    control<QCheckBox>(d, "FontColorPioPointOff")->click();
    EXPECT_TRUE(pinpoint->isEnabled());
    EXPECT_EQ(d.working()[V::FontColorPioPointOff], 0);
}
