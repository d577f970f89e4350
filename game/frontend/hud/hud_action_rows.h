#pragma once
// What the rows of the display's actions table share (hud_actions.cpp): the
// call in hand and the helpers its rows use. Internal to hud/.

#include <cstdint>
#include <string_view>

class KivraBuilding;
class UserInterface;

namespace hud_actions {

// One action as the display received it; `number` is the script's number
// for the building it concerns (its serial id), 0 for none.
struct Action {
    UserInterface& ui;
    std::wstring_view parameter;
    int number;
};

struct ActionRow {
    std::wstring_view name;
    void (*handler)(const Action&);
};

// Tells the tutorial of a game event; true when it moved on.
bool Event(UserInterface& ui, int32_t event);
// The park's building the action's number stands for, or null.
KivraBuilding* Source(const Action& action);
// The parameter as a decimal number; 0 when it is none.
int32_t IntParameter(const Action& action);

// The hint for the goal in hand (hud_hint.cpp).
void ShowHint(UserInterface& ui);

}  // namespace hud_actions
