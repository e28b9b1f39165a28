// The numbers of the program's commands: menus, toolbar, context menu and the
// few commands that pass between the panes and the main window.
#pragma once

namespace velto {

namespace cmd {
constexpr int Split = 32771;
constexpr int FindInPage = 32772;
constexpr int Remark = 32773;          // re-apply the search-word marks of the page
constexpr int Test = 32774;
constexpr int Back = 32775;
constexpr int Forward = 32776;
constexpr int Previous = 32777;
constexpr int Next = 32778;
constexpr int Synchro = 32779;
constexpr int Refer = 32780;
constexpr int Brachet = 32781;
constexpr int Print = 32782;
constexpr int PinPoint = 32783;
constexpr int Version = 32785;
constexpr int ClearMarks = 32786;
constexpr int Help = 32787;
constexpr int SupportSite = 32788;
constexpr int Legend = 32789;
constexpr int Cover = 32791;
constexpr int EasterEgg = 32792;       // the hidden page
constexpr int PageTitlePane = 32793;
constexpr int Options = 32794;
constexpr int SearchFinished = 32796;  // close the search wait window
constexpr int RecordSearch = 32797;    // record the search text in the history
constexpr int WaitProgressStart = 32798; // the search wait window: show its progress bar
constexpr int WaitProgressStep = 32799;  // ... advance it one step
constexpr int WaitProgressHide = 32800;  // ... hide it
constexpr int LawHistory = 32805;
constexpr int NoticeHistory = 32806;
constexpr int DesignData = 32807;
constexpr int Topmost = 32808;
constexpr int FocusPage = 32810;       // give the page window the focus
constexpr int Block = 32811; // 遮断: routed to nothing
constexpr int PrintPreview = 32813;
constexpr int CitedBy = 32820;        // the sentences that cite the article shown
constexpr int FindNext = 32821;       // 次を検索: the next painted occurrence
constexpr int FindPrevious = 32822;   // 前を検索
constexpr int CopyProvision = 32823;  // 条文をコピー: a paragraph or article in full
constexpr int OpenBelow = 32824;      // 下のペインで開く
constexpr int CompareEditions = 32825; // 改正比較: what changed between two editions of a law
constexpr int ArticleHistory = 32826;  // この条の改正: the editions in which the article shown changed
constexpr int ArabicNumbers = 32827;   // 表示 → 条項番号を算用数字で表示
constexpr int TermMarks = 32828;       // 定義語に下線を引く: uses of defined terms underlined, with a preview
constexpr int Copy = 57634;
constexpr int EditCut = 57635;
constexpr int Paste = 57637;
constexpr int Undo = 57643;
constexpr int Exit = 57665;
} // namespace cmd

} // namespace velto
