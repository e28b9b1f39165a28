// Identifiers of the left pane's controls and of the internal commands that
// pass between the pane, the page view, the search and the main window.
#pragma once

#include "nav/command_ids.h"

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
    kCmdRemark = cmd::Remark,
    kCmdHiddenPage = cmd::EasterEgg,
    kCmdSearchFinished = cmd::SearchFinished,
    kCmdRecordSearch = cmd::RecordSearch,
    kCmdWaitProgressStart = cmd::WaitProgressStart,
    kCmdWaitProgressStep = cmd::WaitProgressStep,
    kCmdWaitProgressHide = cmd::WaitProgressHide,
    kCmdFocusPage = cmd::FocusPage,
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
