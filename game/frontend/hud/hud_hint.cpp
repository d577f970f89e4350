// The hint for the goal in hand ("show_hint_action"): a popup over the
// display that tells how far the goal is and, for a building the player
// cannot buy yet, where it comes from: research bought or to buy, a
// trophy, or a trophy and then research. One hint stands at a time. A zone
// goal's hint rings the buildings that could make the zone, and its box
// stands clear of them: the player reads the hint beside what it shows.

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/item_types.h"
#include "game/data/progress/building_availability.h"
#include "game/data/progress/goals.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/objectives.h"
#include "game/frontend/hud/display_places.h"
#include "game/frontend/hud/hud_action_rows.h"
#include "game/frontend/hud/user_interface.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/parkgrid/park_helpers.h"
#include "game/park/tasks/item_filters.h"

namespace {

constexpr const wchar_t* kHintWidget = L"hint_widget";

// A new building still in hand is neither paid for nor built: the goal does
// not count it, and neither does its hint.
int32_t CountItems(const KivraGrid& grid, GridItemFilter& filter) {
    std::vector<GridItem*> found;
    grid.FindItems(found, &filter);
    if (grid.GetEditMode() == KivraGrid::kNewBuilding)
        std::erase(found, static_cast<GridItem*>(grid.GetHeldBuilding()));
    return static_cast<int32_t>(found.size());
}

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

const RESEARCH_OPTION* UnlockingOption(const std::vector<RESEARCH_OPTION>& options, const std::wstring& type) {
    for (const RESEARCH_OPTION& option : options)
        if (option.effect == RESEARCH_OPTION::kUnlockBuilding && option.param == type) return &option;
    return nullptr;
}

// The first challenge, in name order, whose rewards of that kind name `name`.
Challenge* RewardingChallenge(KIVRA_LEVEL& level, const std::wstring& name, bool research) {
    for (const auto& [challengeName, challenge] : level.goals_tracker.Challenges())
        if (Contains(research ? challenge->researchRewards : challenge->buildingRewards, name)) return challenge.get();
    return nullptr;
}

// Where a building the player cannot buy comes from: "source", and the
// trophy to win as "challenge".
void DescribeSource(AnimationWidget& hint, KIVRA_LEVEL& level, const std::wstring& type) {
    const RESEARCH_OPTION* option = UnlockingOption(level.available_research, type);
    const bool inProgress = !option && UnlockingOption(level.bought_research, type) != nullptr;
    Challenge* challenge = RewardingChallenge(level, type, false);
    std::wstring source = L"error";
    if (inProgress) {
        source = L"research_in_progress";
    } else if (option && option->unlocked) {
        source = L"research";
    } else if (challenge) {
        source = L"reward";
    } else if (option && (challenge = RewardingChallenge(level, option->name, true))) {
        source = L"reward_then_research";
    }
    hint.SetVariable(L"source", PropertyValue::FromWString(source));
    if (source == L"reward" || source == L"reward_then_research")
        hint.SetVariable(L"challenge", PropertyValue::FromPropertyInterface(challenge));
}

void DescribeBuildings(AnimationWidget& hint, KivraGrid& grid, KIVRA_LEVEL& level, Objective& goal) {
    const std::wstring type = goal.GetProperty(L"type").ToString();
    const std::wstring category = goal.GetProperty(L"category").ToString();
    if (type.empty()) {
        AcceptItemByCategory byCategory(category);
        AcceptBuilding anyBuilding;
        GridItemFilter& filter = category.empty() ? static_cast<GridItemFilter&>(anyBuilding) : byCategory;
        hint.SetVariable(L"number_already_built", PropertyValue::FromInt(CountItems(grid, filter)));
        return;
    }
    auto* record = dynamic_cast<KIVRA_BUILDING_TYPE*>(FindRecordByName(ItemStats::Current(), type));
    const bool canBuild = record && CanBuildBuildingType(level, *record);
    hint.SetVariable(L"can_build_building_type", PropertyValue::FromBool(canBuild));
    if (canBuild) {
        AcceptItemByType byType(type);
        hint.SetVariable(L"number_already_built", PropertyValue::FromInt(CountItems(grid, byType)));
    } else {
        DescribeSource(hint, level, type);
    }
}

// Away from the screen's edges and above the toolbar.
constexpr float kMargin = 16.0f;

}  // namespace

