#pragma once
// What the goals ask of the in-game display (HUD) and of the current player,
// both of which the game builds later on top of this layer.
//
// GoalDisplay: the HUD installs itself with ScopedService<GoalDisplay> while
// a game screen exists; while none does, Current() is null and the goals
// show nothing. Its widget holds the script variables the trophy splash
// reads and runs the named animations.
//
// ParkPlayer: the game's player state implements it beside PlayerState; the
// current player (BasicPlayerState::Current) is asked when it is one.
// Main thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/system/service.h"

class AnimationWidget;
class Objective;
struct KIVRA_LEVEL;
struct RESEARCH_OPTION;

class GoalDisplay {
public:
    virtual ~GoalDisplay() = default;

    // The HUD's script widget: local variables and named animations.
    virtual AnimationWidget& Widget() = 0;
    // No tutorial step is current.
    virtual bool TutorialInactive() = 0;
    // The name of the tutorial's step of that index; none while the tutorial
    // is inactive or the index has no step.
    virtual std::optional<std::wstring> TutorialStepName(int32_t step) = 0;
    // The tutorial is inactive, or its current step is the named one or later.
    virtual bool TutorialReachedStep(std::wstring_view name) = 0;
    // The objective's progress changed: the goal panel refreshes when it shows it.
    virtual void MarkGoalChanged(Objective& objective) = 0;
    // The objective completed: the goal panel moves on when it showed it.
    virtual void OnShownGoalCompleted(Objective& objective) = 0;

    static GoalDisplay* Current() { return Service<GoalDisplay>::Installed(); }
};

class ParkPlayer {
public:
    virtual ~ParkPlayer() = default;

    // The player's current park level, or null.
    virtual KIVRA_LEVEL* GetCurrentLevel() = 0;
    // Adds the delta to the current level's "money" or "hearts" and its
    // statistics; with notify, a positive delta runs the target's increase
    // animation.
    virtual void ChangeResource(std::wstring_view name, int32_t delta, bool notify, AnimationWidget* target) = 0;
    // The index of the tutorial step the player reached.
    virtual int32_t TutorialStep() const = 0;
    // The current tutorial step holds the park still.
    virtual bool PausedForTutorial() const { return false; }
    // Buys the current level's research option of that name; `bought`
    // receives the option as it was. False when nothing was bought (a player
    // that keeps no research buys none).
    virtual bool PurchaseResearch(std::wstring_view, RESEARCH_OPTION&) { return false; }
    // The tutorial's writes; a player without tutorial progress ignores them.
    virtual void SetTutorialStep(int32_t) {}
    virtual void SetPausedForTutorial(bool) {}

    // The current player state when it is a park player, else null.
    static ParkPlayer* Current();
};
