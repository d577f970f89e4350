// The week's review at nightfall: from the moment night falls until the
// player closes the review, nothing of the display stands or opens over it.
// The pointer is the review's alone (hud_cover.cpp), a note of finished
// research standing then is hidden until the review is closed, and the
// boxes asked for meanwhile wait (hud_boxes.cpp). The tutorial's box, its
// shade and its skip button, also those of a step shown during the review,
// are hidden until then: the step goes on as it was once the review is closed.

#include <string_view>

#include "game/frontend/hud/user_interface.h"
#include "game/park/parkgrid/kivra_grid.h"

namespace {

// What a tutorial step puts up on the display (animations_tutorial.xml).
constexpr std::wstring_view kTutorialPieces[] = {L"tutorial_shade", L"lyr_tutorial_box", L"tutorial_skip"};

}  // namespace

void UserInterface::ShowWatchedScene(AnimationWidget& scene) {
    night_ = &scene;
    if (AnimationWidget* shown = shownNote_.Get()) shown->SetVisible(false);
    ParkDisplay::ShowWatchedScene(scene);
    HideTutorialWhileReviewing();
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
    HideTutorialWhileReviewing();
    OpenWaitingBox();
}

void UserInterface::HideTutorialWhileReviewing() {
    const bool shown = StandingReview() == nullptr;
    for (std::wstring_view id : kTutorialPieces)
        if (auto* piece = GetLocalVariable(id).ToWidget<DynamicWidget>(); piece && piece->IsVisible() != shown)
            piece->SetVisible(shown);
}
