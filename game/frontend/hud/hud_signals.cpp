// What the display's scripts, the park's name field and the popups it
// watches signal, and the developer words typed while it has the keyboard.

#include <utility>

#include "game/data/progress/kivra_level.h"
#include "game/data/progress/kivra_player_state.h"
#include "game/frontend/hud/user_interface.h"
#include "game/park/parkgrid/kivra_grid.h"

namespace {

constexpr std::wstring_view kParkNamed = L"finished_text_input_";
constexpr int32_t kEventNamePark = 0;
constexpr int32_t kEventCloseFinishedResearch = 39;

// The developer words: each acts once, for the character that completes it.
constexpr std::wstring_view kMoreMoney = L"wimbolam";
constexpr std::wstring_view kMoreHearts = L"wimbolah";
constexpr std::wstring_view kEveryBuilding = L"wimbolab";
constexpr int32_t kMoneyGift = 100000000;
constexpr int32_t kHeartsGift = 1000;

}  // namespace

void UserInterface::AnimationSignal(int widgetId, std::wstring_view signal) {
    if (signal == L"add_customer_spawner") {
        grid_->CreateSpawner();
    } else if (signal == L"remove_customer_spawner") {
        grid_->RemoveSpawner();
    } else if (signal == L"remove_people") {
        grid_->RemoveAllVisitors();
    } else if (signal == L"save_level") {
        if (!SaveGame()) RunAnimationNamed(L"hud_save_failed");
    } else if (signal == L"finish_reviewing_week_action") {
        grid_->OnParkOpen();
        ShowWaitingBoxes();
    } else if (signal == L"finish_sunrise") {
        grid_->StartWeekShared();
    } else if (signal.starts_with(kParkNamed)) {
        OnParkNamed(signal.substr(kParkNamed.size()));
    } else if (signal == L"close_finished_research") {
        tutorial_.OnEvent(kEventCloseFinishedResearch, *grid_);
    } else {
        Menu::AnimationSignal(widgetId, signal);
    }
}

void UserInterface::OnParkNamed(std::wstring_view name) {
    if (KIVRA_LEVEL* level = Level()) level->display_name = std::wstring(name);
    RunAnimationNamed(L"refresh_level_display_name");
    if (!tutorial_.OnEvent(kEventNamePark, *grid_)) RunAnimationNamed(L"close_park_naming");
}

void UserInterface::KeyChar(wchar_t c) {
    Menu::KeyChar(c);
    const std::wstring& typed = TypedText();
    ParkPlayer* player = ParkPlayer::Current();
    if (typed == kMoreMoney) {
        if (player) player->ChangeResource(L"money", kMoneyGift, true, this);
    } else if (typed == kMoreHearts) {
        if (player) player->ChangeResource(L"hearts", kHeartsGift, true, this);
    } else if (typed == kEveryBuilding) {
        allBuildingsAvailable_ = true;
    }
}
