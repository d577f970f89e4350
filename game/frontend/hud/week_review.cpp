// The week's review at nightfall: from the moment night falls until the
// player closes the review, nothing of the display stands or opens over it.
// The pointer is the review's alone (hud_cover.cpp), a note of finished
// research standing then is hidden until the review is closed, and the
// boxes asked for meanwhile wait (hud_boxes.cpp).

#include "game/frontend/hud/user_interface.h"
#include "game/park/parkgrid/kivra_grid.h"

void UserInterface::ShowWatchedScene(AnimationWidget& scene) {
    night_ = &scene;
    if (AnimationWidget* shown = shownNote_.Get()) shown->SetVisible(false);
    ParkDisplay::ShowWatchedScene(scene);
}

AnimationWidget* UserInterface::StandingReview() const {
    return grid_ != nullptr && grid_->GetParkState() == KivraGrid::kNightfall ? night_.Get() : nullptr;
}

void UserInterface::KeepResearchNote(AnimationWidget& note) {
    // A box like the others: it shows in its turn.
    note.SetVisible(false);
    waitingBoxes_.push_back({[this, waiting = LiveRef<AnimationWidget>(&note)] {
                                 shownNote_ = waiting;
                                 if (AnimationWidget* shown = waiting.Get()) shown->SetVisible(true);
                             },
                             {}});
    OpenWaitingBox();
}

void UserInterface::ShowWaitingBoxes() {
    if (AnimationWidget* shown = shownNote_.Get()) shown->SetVisible(true);
    OpenWaitingBox();
}
