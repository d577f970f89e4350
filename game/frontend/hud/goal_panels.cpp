// The goal panel (the chosen challenge's open objective) and the magazine
// panel. Goals only raise the panel's pending state; the refresh happens on
// the next frame drawn outside an edit mode or after a building was set
// down, so a goal completed while the player carries a building shows once
// the building is down.

#include <algorithm>
#include <utility>

#include "game/data/progress/goals.h"
#include "game/data/progress/kivra_level.h"
#include "game/frontend/hud/user_interface.h"
#include "game/park/parkgrid/kivra_grid.h"

namespace {

constexpr std::wstring_view kGoalTaskScript = L"show_new_goal_task";
constexpr std::wstring_view kMagazineScript = L"show_new_goal_magazine";
// Panels are drawn after the widgets beneath them have been.
constexpr int kPostRenderAfterChildren = 2;

// Objectives some tutorial steps wait for, by name: the event each sends.
constexpr std::pair<std::wstring_view, int32_t> kObjectiveEvents[] = {
    {L"funbooks_silver_objective2", 22},      {L"funbooks_gold_objective1", 23},
    {L"soccerglobale_bronze_objective1", 24}, {L"soccerglobale_silver_objective0", 27},
    {L"soccerglobale_silver_objective1", 32}, {L"bopper_bronze_objective0", 33},
    {L"bopper_silver_objective0", 38},
};

}  // namespace

void UserInterface::Draw(Graphics* g) {
    RefreshGoalPanel();
    if (zoneRingsShown_ && !zoneRingsHint_) {
        zoneRingsShown_ = false;
        grid_->HideGoalZoneRings();
    }
    // Once the hint's script has put its box up, before it is first drawn.
    if (AnimationWidget* hint = zoneRingsHint_.Get(); hint != nullptr && !zoneHintPlaced_)
        zoneHintPlaced_ = PlaceHintClearOfRings(*hint);
    Menu::Draw(g);
}

void UserInterface::MarkGoalChanged(Objective& objective) {
    if (&objective == ShownGoal()) goalPanelState_ = std::max<int32_t>(goalPanelState_, kGoalProgressed);
}

void UserInterface::OnShownGoalCompleted(Objective& objective) {
    if (&objective != ShownGoal()) return;
    if (KIVRA_LEVEL* level = Level()) {
        Objective* next = ShownGoal();
        std::wstring description;
        level->goals_tracker.GetActiveObjective(level->chosen_challenge, &next, &description);
        shownGoal_ = next;
    }
    goalPanelState_ = std::max<int32_t>(goalPanelState_, kGoalMovedOn);
    NotifyObjectiveTutorial();
}

void UserInterface::ResetGoalPanel() { goalPanelState_ = kSkipRefresh; }

void UserInterface::RefreshGoalPanel() {
    // A building set down counts at once, though the tool stays in hand.
    const bool setDown = grid_->SetDownCount() != goalPanelSetDowns_;
    if (goalPanelState_ == kPanelIdle || (grid_->GetEditMode() != KivraGrid::kNone && !setDown)) return;
    goalPanelSetDowns_ = grid_->SetDownCount();
    const int32_t state = std::exchange(goalPanelState_, kPanelIdle);
    if (state == kSkipRefresh) return;
    KIVRA_LEVEL* level = Level();
    Objective* objective = nullptr;
    std::wstring description;
    const int index =
        level ? level->goals_tracker.GetActiveObjective(level->chosen_challenge, &objective, &description) : -1;
    const bool completed = state > kGoalProgressed;

    AnimationWidget* panel = GoalTaskPanel();
    const bool hadPanel = panel != nullptr;
    const float opacity = hadPanel ? panel->opacity : 1.0f;
    if (!hadPanel) {
        panel = new AnimationWidget(kGoalTaskScript, 0, 0, false);
        goalTaskPanel_ = panel;
    }
    panel->SetPostRender(kPostRenderAfterChildren);
    panel->SetVariable(L"tasknum", PropertyValue::FromInt(index + 1));
    panel->SetVariable(L"description", PropertyValue::FromWString(description));
    panel->SetVariable(L"do_slide_out", PropertyValue::FromBool(completed && hadPanel));
    panel->SetVariable(L"do_slide_in", PropertyValue::FromBool(completed));
    panel->SetPriority(kGoalPanelPriority);
    panel->SetFloatProperty(L"opacity", opacity, false);
    if (hadPanel)
        panel->PlayAnimationNamed(kGoalTaskScript);
    else
        AddWidget(panel);
    // No open objective: nothing to hint at.
    if (auto* hint = GetLocalVariable(L"btn_hint").ToWidget<::Widget>()) hint->SetDisabled(index < 0);
}

void UserInterface::ShowNewGoalMagazine(std::wstring_view challenge, bool playSound) {
    if (KIVRA_LEVEL* level = Level()) {
        // An empty name leaves the shown goal as it was.
        Objective* objective = ShownGoal();
        std::wstring description;
        level->goals_tracker.GetActiveObjective(challenge, &objective, &description);
        shownGoal_ = objective;
    }
    goalPanelState_ = kGoalMovedOn;
    NotifyObjectiveTutorial();
    const std::wstring magazine = MagazineNameFromChallenge(challenge);
    AnimationWidget* panel = MagazinePanel();
    const bool fresh = panel == nullptr;
    if (fresh) {
        panel = new AnimationWidget(kMagazineScript, 0, 0, false);
        magazinePanel_ = panel;
    }
    panel->SetVariable(L"magazinename", PropertyValue::FromWString(magazine));
    panel->SetVariable(L"play_sound", PropertyValue::FromBool(playSound));
    if (fresh) {
        panel->SetPostRender(kPostRenderAfterChildren);
        // The magazine's tag belongs with the goal card, above the night.
        panel->SetPriority(kNightPriority + 1);
        AddWidget(panel);
    } else {
        panel->RunAnimationNamed(kMagazineScript);
    }
}

void UserInterface::ShowZoneRingsWhileOpen(AnimationWidget& hint, std::wstring_view zone) {
    zoneRingsHint_ = &hint;
    zoneRingsShown_ = true;
    zoneHintPlaced_ = false;
    grid_->ShowGoalZoneRings(zone);
}

void UserInterface::NotifyObjectiveTutorial() {
    const Objective* shown = ShownGoal();
    if (!shown) return;
    for (const auto& [name, event] : kObjectiveEvents) {
        if (shown->name == name) {
            tutorial_.OnEvent(event, *grid_);
            return;
        }
    }
}

void UserInterface::OnTutorialEnded() {
    grid_->ClearPreviewTiles();
    if (AnimationWidget* panel = GoalTaskPanel()) {
        panel->SetFloatProperty(L"opacity", 1.0f, false);
    } else {
        const KIVRA_LEVEL* level = Level();
        ShowNewGoalMagazine(level ? level->chosen_challenge : std::wstring(), true);
    }
    grid_->SetDraggable(true, false);
    RunAnimationNamed(L"end_tutorial_callback");
}
