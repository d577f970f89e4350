#pragma once
// The in-game display's pieces under images/hud/: toolbar buttons of three
// cels, panels and list rows, icons, dialogs and popups, the stat badges,
// the reachability marks, the reminder and the tutorial's box and button.

#include <string>

namespace parkart {

bool DrawHud(const std::string& root);

}  // namespace parkart
