#include "game/park/buildings/kivra_combo.h"

#include <algorithm>

KivraCombo::KivraCombo(std::vector<ZoneBuilding*> members, const KivraComboStats& definition)
    : definition_(definition), members_(std::move(members)) {
    std::sort(members_.begin(), members_.end(), ZoneOrder{});
}

bool KivraCombo::IsMember(const ZoneBuilding* building) const {
    return std::find(members_.begin(), members_.end(), building) != members_.end();
}

ZoneBuildingSet KivraCombo::Bystanders() const {
    ZoneBuildingSet found;
    for (ZoneBuilding* member : members_) {
        for (ZoneBuilding* neighbour : member->Neighbours()) {
            if (member->ZoneContains(*neighbour) && !IsMember(neighbour) && neighbour->IsActive()) {
                found.insert(neighbour);
            }
        }
    }
    return found;
}

void KivraCombo::Activate(ZoneContext& context) {
    for (ZoneBuilding* member : members_) member->JoinCombo(*this, context);
    for (ZoneBuilding* building : Bystanders()) building->AddComboOffset(*this, context);
    active_ = true;
}

void KivraCombo::Deactivate(ZoneContext& context) {
    for (ZoneBuilding* member : members_) member->LeaveCombo(*this, context);
    for (ZoneBuilding* building : Bystanders()) building->RemoveComboOffset(*this, context);
    active_ = false;
}

bool KivraCombo::Equals(const KivraCombo& other) const {
    if (&other == this) return true;
    if (definition_.name != other.definition_.name) return false;
    if (members_ == other.members_) return true;
    return std::all_of(members_.begin(), members_.end(), [&](const ZoneBuilding* m) { return other.IsMember(m); });
}

void KivraCombo::ApplyToBuilding(ZoneBuilding& building, ZoneContext& context) {
    building.AddComboOffset(*this, context);
}

void KivraCombo::WithdrawFromBuilding(ZoneBuilding& building, ZoneContext& context) {
    building.RemoveComboOffset(*this, context);
}
