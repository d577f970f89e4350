// The rebuilds of "get-stats": each list starts empty and is filled from the
// catalogues and the current level, in the order its scripts show it.

#include <tuple>
#include <vector>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "game/data/catalogues/game_stats.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/building_availability.h"
#include "game/data/progress/goals.h"
#include "game/data/progress/kivra_level.h"
#include "game/frontend/hud/user_interface.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/parkgrid/kivra_grid.h"

namespace {

// The step's list attribute as texts; empty when the step has none.
std::vector<std::wstring> TextList(AnimationWidget& widget, std::wstring_view attribute) {
    std::vector<std::wstring> texts;
    if (!widget.StepHasAttribute(attribute)) return texts;
    for (const PropertyValue& value : widget.ResolvePropertyPtr(attribute, false)) texts.push_back(value.ToString());
    return texts;
}

bool Admits(const std::vector<std::wstring>& filter, const std::wstring& text) {
    if (filter.empty()) return true;
    for (const std::wstring& entry : filter)
        if (entry == text) return true;
    return false;
}

}  // namespace

KivraBuilding* UserInterface::FindBuilding(uint32_t serialId) const {
    if (serialId == 0) return nullptr;
    for (GridItem* item : grid_->Items())
        if (item->LiveId() == serialId) return dynamic_cast<KivraBuilding*>(item);
    return nullptr;
}

void UserInterface::CollectBuildingTypes() {
    buildingTypes_.Clear();
    ItemStats* catalogue = ItemStats::Current();
    KIVRA_LEVEL* level = Level();
    if (!catalogue) return;
    const std::vector<std::wstring> types = TextList(*this, L"type");
    const std::vector<std::wstring> categories = TextList(*this, L"category");
    const bool everyType = allBuildingsAvailable_ || GetConstant(L"all_buildings_available_to_build").ToBool();
    for (const auto& [name, record] : catalogue->Types()) {
        auto* type = dynamic_cast<KIVRA_BUILDING_TYPE*>(record);
        if (!type) continue;
        if (level && level->disallowed.contains(name)) continue;
        if (!everyType && (!level || !CanBuildBuildingType(*level, *type))) continue;
        if (type->stationary) continue;
        if (!Admits(types, type->type) || !Admits(categories, type->category)) continue;
        buildingTypes_.InsertSorted(type, [](ITEM_TYPE* t) { return static_cast<KIVRA_BUILDING_TYPE*>(t)->buycost; });
    }
}

RESEARCH_OPTION* ListedResearch::Get() const {
    KIVRA_LEVEL* level = UserInterface::Level();
    if (!level) return nullptr;
    for (RESEARCH_OPTION& option : bought ? level->bought_research : level->available_research)
        if (option.Matches(name)) return &option;
    return nullptr;
}

void UserInterface::CollectResearch(bool inProgress) {
    StatsQuery<ListedResearch>& query = inProgress ? researchInProgress_ : researchToBuy_;
    query.Clear();
    KIVRA_LEVEL* level = Level();
    if (!level) return;
    StatsQuery<RESEARCH_OPTION*> sorted;
    if (inProgress) {
        for (RESEARCH_OPTION& option : level->bought_research)
            sorted.InsertSorted(&option, [](RESEARCH_OPTION* o) { return o->ticks; });
    } else {
        for (RESEARCH_OPTION& option : level->available_research)
            if (option.unlocked) sorted.InsertSorted(&option, [](RESEARCH_OPTION* o) { return o->coincost; });
    }
    for (const RESEARCH_OPTION* option : sorted.entries) query.entries.push_back({option->name, inProgress});
}

void UserInterface::CollectCombos() {
    combos_.Clear();
    KIVRA_LEVEL* level = Level();
    GameStats* game = GameStats::Current();
    if (!level || !game) return;
    for (const std::wstring& name : level->learned_combos)
        if (KivraComboStats* combo = game->FindCombo(name))
            combos_.InsertSorted(combo, [](KivraComboStats* c) { return LocalizeLookup(c->name); });
}

void UserInterface::CollectChallenges() {
    challenges_.Clear();
    KIVRA_LEVEL* level = Level();
    if (!level) return;
    const std::wstring completion = StepAttributeString(L"completion");
    const bool completed = completion == L"completed" || completion == L"both";
    const bool incomplete = completion == L"incomplete" || completion == L"both";
    for (const auto& [name, challenge] : level->goals_tracker.Challenges()) {
        if (!challenge->unlocked || !(challenge->completed ? completed : incomplete)) continue;
        challenges_.InsertSorted(challenge.get(), [](Challenge* c) { return std::tie(c->magazine, c->metal); });
    }
}

void UserInterface::CollectImprovements(bool upgrades) {
    if (upgrades)
        upgrades_.Clear();
    else
        boosts_.Clear();
    // A building reference, or a building's serial id among the park's items.
    const PropertyValue& held = GetLocalVariable(L"building");
    KivraBuilding* building = held.ToWidget<KivraBuilding>();
    if (!building && held.Is(PropertyValue::Tag::Int)) building = FindBuilding(held.RawPayload());
    // Without a building the list is empty, not the last building's.
    if (!building) return;
    grid_->HideItemPopup(*building, false);
    if (upgrades) {
        for (Upgrade& upgrade : building->Upgrades()) upgrades_.entries.push_back(&upgrade);
    } else {
        for (Boost& boost : building->Boosts()) boosts_.entries.push_back(&boost);
    }
}
