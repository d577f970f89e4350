// The week's review at nightfall: from the moment night falls until the
// player closes the review, nothing of the display stands or opens over it.
// The pointer is the review's alone (hud_cover.cpp), and a note of finished
// research waits, hidden, until the review is closed.

#include <vector>

#include "game/frontend/hud/user_interface.h"
#include "game/park/parkgrid/kivra_grid.h"

void UserInterface::ShowWatchedScene(AnimationWidget& scene) {
    night_ = &scene;
    for (const LiveRef<AnimationWidget>& note : researchNotes_)
        if (AnimationWidget* shown = note.Get()) shown->SetVisible(false);
    ParkDisplay::ShowWatchedScene(scene);
}

AnimationWidget* UserInterface::StandingReview() const {
    return grid_ != nullptr && grid_->GetParkState() == KivraGrid::kNightfall ? night_.Get() : nullptr;
}

void UserInterface::KeepResearchNote(AnimationWidget& note) {
    std::erase_if(researchNotes_, [](const LiveRef<AnimationWidget>& kept) { return kept.Get() == nullptr; });
    researchNotes_.emplace_back(&note);
    if (StandingReview() != nullptr) note.SetVisible(false);
}

void UserInterface::ShowWaitingNotes() {
    for (const LiveRef<AnimationWidget>& note : researchNotes_)
        if (AnimationWidget* waiting = note.Get()) waiting->SetVisible(true);
}
