// The display's actions table: what its scripts' buttons and the popups
// inside it ask for, first match only; an action no row names is ignored,
// never passed further up.

#include "game/frontend/hud/user_interface.h"

void UserInterface::DoAction(std::wstring_view action, std::wstring_view, int) {
    if (action == L"save_action") {
        SaveGame();
    } else if (action == L"quit_action") {
        ExitToMenu(nullptr);
    } else if (action == L"save_and_quit_action") {
        SaveGame();
        ExitToMenu(nullptr);
    } else if (action == L"complete_level_action") {
        CompleteLevel();
    }
}

void UserInterface::UpdateResearchAndMarketing(const RESEARCH_OPTION&) {}
