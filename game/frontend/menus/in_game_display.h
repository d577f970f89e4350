#pragma once
// InGameDisplay: what the menus ask of the display a level is played in:
// the widget that takes the keyboard focus back from a text field, and
// leaving the level for the menus. Main thread only.

class Menu;
class Widget;

class InGameDisplay {
public:
    InGameDisplay() = default;
    virtual ~InGameDisplay() = default;
    InGameDisplay(const InGameDisplay&) = delete;
    InGameDisplay& operator=(const InGameDisplay&) = delete;

    virtual Widget* FocusTarget() = 0;
    // Leaves the level for `next`; null: the map of the parks.
    virtual void ExitToMenu(Menu* next) = 0;
};
