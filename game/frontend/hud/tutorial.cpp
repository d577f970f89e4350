#include "game/frontend/hud/tutorial.h"

#include "game/data/progress/goal_display.h"
#include "game/frontend/hud/user_interface.h"
#include "game/park/display/park_display.h"
#include "game/park/parkgrid/kivra_grid.h"

namespace {

int32_t PlayerStep() {
    const ParkPlayer* player = ParkPlayer::Current();
    return player ? player->TutorialStep() : -1;
}

}  // namespace

Tutorial::Tutorial() {
    if (PlayerStep() >= 0) data_ = ReadTutorialData("tutorial_data.xml");
}

Tutorial::~Tutorial() = default;

TutorialStep* Tutorial::CurrentStep() const { return data_.At(PlayerStep()); }

bool Tutorial::IsInactive() const { return CurrentStep() == nullptr; }

bool Tutorial::OnEvent(int32_t event, KivraGrid& grid) {
    TutorialStep* current = CurrentStep();
    ParkDisplay* hud = ParkDisplay::Current();
    ParkPlayer* player = ParkPlayer::Current();
    if (current == nullptr || hud == nullptr || player == nullptr || event != current->ProceedEvent()) return false;
    current->End(grid, *hud);
    const int32_t index = player->TutorialStep() + 1;
    player->SetTutorialStep(index);
    TutorialStep* next = data_.At(index);
    if (next == nullptr) {
        End();
        return true;
    }
    next->Start(grid, *hud);
    // What the two steps share holds through the wait; the rest waits for Show.
    const TutorialStep::Flags& was = current->GetFlags();
    const TutorialStep::Flags& will = next->GetFlags();
    if (was.paused == will.paused) player->SetPausedForTutorial(will.paused);
    if (was.draggable == will.draggable) grid.SetDraggable(will.draggable, true);
    if (was.pushable == will.pushable) grid.SetPushable(will.pushable);
    return true;
}

void Tutorial::StartCurrentStep(KivraGrid& grid) {
    TutorialStep* current = CurrentStep();
    ParkDisplay* hud = ParkDisplay::Current();
    if (current != nullptr && hud != nullptr) current->Start(grid, *hud);
}

void Tutorial::End() {
    TutorialStep::StopWaiting(true);
    if (ParkPlayer* player = ParkPlayer::Current()) {
        player->SetTutorialStep(-1);
        player->SetPausedForTutorial(false);
    }
    if (UserInterface* hud = UserInterface::Current()) hud->OnTutorialEnded();
}

void Tutorial::Detach() { TutorialStep::StopWaiting(false); }

bool Tutorial::HasReachedStep(std::wstring_view name) const {
    if (IsInactive()) return true;
    const auto found = data_.indexByName.find(name);
    return found == data_.indexByName.end() || found->second <= PlayerStep();
}

std::optional<std::wstring> Tutorial::GetStepName(int32_t index) const {
    if (IsInactive()) return std::nullopt;
    const TutorialStep* step = data_.At(index);
    if (step == nullptr) return std::nullopt;
    return step->Name();
}
