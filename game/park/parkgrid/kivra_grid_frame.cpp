// The park each step and each frame: the pointer routed by edit mode, the
// carried building following the scrolling, and the water background.
#include <cmath>

#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/display/park_display.h"
#include "game/park/grid/kivra_tile.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"

void KivraGrid::MouseMove(int x, int y) {
    // The pointer comes to the park from the building it lifted without
    // moving: the building stays where it stood, the park where it was.
    if (PointerStillWhereLifted()) return;
    Grid::MouseMove(x, y);
    pointerTile_ = ScreenToTile(static_cast<float>(x), static_cast<float>(y));
    if (editMode_ == kSidewalk) {
        sidewalkX_ = static_cast<float>(x);
        sidewalkY_ = static_cast<float>(y);
        return;
    }
    if (held_ != nullptr) held_->SetScreenPositionFromTile(static_cast<float>(x), static_cast<float>(y));
}

bool KivraGrid::PointerStillWhereLifted() {
    if (!liftedAt_ || manager_ == nullptr) return false;
    const ScreenPoint pointer = manager_->GetPointerPosition(0);
    if (pointer.x == liftedAt_->x && pointer.y == liftedAt_->y) return true;
    liftedAt_.reset();
    return false;
}

void KivraGrid::MouseDown(int x, int y, int clickCode) {
    Grid::MouseDown(x, y, clickCode);
    // A camera move is not to be fought by a drag.
    if (CountTweens(L"camera_movement") > 0) DragWidget::MouseUpAt(x, y);
    if (held_ != nullptr)
        TryPlaceHeldItem(true);
    else if (editMode_ == kSidewalk)
        PaintSidewalk(hoverTile_);
}

void KivraGrid::MouseDrag(int x, int y) {
    if (editMode_ == kSidewalk) {
        sidewalkX_ = static_cast<float>(x);
        sidewalkY_ = static_cast<float>(y);
        hoverTile_ = ScreenToTile(sidewalkX_, sidewalkY_);
        // Only tiles not yet as the tool makes them, each as the pointer enters it.
        const auto* tile = dynamic_cast<const KivraTile*>(GetTileAt(hoverTile_.col, hoverTile_.row));
        if (tile != nullptr && tile->IsSidewalk() != sidewalkPaintAdds_) PaintSidewalk(hoverTile_);
    }
    Grid::MouseDrag(x, y);
    // The tutorial's camera hint: near the place it shows, the camera glides there.
    if (!TutorialRunning()) return;
    const float dx = std::fabs(x_ + 1270.0f), dy = std::fabs(y_ + 1090.0f);
    if (dx <= 250.0f && dy < 150.0f && Display() != nullptr && Display()->OnTutorialEvent(3, *this)) {
        TweenPropertyPair(L"tutorial_tween", L"x", L"y", -1498.0f, -1042.0f, 150.0f, L"in_out_quad");
        SetDraggable(false, true);
        SetPushable(false);
    }
}

void KivraGrid::Update() {
    const ParkPlayer* player = ParkPlayer::Current();
    visitorsPaused_ = player != nullptr && player->PausedForTutorial();
    UpdateWeekClock();
    if (pendingCancel_) CancelCurrentMode();
    const float oldX = x_, oldY = y_;
    Grid::Update();
    const float dx = oldX - x_, dy = oldY - y_;
    if (editMode_ != kSidewalk && held_ != nullptr && (dx != 0.0f || dy != 0.0f)) {
        // The park scrolled under the pointer: the carried building stays under it.
        if (manager_ != nullptr && !PointerStillWhereLifted()) {
            const ScreenPoint pointer = manager_->GetPointerPosition(0);
            const LocalPoint local =
                manager_->ScreenToLocal(this, static_cast<float>(pointer.x), static_cast<float>(pointer.y));
            held_->SetScreenPositionFromTile(local.x, local.y);
        }
        MarkDirty();
    }
    if (editMode_ == kSidewalk) FollowSidewalkPointer(dx, dy);
    PlaceItemPopup();
    if (RefusalShown() != nullptr && HeldSpotAccepted()) EndRefusalShown();
    CycleNextBuilding();
    UpdateOcean();
    UpdateResearch();
}

void KivraGrid::UpdateOcean() {
    if (!drawsOcean_ || ocean_ == nullptr) return;
    if (--oceanFade_ > 0) return;
    oceanFade_ = oceanFadePeriod_;
    oceanFrame_ = (oceanFrame_ + 1) % ocean_->GetCelCount();
    MarkDirty();
}

void KivraGrid::DrawOceanLattice(Graphics* g, int cel, int alpha) {
    g->SetColor(Color::FromRGBA(255, 255, 255, alpha));
    const int w = ocean_->GetCelWidth(), h = ocean_->GetCelHeight();
    const FRect source(0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h));
    for (uint32_t col = 0; col < oceanCols_; ++col)
        for (uint32_t row = 0; row < oceanRows_; ++row)
            g->DrawImage(ocean_, static_cast<float>(col) * static_cast<float>(w),
                         static_cast<float>(row) * static_cast<float>(h), cel, source);
}

void KivraGrid::Draw(Graphics* g) {
    if (g != nullptr && drawsOcean_ && ocean_ != nullptr && sun_ != nullptr) {
        const int mode = g->GetDrawMode();
        const bool colorize = g->GetColorizeImages();
        g->SetDrawMode(1);
        g->SetColorizeImages(true);
        g->SetBatching(true);
        // Two successive water cels cross-fade.
        const int alpha =
            static_cast<int>(static_cast<float>(oceanFade_) / static_cast<float>(oceanFadePeriod_) * 255.0f);
        DrawOceanLattice(g, oceanFrame_, alpha);
        const int next = (oceanFrame_ + 1) % ocean_->GetCelCount();
        g->FlushBatch();
        DrawOceanLattice(g, next, 255 - alpha);
        g->SetBatching(false);
        g->SetColorizeImages(colorize);
        // Fixed on the screen while the park scrolls.
        DrawImageAtCelSize(g, sun_, -x_, -y_, 0);
        g->SetDrawMode(mode);
    }
    Grid::Draw(g);
}
