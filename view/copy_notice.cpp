#include "settings/persisted_state.h"
#include "core/sjis.h"
#include "view/copy_notice.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace velto {

ClippedCopy clip_for_copy(std::string_view selection)
{
    if (sjis_width(selection) <= kCopyLimit)
        return {std::string(selection), false};
    // The longest leading part that fits: kCopyLimit bytes, or one less where
    // the cut would split a double-byte character.
    std::string text(sjis_prefix(selection, kCopyLimit));
    text += kCopyCutMark;
    return {std::move(text), true};
}

CCopyNoticeDlg::CCopyNoticeDlg(SettingsStore& settings, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ぷちコピーについて"));
    auto* message = new QLabel(QStringLiteral("ぷちコピーで一度にコピーできるのは、全角で512文字"
                                              "（半角で1024文字）までです。\n"
                                              "それを超える部分はコピーされません。"),
                               this);
    message->setObjectName(QStringLiteral("copyNoticeMessage"));
    check_ = new QCheckBox(QStringLiteral("今後、このメッセージは表示しない"), this);
    check_->setObjectName(QStringLiteral("copyNoticeCheck"));
    check_->setChecked(!wanted(settings));
    connect(check_, &QCheckBox::toggled, this, [&settings](bool on) {
        settings.write_int(kSectionSettings, kValueClipChk, on ? 1 : 0);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addWidget(check_);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

bool CCopyNoticeDlg::wanted(const SettingsStore& settings)
{
    return read_int_or(settings, kSectionSettings, kValueClipChk, kDefaultClipChk) == 0;
}

} // namespace velto
