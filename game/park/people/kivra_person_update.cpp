// The visitor's fixed step: the tutorial's pause, hiding under a building
// set down on it and coming out beside it, walking's energy, and the tint
// that shows how tired it is.
#include <cmath>

#include "game/data/progress/goal_display.h"
#include "game/park/grid/grid.h"
#include "game/park/people/kivra_person.h"
#include "game/park/people/visitor_park.h"
#include "game/park/people/visitor_rules.h"
#include "widgets/motion/controller_name.h"

namespace {

const ControllerName kBlueTween(L"blue_tween");

}  // namespace

bool KivraPerson::Paused() const {
    if (park_ != nullptr) return park_->VisitorsPaused();
    const ParkPlayer* player = ParkPlayer::Current();
    return player != nullptr && player->PausedForTutorial();
}

void KivraPerson::Update() {
    // Frozen through its clock, so its tweens hold where they are.
    if (Paused()) {
        SetClockRate(0.0f);
        DragWidget::Update();
        return;
    }
    SetClockRate(1.0f);
    if (covering_ == nullptr && buildingInUse_ == nullptr && park_ != nullptr) {
        const TilePoint at = GetGridPosition();
        const uint32_t stamp = park_->BuildingsSetDown();
        if (at != clearTile_ || stamp != clearStamp_) LookForOccupant(at, stamp);
    }
    Person::Update();
    if (stay_ > 0) --stay_;
    if (park_ != nullptr && IsFollowingPath() && IsAnimating()) ChangeEnergy(-park_->WalkEnergyCost());
    if (covering_ != nullptr && !covering_->IsHeldByPark()) TryComeOut();
}

void KivraPerson::LookForOccupant(TilePoint at, uint32_t stamp) {
    if (KivraBuilding* occupant = park_->GetTileOccupant(at)) {
        HideUnder(*occupant);
        return;
    }
    clearTile_ = at;
    clearStamp_ = stamp;
}

void KivraPerson::HideUnder(KivraBuilding& building) {
    SetVisible(false);
    ClearPath();
    covering_ = &building;
    PauseTasks();
}

bool KivraPerson::TryComeOut() {
    Grid* grid = GetGrid();
    if (covering_ == nullptr || grid == nullptr) return false;
    const KivraBuilding& building = *covering_;
    // A door comes first, then a tile to walk on, then any free tile.
    const auto score = [&](TilePoint at) {
        if (grid->GetTileAt(at.col, at.row) == nullptr) return 0;
        if (park_ != nullptr && park_->GetTileOccupant(at) != nullptr) return 0;
        return (grid->IsWalkableAt(at.col, at.row) ? 2 : 1) + (building.FindDoor(at, 0) != nullptr ? 1 : 0);
    };
    TilePoint at;
    if (!BestRingTile(building.GetFootprintRect(), score, at)) return false;
    ComeOut(at);
    return true;
}

void KivraPerson::ComeOut(TilePoint at) {
    SetVisible(true);
    MoveTo(at);
    FaceItem(*covering_, false);
    covering_ = nullptr;
    ResumeTasks();
}

void KivraPerson::Draw(Graphics* g) {
    if (IsVisible()) UpdateTint();
    Person::Draw(g);
}

void KivraPerson::UpdateTint() {
    // Asked every frame of every visitor: the cheap test first, as either
    // one alone leaves the tint as it is.
    const float c = EnergyTint(energy_, searchFoodEnergy_);
    if (red == c && green == c) return;
    if (CountTweens(kBlueTween) > 0) return;
    if (std::fabs(red - c) <= 0.05f && std::fabs(green - c) <= 0.05f) {
        SetFloatProperty(L"red", c, false);
        SetFloatProperty(L"green", c, false);
        return;
    }
    // Blue is left alone: a tired visitor turns bluish.
    TweenPropertyPair(kBlueTween, L"red", L"green", c, c, 50.0f, L"", 0.0f);
}
