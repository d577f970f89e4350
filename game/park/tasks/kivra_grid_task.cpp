#include "game/park/tasks/kivra_grid_task.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/park/base/filter_subjects.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/grid/grid.h"
#include "game/park/people/kivra_person.h"
#include "game/park/tasks/composite_filters.h"
#include "game/park/tasks/item_filters.h"
#include "game/park/tasks/tile_filters.h"
#include "widgets/script/script_host.h"

using namespace std::string_view_literals;

namespace {

constexpr int kGoOn = hook_result::kHandled;

// The display's script widget, which plays the increase callbacks; null while none runs.
AnimationWidget* Hud() {
    GoalDisplay* display = GoalDisplay::Current();
    return display ? &display->Widget() : nullptr;
}

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

bool KivraGridTask::OnSpawnSpots() { return StepAttributeBoolOr(L"spawn_spot", false); }

std::unique_ptr<AcceptItemByFilters> KivraGridTask::MakeItemFilter(bool all, bool prefer) {
    std::unique_ptr<AcceptItemByFilters> composite = GridTask::MakeItemFilter(all, prefer);
    if (!OnSpawnSpots())
        if (const auto* visitor = StepWidget<KivraPerson>(L"id"))
            composite->AddItemFilter(std::make_unique<AcceptBuildingByVisitorPreferences>(visitor));
    return composite;
}

std::unique_ptr<AcceptTileByFilters> KivraGridTask::MakeTileFilter(bool all, bool prefer) {
    std::unique_ptr<AcceptTileByFilters> composite = GridTask::MakeTileFilter(all, prefer);
    if (OnSpawnSpots())
        composite->AddFilter(std::make_unique<AcceptTileBySpawnSpot>(dynamic_cast<const SpawnSpots*>(GetGrid())));
    return composite;
}

int KivraGridTask::HandleCustomCommand(const AnimationStep& step) {
    const std::wstring_view word = step.name;
    if (word == L"enter-building"sv) return EnterBuilding(step);
    if (word == L"leave-building"sv) return LeaveBuilding(step);
    if (word == L"set"sv) {
        if (!StepHasAttribute(L"id")) return SetPlayerResource();
        if (const int result = SetVisitorProperty()) return result;
    }
    return GridTask::HandleCustomCommand(step);
}

int KivraGridTask::EnterBuilding(const AnimationStep& step) {
    KivraPerson* visitor = StepWidget<KivraPerson>(L"person");
    KivraBuilding* building = StepWidget<KivraBuilding>(L"building");
    if (visitor && building) {
        visitor->EnterBuilding(*building);
        if (ParkPlayer* player = ParkPlayer::Current())
            player->ChangeResource(L"money", building->CostPerUse(), true, Hud());
    }
    return GridTask::HandleCustomCommand(step);
}

int KivraGridTask::LeaveBuilding(const AnimationStep& step) {
    if (KivraPerson* visitor = StepWidget<KivraPerson>(L"person")) {
        const int32_t hearts = visitor->GainHappiness();
        if (ParkPlayer* player = ParkPlayer::Current()) player->ChangeResource(L"hearts", hearts, true, Hud());
        // The visitor shows again in front of the building it left.
        if (Grid* grid = GetGrid()) {
            grid->MarkDepthDirty();
            grid->MarkDirty();
        }
    }
    return GridTask::HandleCustomCommand(step);
}

int KivraGridTask::SetPlayerResource() {
    const PropertyValue property = EvalStepAttribute(L"property");
    const bool money = property.EqualsCString(L"money");
    if (!money && !property.EqualsCString(L"hearts")) return kGoOn;
    ParkPlayer* player = ParkPlayer::Current();
    const KIVRA_LEVEL* level = player ? player->GetCurrentLevel() : nullptr;
    if (!level) return kGoOn;
    const int64_t amount = money ? level->money : level->hearts;
    // Wide enough that a target far from the amount gives the largest change, not a wrapped one.
    const int64_t delta = StepHasAttribute(L"value") ? int64_t{StepAttributeInt(L"value")} - amount
                                                     : int64_t{StepAttributeInt(L"offset")};
    player->ChangeResource(money ? L"money" : L"hearts", ClampToInt32(delta), true, Hud());
    return kGoOn;
}

int KivraGridTask::SetVisitorProperty() {
    KivraPerson* visitor = StepWidget<KivraPerson>(L"id");
    if (!visitor) return hook_result::kNotHandled;
    const PropertyValue property = EvalStepAttribute(L"property");
    const bool energy = property.EqualsCString(L"energy");
    if (!energy && !property.EqualsCString(L"leap_num")) return hook_result::kNotHandled;
    const bool hasValue = StepHasAttribute(L"value");
    const float number = hasValue ? StepAttributeFloat(L"value") : StepAttributeFloat(L"offset");
    if (energy)
        visitor->ChangeEnergy(hasValue ? number - visitor->GetEnergy() : number);
    else
        visitor->SetLeap(hasValue ? number : visitor->GetLeap() + number);
    return kGoOn;
}
