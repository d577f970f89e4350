// Escape in the park, as a player expects it of a game: it puts away what
// was opened last, then the tool in hand, and only then opens the options.

#include <array>
#include <string_view>

#include "game/frontend/hud/user_interface.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "platform/window/virtual_keys.h"
#include "widgets/controls/button_widget.h"

namespace {

// The buttons that put a panel or dialog away, by the display's script ids;
// a dialog's "no" before its "ok", so Escape never confirms what it asks.
constexpr std::array<std::wstring_view, 13> kDismissButtons = {
    L"dialog_no",   L"dialog_ok",      L"build_close",     L"data_close",     L"detail_close",
    L"goals_close", L"research_close", L"marketing_close", L"upgrades_close", L"hint_ok",
    L"research_ok", L"trophy_ok",      L"zone_ok"};

int DismissRank(const ButtonWidget& button) {
    for (size_t i = 0; i < kDismissButtons.size(); ++i)
        if (button.GetIdText() == kDismissButtons[i]) return static_cast<int>(i);
    return -1;
}

// The best dismiss button standing anywhere under `widget`, or null.
ButtonWidget* FindDismiss(const Widget& widget, int& bestRank) {
    ButtonWidget* best = nullptr;
    for (Widget* child : widget.GetChildren()) {
        if (!child->IsVisible()) continue;
        if (auto* button = dynamic_cast<ButtonWidget*>(child); button && !button->IsDisabled()) {
            const int rank = DismissRank(*button);
            if (rank >= 0 && (bestRank < 0 || rank < bestRank)) {
                best = button;
                bestRank = rank;
            }
        }
        if (ButtonWidget* inner = FindDismiss(*child, bestRank)) best = inner;
    }
    return best;
}

}  // namespace

void UserInterface::KeyDown(int key) {
    if (key != static_cast<int>(plat::vk::kEscape)) {
        Menu::KeyDown(key);
        return;
    }
    // The panel drawn on top is the one last opened: its own button puts it
    // away, released as a click on it is.
    const auto& children = GetChildren();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (*it == grid_ || !(*it)->IsVisible()) continue;
        int rank = -1;
        if (ButtonWidget* dismiss = FindDismiss(**it, rank)) {
            if (ButtonListener* listener = dismiss->GetButtonListener()) listener->ButtonRelease(dismiss->GetId());
            return;
        }
    }
    if (grid_->GetEditMode() != KivraGrid::kNone)
        grid_->CancelEdit();
    else
        DoAction(L"show_options_menu_action", L"", 0);
}
