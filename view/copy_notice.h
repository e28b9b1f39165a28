// ぷちコピー: the selection of the page as plain text of bounded length, and
// the notice that tells the reader of the bound.
//
// The clipboard ends with plain text only (the engine's HTML and other
// formats never reach it): at most kCopyLimit Shift-JIS bytes of the
// selection, cut on a character boundary, followed by " ..." when cut.
#pragma once

#include <QDialog>

#include <cstddef>
#include <string>
#include <string_view>

class QCheckBox;

namespace velto {

class SettingsStore;

inline constexpr std::size_t kCopyLimit = 1024;
inline constexpr std::string_view kCopyCutMark = " ...";

struct ClippedCopy {
    std::string text;
    bool cut = false; // the selection was longer than kCopyLimit
};

// The text to put on the clipboard for a selection.
ClippedCopy clip_for_copy(std::string_view selection);

// "ぷちコピーについて": shown when a copy was cut, until the reader ticks
// "今後、このメッセージは表示しない". The tick is stored at once as ClipChk.
class CCopyNoticeDlg : public QDialog {
    Q_OBJECT
public:
    CCopyNoticeDlg(SettingsStore& settings, QWidget* parent);

    // True while ClipChk does not suppress the notice.
    static bool wanted(const SettingsStore& settings);

    QCheckBox* check_box() const { return check_; }

private:
    QCheckBox* check_ = nullptr;
};

} // namespace velto