bool UserInterface::PlaceHintClearOfRings(AnimationWidget& hint) {
    using namespace hud_places;
    auto* box = hint.GetLocalVariable(L"hint_panel").ToWidget<::Widget>();
    if (box == nullptr) return false;
    const FRect shown = MapBetween(
        *box, *this, {0.0f, 0.0f, static_cast<float>(box->GetWidth()), static_cast<float>(box->GetHeight())});
    const float width = shown.w, height = shown.h;
    std::vector<FRect> ringed;
    for (GridItem* item : grid_->Items())
        if (auto* building = dynamic_cast<KivraBuilding*>(item); building != nullptr && building->ZoneHighlighted())
            ringed.push_back(MapBetween(*building, *this,
                                        {GetCelBoxLeft(*building), GetCelBoxTop(*building), GetCelBoxWidth(*building),
                                         GetCelBoxHeight(*building)}));
    const FRect screen = ScreenIn(*this);
    const auto* toolbar = GetLocalVariable(L"toolbar").ToWidget<::Widget>();
    const float bottom = (toolbar ? toolbar->GetY() : screen.y + screen.h) - kMargin - height;
    const float left = screen.x + kMargin, right = screen.x + screen.w - kMargin - width;
    // Its own place first, then along the bottom of the screen, then to the
    // left of its own place; never up on the right, where the goal panel
    // would stand over it.
    const std::array<FRect, 5> places{{{shown.x, shown.y, width, height},
                                       {shown.x, bottom, width, height},
                                       {left, bottom, width, height},
                                       {right, bottom, width, height},
                                       {left, shown.y, width, height}}};
    const FRect best = places[ClearestPlace(places, [&ringed](const FRect& place) {
        float covered = 0.0f;
        for (const FRect& building : ringed) covered += Overlap(place, building);
        return covered;
    })];
    hint.Move(hint.GetX() + best.x - shown.x, hint.GetY() + best.y - shown.y);
    return true;
}

namespace hud_actions {

void ShowHint(UserInterface& ui) {
    const PropertyValue& standing = ui.GetLocalVariable(kHintWidget);
    if (standing.Is(PropertyValue::Tag::Widget) && standing.ToPropertyInterface() != nullptr) return;
    Objective* goal = ui.ShownGoal();
    KIVRA_LEVEL* level = UserInterface::Level();
    if (!goal || !level) return;
    auto* hint = new AnimationWidget(L"show_hint", 0, 0, false);
    hint->SetPriority(UserInterface::kPopupPriority);
    hint->SetVariable(L"objective", PropertyValue::FromPropertyInterface(goal));
    if (dynamic_cast<CombosExist*>(goal)) {
        const std::wstring zone = goal->GetProperty(L"zone_name").ToString();
        if (!zone.empty()) {
            hint->SetVariable(L"learned_needed_combo", PropertyValue::FromBool(level->learned_combos.contains(zone)));
        } else {
            // Any zone will do: the hint tells the zones this park knows.
            ui.CollectCombos();
            hint->SetVariable(L"known_zones", PropertyValue::FromPropertyInterface(&ui.Combos()));
            hint->SetVariable(L"known_zone_count", PropertyValue::FromInt(ui.Combos().Size()));
        }
        ui.ShowZoneRingsWhileOpen(*hint, zone);
    }
    if (dynamic_cast<BuildingsExist*>(goal)) DescribeBuildings(*hint, ui.Grid(), *level, *goal);
    ui.RegisterObject(kHintWidget, hint);
}

}  // namespace hud_actions
