// The program's commands: identifiers, labels, status-bar prompts and tool tips.
#pragma once

#include <string_view>

namespace velto {

namespace cmd {
constexpr int Split = 32771;
constexpr int FindInPage = 32772;
constexpr int Remark = 32773;
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
constexpr int EasterEgg = 32792;
constexpr int PageTitlePane = 32793;
constexpr int Options = 32794;
constexpr int LawHistory = 32805;
constexpr int NoticeHistory = 32806;
constexpr int DesignData = 32807;
constexpr int Topmost = 32808;
constexpr int Cut = 32811; // 遮断: routed to nothing
constexpr int PrintPreview = 32813;
constexpr int Copy = 57634;
constexpr int EditCut = 57635;
constexpr int Paste = 57637;
constexpr int Undo = 57643;
constexpr int Exit = 57665;
} // namespace cmd

struct CommandInfo {
    int id;
    std::string_view label;
    // The string of the same id: the status-bar prompt, "\n", the tool tip. Empty when none.
    std::string_view prompt_and_tip;
};

// Every command with a label; null when the id is unknown.
const CommandInfo* command_info(int id);

// The status-bar prompt (before "\n") and the tool tip (after it).
std::string_view command_prompt(int id);
std::string_view command_tip(int id);

// The program's pages shown by commands of the menu and the toolbar; empty for other ids.
std::string_view command_page(int id);

} // namespace velto
