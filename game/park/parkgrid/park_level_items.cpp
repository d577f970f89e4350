// The park's side of a saved park: buildings saved with their upgrades and
// boosts and restored with them, and the goals told of every building that
// comes with the park and of every one that goes with it.
#include "foundation/system/log.h"
#include "game/data/catalogues/building_level_item.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/item_types.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/people/person.h"

namespace {

KIVRA_LEVEL* CurrentParkLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

bool IsParkBuildingType(std::wstring_view type) {
    return dynamic_cast<const KIVRA_BUILDING_TYPE*>(FindRecordByName(ItemStats::Current(), type)) != nullptr;
}

}  // namespace

std::unique_ptr<LEVEL_ITEM> KivraGrid::CreateLevelItem(std::wstring_view type) {
    if (IsParkBuildingType(type)) return std::make_unique<KIVRA_BUILDING_LEVEL_ITEM>();
    return Grid::CreateLevelItem(type);
}

std::unique_ptr<LEVEL_ITEM> KivraGrid::MakeLevelItem(GridItem& item) {
    // Visitors are not kept: the park opens empty.
    if (dynamic_cast<Person*>(&item) != nullptr) return nullptr;
    // A save in the middle of an edit keeps the park as it stands: the new
    // building in hand is not paid for yet, and one being moved or turned
    // still stands where it was picked up.
    const bool held = &item == held_;
    if (held && editMode_ == kNewBuilding) return nullptr;
    std::unique_ptr<LEVEL_ITEM> record = Grid::MakeLevelItem(item);
    if (held && (editMode_ == kMoveHeld || editMode_ == kRotateHeld)) {
        record->col = remembered_.col;
        record->row = remembered_.row;
        record->orientation = rememberedOrientation_;
    }
    auto* saved = dynamic_cast<KIVRA_BUILDING_LEVEL_ITEM*>(record.get());
    auto* building = dynamic_cast<KivraBuilding*>(&item);
    if (saved != nullptr && building != nullptr) SaveImprovements(*building, *saved);
    return record;
}

GridItem* KivraGrid::PlaceLevelItem(const LEVEL_ITEM& record) {
    GridItem* item = Grid::PlaceLevelItem(record);
    auto* building = dynamic_cast<KivraBuilding*>(item);
    if (building == nullptr) return item;
    if (const auto* saved = dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM*>(&record))
        RestoreImprovements(*building, *saved);
    if (KIVRA_LEVEL* level = CurrentParkLevel()) level->goals_tracker.OnBuildingChanged(*building);
    return item;
}

void KivraGrid::ReportBuildingsLeaving() {
    // The goals count buildings by identity: those going now come back as
    // new ones when the park is entered again, and would count twice.
    KIVRA_LEVEL* level = CurrentParkLevel();
    if (level == nullptr) return;
    for (GridItem* item : Items())
        if (auto* building = dynamic_cast<KivraBuilding*>(item)) level->goals_tracker.OnBuildingRemoved(*building);
}

void KivraGrid::SaveImprovements(KivraBuilding& building, KIVRA_BUILDING_LEVEL_ITEM& record) {
    for (const Upgrade& upgrade : building.Upgrades())
        if (upgrade.Valid()) record.upgrades[upgrade.record->label] = upgrade.purchased;
    for (const Boost& boost : building.Boosts())
        if (boost.Valid()) record.boosts[boost.record->label] = boost.TimeRemaining();
}

namespace {

template <class Improvement>
Improvement* FindByLabel(std::vector<Improvement>& list, const std::wstring& label) {
    for (Improvement& improvement : list)
        if (improvement.Valid() && improvement.record->label == label) return &improvement;
    return nullptr;
}

void LogDropped(const KivraBuilding& building, std::wstring_view kind, const std::wstring& label) {
    LogWrite(L"Saved " + std::wstring(kind) + L" \"" + label + L"\" of a \"" + building.GetType() +
                 L"\" is no longer defined: skipped",
             true);
}

}  // namespace

void KivraGrid::RestoreImprovements(KivraBuilding& building, const KIVRA_BUILDING_LEVEL_ITEM& record) {
    // The building holds its type's upgrades and boosts from its making; the
    // saved ones come back onto them, so each bought upgrade applies once.
    for (const auto& [label, purchased] : record.upgrades) {
        Upgrade* upgrade = FindByLabel(building.Upgrades(), label);
        if (upgrade == nullptr)
            LogDropped(building, L"upgrade", label);
        else if (purchased)
            building.ApplyImprovementStats(*upgrade);
    }
    for (const auto& [label, ticks] : record.boosts) {
        Boost* boost = FindByLabel(building.Boosts(), label);
        if (boost == nullptr)
            LogDropped(building, L"boost", label);
        else if (ticks >= 0)
            building.SetBoostActive(*boost, ticks);
    }
}
