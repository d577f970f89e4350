// Where goal progress turns into game effects: counting a completed
// objective for its challenge and, at the last one, winning the challenge.
#include "foundation/expression/constants_map.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/goal_tracker.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/resource_range.h"
#include "widgets/script/animation_widget.h"

namespace {

int32_t HeartsPatch(int32_t metal) {
    switch (metal) {
        case 0: return GetConstantInt(L"v1_3_hearts_patch_bronze");
        case 1: return GetConstantInt(L"v1_3_hearts_patch_silver");
        case 2: return GetConstantInt(L"v1_3_hearts_patch_gold");
        default: return 0;
    }
}

KIVRA_LEVEL* CurrentLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

bool IsChosen(const KIVRA_LEVEL* level, const Challenge& challenge) {
    return level != nullptr && level->chosen_challenge == challenge.name;
}

// Sets the HUD variable, or erases it when there is nothing to show.
void SetOrErase(VariableMap& locals, const wchar_t* name, bool present, PropertyValue value) {
    if (present)
        locals[name] = std::move(value);
    else
        locals.erase(name);
}

const std::wstring& FirstOr(const std::vector<std::wstring>& names) {
    static const std::wstring none;
    return names.empty() ? none : names.front();
}

}  // namespace

void KivraGoalTracker::OnObjectiveCompleted(Objective& objective) {
    if (objective.challenge == nullptr) return;
    Challenge* challenge = FindChallenge(objective.challenge->name);
    if (challenge == nullptr) return;
    ++challenge->completedObjectives;
    // A challenge is won once: a further count (a debug completion of a won
    // challenge) pays nothing again.
    if (challenge->completedObjectives >= challenge->objectives.size() && !challenge->completed)
        WinChallenge(*challenge);

    GoalDisplay* display = GoalDisplay::Current();
    if (display == nullptr) return;
    VariableMap& locals = display->Widget().Variables();
    if (IsChosen(CurrentLevel(), *challenge) && locals.contains(L"goals_present_goal_aggregate")) {
        locals[L"animate_data"] = PropertyValue::FromBool(true);
        display->Widget().RunAnimationNamed(L"show_present_goal_data");
    }
    display->OnShownGoalCompleted(objective);
}

void KivraGoalTracker::WinChallenge(Challenge& challenge) {
    // Marked won before anything is paid: a reward can complete further
    // objectives (the coins feed weekly earnings) and re-enter here.
    challenge.completed = true;
    KIVRA_LEVEL* level = CurrentLevel();
    GoalDisplay* display = GoalDisplay::Current();
    AnimationWidget* hud = display ? &display->Widget() : nullptr;

    int32_t hearts = challenge.hearts;
    if (hearts > 0) hearts = SaturatingAdd(hearts, HeartsPatch(challenge.metal));
    if (ParkPlayer* player = ParkPlayer::Current()) {
        player->ChangeResource(L"money", challenge.coins, true, hud);
        player->ChangeResource(L"hearts", hearts, true, hud);
    }
    if (level != nullptr)
        for (const std::wstring& building : challenge.buildingRewards) level->availability[building] = 1;
    for (const std::wstring& magazine : challenge.magazineRewards) ActivateChallenge(magazine + L"_bronze");
    std::vector<std::wstring> unlockedResearch;
    if (level != nullptr) {
        for (const std::wstring& name : challenge.researchRewards) {
            for (RESEARCH_OPTION& option : level->available_research) {
                if (option.name != name) continue;
                option.unlocked = true;
                unlockedResearch.push_back(name);
                break;
            }
        }
    }
    if (challenge.metal < 2) ActivateChallenge(challenge.magazine + L"_" + MetalName(challenge.metal + 1));

    if (display != nullptr && IsChosen(level, challenge)) {
        VariableMap& locals = hud->Variables();
        locals[L"trophychal"] = PropertyValue::FromWString(MetalName(challenge.metal));
        locals[L"trophymag"] = PropertyValue::FromWString(challenge.magazine);
        SetOrErase(locals, L"moneyprize", challenge.coins != 0, PropertyValue::FromInt(challenge.coins));
        SetOrErase(locals, L"heartprize", challenge.hearts > 0, PropertyValue::FromInt(hearts));
        SetOrErase(locals, L"buildingprize", !challenge.buildingRewards.empty(),
                   PropertyValue::FromWString(FirstOr(challenge.buildingRewards)));
        SetOrErase(locals, L"magazineunlock", !challenge.magazineRewards.empty(),
                   PropertyValue::FromWString(FirstOr(challenge.magazineRewards)));
        SetOrErase(locals, L"researchunlock", !unlockedResearch.empty(),
                   PropertyValue::FromWString(FirstOr(unlockedResearch)));
        bool tutorialHoldsSplash = false;
        if (challenge.name == L"funbooks_bronze" && !display->TutorialInactive()) {
            ParkPlayer* player = ParkPlayer::Current();
            const auto step = display->TutorialStepName(player ? player->TutorialStep() : 0);
            tutorialHoldsSplash = step && *step == L"place_playhouse";
        }
        if (!tutorialHoldsSplash) hud->RunAnimationNamed(L"show_won_trophy_splash");
    }
    if (display != nullptr && hud->Variables().contains(L"goals_goals_list_aggregate")) {
        hud->Variables()[L"animate_data"] = PropertyValue::FromBool(true);
        hud->RunAnimationNamed(L"show_goals_list_data");
    }
    OnTrophyEarned(challenge);
}
