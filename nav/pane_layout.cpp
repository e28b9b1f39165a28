#include "nav/pane_layout.h"

#include <algorithm>

namespace velto {

namespace {

// A rectangle from its edges; an empty one when the edges cross.
QRect from_edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

} // namespace

PaneLayout lay_out_pane(const QRect& display, int selector_height, int entry_height, int check_height)
{
    // Edges of R; right and bottom are the first pixel outside it.
    const int left = display.left() + 2;
    const int top = display.top() + 4;
    const int right = std::max(left, display.left() + display.width() - 2);
    const int bottom = std::max(top, display.top() + display.height() - 4);
    const int lists_top = top + kListOffset;

    PaneLayout layout;
    layout.tree = from_edges(left, top, right, bottom);

    layout.law_selector = from_edges(left, top, right, top + selector_height);
    layout.article_list = from_edges(left, lists_top, right, bottom);

    layout.search_entry = from_edges(left, top, right - kSearchEntryShortening, top + entry_height);
    layout.search_button = QRect(right - kButtonWidth, top, kButtonWidth, kButtonHeight);
    layout.search_list = from_edges(left, lists_top, right, bottom - kSearchListBottomGap);
    layout.highlight_box = from_edges(left, bottom - kHighlightBoxBottomGap - check_height, right,
                                      bottom - kHighlightBoxBottomGap);

    layout.bookmark_list = from_edges(left, lists_top, right, bottom);
    layout.add_button = QRect(right - kButtonWidth, top, kButtonWidth, kButtonHeight);
    layout.delete_button = QRect(right - kDeleteButtonOffset, top, kButtonWidth, kButtonHeight);
    return layout;
}

} // namespace velto
