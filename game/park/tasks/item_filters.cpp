#include "game/park/tasks/item_filters.h"

#include <cassert>

#include "game/park/base/filter_subjects.h"
#include "game/park/buildings/building.h"
#include "game/park/grid/grid_item.h"

namespace {

constexpr std::wstring_view kFrontGate = L"front_gate";

float SquaredDistance(const GridItem& item, TilePoint point) {
    return SquaredDistanceToRect(item.GetFootprintRect(), point);
}

}  // namespace

bool AcceptItemByText::Accept(GridItem* candidate) {
    switch (which) {
        case ItemText::kType: return candidate->GetType() == text;
        case ItemText::kCategory: return candidate->GetCategory() == text;
        case ItemText::kAction: return candidate->GetAction() == text;
    }
    return false;
}

bool AcceptBuilding::Accept(GridItem* candidate) { return candidate != nullptr && candidate->AsBuilding() != nullptr; }

bool AcceptGateByOpenness::Accept(GridItem* candidate) {
    const auto* gate = dynamic_cast<const OpenableGate*>(candidate);
    return gate != nullptr && gate->IsOpen();
}

// The steps keep their order: the gate is taken before the visitor is
// asked about anything, and vacancies before appeal.
bool AcceptBuildingByVisitorPreferences::Accept(GridItem* candidate) {
    if (candidate == nullptr) return false;
    const VisitableBuilding* building = candidate->AsVisitable();
    // A class that is one and does not say so fails here in the checked builds.
    assert(building == dynamic_cast<const VisitableBuilding*>(candidate));
    if (building == nullptr) return false;
    if (candidate->GetType() == kFrontGate) return true;
    if (visitor == nullptr) return false;
    // A boost that ended while its extra places were taken leaves fewer than none.
    if (building->GetVacancies() <= 0) return false;
    if (visitor->GetNeededAppeal() > building->GetAppeal()) return false;
    if (building->IsBeingPlaced()) return false;
    if (visitor->GetLastBuilding() == candidate &&
        !(visitor->GetBuildingInUse() == candidate && visitor->GetStay() >= 1)) {
        return false;
    }
    return !visitor->HasReachedCategoryLimit(candidate->GetCategory());
}

bool PreferItemByDistance::Accept(GridItem* candidate) {
    return bounds.Unbounded() || bounds.Admits(SquaredDistance(*candidate, point));
}

GridItem* PreferItemByDistance::Prefer(GridItem* a, GridItem* b) {
    const float da = SquaredDistance(*a, point), db = SquaredDistance(*b, point);
    return da < db ? a : db < da ? b : nullptr;
}
