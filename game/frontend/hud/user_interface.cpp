#include "game/frontend/hud/user_interface.h"

#include <algorithm>
#include <cmath>

#include "foundation/expression/constants_map.h"
#include "foundation/values/saturate.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/player_state.h"
#include "game/data/progress/profile_manager.h"
#include "game/frontend/menus/beat_level_menu.h"
#include "game/frontend/menus/level_select_menu.h"
#include "game/frontend/menus/main_menu.h"
#include "game/park/buildings/improvements.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "widgets/screens/menu_host.h"

namespace {

constexpr std::wstring_view kScript = L"ui";
constexpr int32_t kWeeksPerYear = 48;
constexpr int32_t kWeeksPerMonth = 4;
constexpr int32_t kDaysPerWeek = 7;

PlayerState* CurrentPlayer() { return dynamic_cast<PlayerState*>(BasicPlayerState::Current()); }

}  // namespace

UserInterface::UserInterface() : Menu(kScript) {
    // The display's own scripts signal to it.
    Watch(static_cast<WatchedAnimation*>(this));
    asPark_.emplace(this);
    asGoals_.emplace(this);
    if (KIVRA_LEVEL* level = Level()) level->ever_been_loaded = true;
    grid_ = new KivraGrid();
    SetVariable(L"player_state", PropertyValue::FromPropertyInterface(
                                     dynamic_cast<ExtendedPropertyInterface*>(BasicPlayerState::Current())));
    SetVariable(L"grid", PropertyValue::FromWidget(grid_));
    AddWidget(grid_);
    CollectVisitorTypes();
}

UserInterface::~UserInterface() = default;

UserInterface* UserInterface::Current() { return dynamic_cast<UserInterface*>(ParkDisplay::Current()); }

KIVRA_LEVEL* UserInterface::Level() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

void UserInterface::AddedToManager(WidgetManager* manager) {
    goalTaskPanel_.Reset();
    magazinePanel_.Reset();
    shownGoal_.Reset();
    Menu::AddedToManager(manager);
    grid_->StartItems();
    // As its buildings, set down again, count for its goals.
    if (KIVRA_LEVEL* level = Level()) level->goals_tracker.RecheckTrophies();
    if (tutorial_.IsInactive() || tutorial_.HasReachedStep(L"navigate")) {
        const KIVRA_LEVEL* level = Level();
        ShowNewGoalMagazine(level ? level->chosen_challenge : std::wstring(), true);
    }
    SetVariable(L"market_radio_index", PropertyValue::FromInt(-1));
}

void UserInterface::RemovedFromManager(WidgetManager* manager) {
    tutorial_.Detach();
    Menu::RemovedFromManager(manager);
}

PropertyValue UserInterface::GetProperty(std::wstring_view name) {
    if (name == L"level_days_ptr") return calendarHandles_.For(&days_).Value();
    if (name == L"level_weeks_ptr") return calendarHandles_.For(&weeks_).Value();
    if (name == L"level_months_ptr") return calendarHandles_.For(&months_).Value();
    if (name == L"level_years_ptr") return calendarHandles_.For(&years_).Value();
    return Menu::GetProperty(name);
}

bool UserInterface::SaveGame() {
    grid_->SaveToLevel();
    ProfileManager* profiles = ProfileManager::Current();
    return profiles != nullptr && profiles->Save();
}

void UserInterface::ExitToMenu(Menu* next) {
    RemoveSelf();
    if (PlayerState* player = CurrentPlayer()) player->SetCurrentLevel(L"");
    LoadMainMenuAssets(true);
    ShowMenu(next ? next : new LevelSelectMenu());
}

void UserInterface::CompleteLevel() {
    // As saving and leaving does: a save that failed says so and the park
    // stays, its finish to be asked for again.
    if (!SaveGame()) {
        RunAnimationNamed(L"hud_save_failed");
        return;
    }
    // Built first: the screen reads the level that leaving clears.
    ExitToMenu(new BeatLevelMenu());
}

void UserInterface::CollectVisitorTypes() {
    if (visitorTypes_.Size() != 0) return;
    ItemStats* catalogue = ItemStats::Current();
    if (!catalogue) return;
    for (const auto& [name, type] : catalogue->Types())
        if (auto* visitor = dynamic_cast<KIVRA_PERSON_TYPE*>(type)) visitorTypes_.entries.push_back(visitor);
}

void UserInterface::UpdateCalendar(float weekTimer) {
    const KIVRA_LEVEL* level = Level();
    const auto played = static_cast<uint32_t>(level ? level->weeks_played : 0);
    years_ = static_cast<int32_t>(played / kWeeksPerYear) + 1;
    months_ = static_cast<int32_t>(played % kWeeksPerYear) / kWeeksPerMonth + 1;
    weeks_ = static_cast<int32_t>(played % kWeeksPerYear) % kWeeksPerMonth + 1;
    const int32_t duration = GetConstantInt(L"week_duration");
    // A week of no length has only its first day (and no division by zero).
    if (duration <= 0) {
        days_ = 1;
        return;
    }
    const float d = static_cast<float>(duration);
    // Scripts set the timer: any float, infinities and NaN included.
    const int32_t day = SaturateFloor<int32_t>(((d - weekTimer) * static_cast<float>(kDaysPerWeek)) / d);
    // A timer at 0 (the week over, or not begun) or past the week's length
    // still shows one of the week's seven days.
    days_ = std::clamp(day, 0, kDaysPerWeek - 1) + 1;
}
