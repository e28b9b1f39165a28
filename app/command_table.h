// The program's commands: identifiers, labels, status-bar prompts and tool tips.
#pragma once

#include "nav/command_ids.h"

#include <string_view>

namespace velto {


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
