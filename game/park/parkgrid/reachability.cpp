// Whether a walkable way joins one of a building's doors to the way into the
// park of an open front gate, and the two indicators that show it.
#include <memory>
#include <string>

#include "game/park/buildings/kivra_building.h"
#include "game/park/grid/grid.h"
#include "game/park/tasks/composite_filters.h"
#include "game/park/tasks/item_filters.h"
#include "game/park/tasks/tile_filters.h"

namespace {

// The variable each indicator is registered under, by kind.
const std::wstring& IndicatorName(int kind) {
    static const std::wstring names[] = {L"unreachable_display", L"reachable_display"};
    return names[kind];
}

// A tile carrying the '2' door of an open front gate.
std::unique_ptr<GridTileFilter> OpenGateEntrance() {
    auto gates = std::make_unique<AcceptItemByFilters>(true);
    gates->AddFilter(std::make_unique<AcceptItemByType>(L"front_gate"));
    gates->AddFilter(std::make_unique<AcceptGateByOpenness>());
    auto tiles = std::make_unique<AcceptTileByFilters>(true);
    tiles->AddFilter(std::make_unique<AcceptTileByDoor>(std::move(gates), '2'));
    return tiles;
}

}  // namespace

AnimationWidget* KivraBuilding::Indicator(IndicatorKind kind) const {
    const PropertyValue* value = FindName(ScriptVariables(), IndicatorName(kind), indicatorSlots_[kind]);
    auto* indicator = value != nullptr ? value->ToWidget<AnimationWidget>() : nullptr;
    // One that took itself away is gone, whether or not it is deleted yet.
    return indicator != nullptr && indicator->GetParent() == this ? indicator : nullptr;
}

AnimationWidget* KivraBuilding::ShowIndicator(IndicatorKind kind, std::wstring_view animation) {
    const FRect box = BoundingBox();
    auto* indicator = new AnimationWidget(animation, static_cast<int>(box.x + box.w * 0.5f),
                                          static_cast<int>(box.y + box.h * 0.5f), false);
    indicator->SetTransformChildren(true);
    RegisterObject(IndicatorName(kind), indicator);
    return indicator;
}

bool KivraBuilding::FindsOpenGate() {
    Grid* grid = GetGrid();
    if (grid == nullptr) return false;
    TilePath path;
    for (const Door& door : Doors()) {
        // A door on ground that cannot be walked is no start.
        if (!grid->IsWalkableAt(door.col, door.row)) continue;
        const std::unique_ptr<GridTileFilter> entrance = OpenGateEntrance();
        // A door on the way in itself is reached by no step: the search
        // then answers with an empty way, which is no "no way" here.
        if (entrance->Accept(grid->GetTileAt(door.col, door.row))) return true;
        grid->FindPathToMatch(path, {door.col, door.row}, entrance.get(), nullptr, 1);
        if (!path.empty()) return true;
    }
    return false;
}

void KivraBuilding::UpdateReachability() {
    if (Doors().empty()) return;
    AnimationWidget* unreachable = Indicator(kUnreachableIndicator);
    AnimationWidget* reachable = Indicator(kReachableIndicator);
    const bool told = unreachable != nullptr && unreachable->GetLocalVariable(L"is_reachable").ToBool();
    if (held_) {
        if (unreachable != nullptr) unreachable->SetVariable(L"is_reachable", true);
        if (reachable != nullptr) reachable->RemoveSelf();
        return;
    }
    reachable_ = FindsOpenGate();
    if (!reachable_) {
        if (reachable != nullptr) reachable->RemoveSelf();
        // One indicator at a time: a new one only once the last was told.
        if (unreachable == nullptr || told)
            ShowIndicator(kUnreachableIndicator, L"building_unreachable")->SetVariable(L"do_fade", true);
    } else if (unreachable != nullptr) {
        unreachable->SetVariable(L"is_reachable", true);
        if (reachable == nullptr) ShowIndicator(kReachableIndicator, L"building_connected");
    }
    UpdateReachableDisplay();
}

void KivraBuilding::UpdateReachableDisplay() {
    for (IndicatorKind kind : {kUnreachableIndicator, kReachableIndicator}) {
        AnimationWidget* indicator = Indicator(kind);
        if (indicator == nullptr) continue;
        const int sign = indicator->GetProperty(L"flip_x").ToBool() ? -1 : 1;
        if (sign == flipX_) continue;
        indicator->Flip(false);
        indicator->Move(indicator->GetX() + static_cast<float>(flipX_), indicator->GetY());
    }
}
