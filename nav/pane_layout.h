// Where the controls of the left pane go. Every control is placed relative to
// R, the pane's display area below the tab row shrunk by 2 pixels on the left
// and right and by 4 at the top and bottom.
#pragma once

#include <QRect>

namespace velto {

struct PaneLayout {
    QRect tree;          // 目次
    QRect law_selector;  // リスト
    QRect article_list;
    QRect search_entry;  // 全文検索
    QRect search_button;
    QRect search_list;
    QRect highlight_box;
    QRect bookmark_list; // しおり
    QRect add_button;
    QRect delete_button;
};

inline constexpr int kListOffset = 29;   // lists start this far below R's top
inline constexpr int kButtonWidth = 55;
inline constexpr int kButtonHeight = 24;
inline constexpr int kSearchEntryShortening = 60;
inline constexpr int kDeleteButtonOffset = 120; // its left edge from R's right edge
inline constexpr int kSearchListBottomGap = 58;
inline constexpr int kHighlightBoxBottomGap = 29;

// `display` is the area under the tab row; the heights are those the
// selector, the search entry and the check box want for themselves.
PaneLayout lay_out_pane(const QRect& display, int selector_height, int entry_height, int check_height);

} // namespace velto
