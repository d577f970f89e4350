#pragma once
// ScreenTransition: how the game's menus that ask for a transition open.
// Over the new menu, which it opens at once beneath itself, the "transition"
// script plays with the picture of the frame last shown (the script object
// "screenshot"); the script removes the transition when it is done, even
// when a dialog opened above it meanwhile. The script is not told the menu.
// Main thread only.

#include "widgets/screens/transition.h"

class ScreenTransition : public Transition {
public:
    explicit ScreenTransition(Menu* menu);
};
