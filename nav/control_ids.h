// Identifiers of the left pane's controls and of the internal commands that
// pass between the pane, the page view, the search and the main window.
#pragma once

namespace velto {

// Controls of the left pane. Each control reports its own id.
enum ControlId : int {
    kIdTabStrip = 1000,
    kIdContentsTree = 1001,
    kIdArticleList = 1002,
    kIdSearchList = 1003,
    kIdBookmarkList = 1004,
    kIdLawSelector = 1005,
    kIdSearchEntry = 1006,
    kIdSearchButton = 1007,
    kIdDeleteBookmark = 1008,
    kIdAddBookmark = 1009,
    kIdHighlightBox = 1022,
};

// Internal commands.
enum CommandId : int {
    kCmdRemark = 32773,          // re-apply the search-word marks of the page
    kCmdHiddenPage = 32792,      // main window: show the hidden page
    kCmdSearchFinished = 32796,  // close the search wait window
    kCmdRecordSearch = 32797,    // record the search text in the history
    kCmdFocusPage = 32810,       // give the page window the focus
};

// Tabs of the left pane, in the order of the tab strip.
enum PaneTab : int {
    kTabContents = 0, // 目次
    kTabList = 1,     // リスト
    kTabSearch = 2,   // 全文検索
    kTabBookmarks = 3 // しおり
};
inline constexpr int kTabCount = 4;

} // namespace velto
