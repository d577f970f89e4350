#include "game/park/buildings/zone_building.h"

#include <algorithm>

#include "game/data/progress/kivra_level.h"
#include "game/data/progress/wrapping_add.h"
#include "game/park/buildings/kivra_combo.h"

namespace {

KivraGoalTracker* GoalsOf(const ZoneContext& context) {
    return context.level != nullptr ? &context.level->goals_tracker : nullptr;
}

void Insert(ZoneBuildingSet* set, ZoneBuilding& building) {
    if (set != nullptr) set->insert(&building);
}

// The first characteristic of `self` that clashes with `other`'s, or none.
std::vector<std::wstring> Clashes(const ZoneBuilding& self, const ZoneBuilding& other) {
    std::vector<std::wstring> names;
    self.Characteristics().ListConflicts(other.Characteristics(), names);
    return names;
}

}  // namespace

bool ZoneOrder::operator()(const ZoneBuilding* a, const ZoneBuilding* b) const {
    return a->ZoneOrderId() < b->ZoneOrderId();
}

bool ZoneBuilding::ZoneOverlaps(const ZoneBuilding& other) const { return GetZoneRect().Overlaps(other.GetZoneRect()); }

bool ZoneBuilding::ZoneContains(const ZoneBuilding& other) const {
    return GetZoneRect().Overlaps(other.FootprintRect());
}

void ZoneBuilding::JoinCombo(KivraCombo& combo, ZoneContext& context) {
    if (std::find(combos_.begin(), combos_.end(), &combo) == combos_.end()) combos_.push_back(&combo);
    ApplyComboOffset(combo.Definition(), true, context);
}

void ZoneBuilding::LeaveCombo(KivraCombo& combo, ZoneContext& context) {
    combos_.erase(std::remove(combos_.begin(), combos_.end(), &combo), combos_.end());
    ApplyComboOffset(combo.Definition(), false, context);
}

void ZoneBuilding::AddComboOffset(const KivraCombo& combo, ZoneContext& context) {
    ApplyComboOffset(combo.Definition(), true, context);
}

void ZoneBuilding::RemoveComboOffset(const KivraCombo& combo, ZoneContext& context) {
    ApplyComboOffset(combo.Definition(), false, context);
}

void ZoneBuilding::ApplyComboOffset(const KivraComboStats& definition, bool add, ZoneContext& context) {
    const int32_t v = add ? definition.money_offset : -definition.money_offset;
    if (Category() == L"ride") {
        AddToTicketPrice(v);
        if (context.level != nullptr) context.level->ticketprice = WrappingAdd(context.level->ticketprice, v);
    } else {
        AddToCostPerUse(v);
    }
    if (v != 0) Insert(add ? context.raised : context.lowered, *this);
}

void ZoneBuilding::RemoveClash(ZoneContext& context) {
    ZoneContext withoutNames = context;
    withoutNames.clashNames = nullptr;
    ApplyCharacteristicClash(false, withoutNames);
}

void ZoneBuilding::ApplyCharacteristicClash(bool apply, ZoneContext& context) {
    KivraGoalTracker* goals = GoalsOf(context);
    const bool active = IsActive();
    const auto buff = [&](ZoneBuilding& giver, ZoneBuilding& receiver) {
        if (!giver.ZoneContains(receiver) || giver.AppealBuff() <= 0.0f) return;
        if (apply) {
            Insert(context.raised, receiver);
            receiver.AddToAppeal(giver.AppealBuff());
            if (goals != nullptr) goals->OnBuildingChanged(receiver);
        } else {
            receiver.AddToAppeal(-giver.AppealBuff());
            if (goals != nullptr) goals->OnBuildingAppealChanged(receiver);
            Insert(context.lowered, receiver);
        }
    };
    const auto penalise = [&](ZoneBuilding& building) {
        if (apply) {
            building.AddToAppeal(-context.clashPenalty);
            if (goals != nullptr) goals->OnBuildingAppealChanged(building);
            Insert(context.lowered, building);
        } else {
            Insert(context.raised, building);
            building.AddToAppeal(context.clashPenalty);
            if (goals != nullptr) goals->OnBuildingChanged(building);
        }
    };
    for (ZoneBuilding* neighbour : neighbours_) {
        buff(*this, *neighbour);
        if (active) buff(*neighbour, *this);

        const std::vector<std::wstring> mine = Clashes(*this, *neighbour);
        if (mine.empty() || !(ZoneContains(*neighbour) || neighbour->ZoneContains(*this))) continue;
        penalise(*this);
        if (apply && context.clashNames != nullptr) (*context.clashNames)[this] = mine.front();
        if (!active) continue;
        if (apply && context.clashNames != nullptr) {
            // Clashes are symmetric, so the neighbour's list is never empty here.
            const std::vector<std::wstring> theirs = Clashes(*neighbour, *this);
            if (!theirs.empty()) (*context.clashNames)[neighbour] = theirs.front();
        }
        penalise(*neighbour);
    }
}
