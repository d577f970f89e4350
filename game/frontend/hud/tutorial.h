#pragma once
// Tutorial: the guided first park, held by the in-game display. Its steps
// come from tutorial_data.xml (tutorial_data.h); numbered game events
// (OnEvent) move it from step to step, and the step reached is the player's
// saved progress (the player state's tutorial step), so a tutorial left
// half-way resumes at that step. The display starts the step the player is
// at ("start_tutorial_action"); the last step's event, or End, finishes it.
//
// Promises: a step index outside the file's steps (a missing or shorter
// file than the saved step) counts as no tutorial, so no event indexes past
// the steps; only the step a wait belongs to shows when it completes, and
// only while the display is in the tree (tutorial_step.h). A step name the
// file lacks counts as reached. A flag that two successive steps share
// stays in force through the second step's wait; a changed one takes
// effect when that step shows. Main thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "game/frontend/hud/tutorial_data.h"

class KivraGrid;

class Tutorial {
public:
    // Reads tutorial_data.xml when the current player is at a step (0 or more).
    Tutorial();
    ~Tutorial();
    Tutorial(const Tutorial&) = delete;
    Tutorial& operator=(const Tutorial&) = delete;

    // The number of an event's name; names no one sends give 40.
    static int32_t EventNumber(std::wstring_view name) { return TutorialEventNumber(name); }

    // No step is current: the player finished or skipped it, or is at no step the file has.
    bool IsInactive() const;
    // True when the event was the one the current step waited for and the
    // tutorial moved on; the caller then leaves the opening of its menu to
    // the next step.
    bool OnEvent(int32_t event, KivraGrid& grid);
    // The step the player is at begins (the display's "start_tutorial_action").
    void StartCurrentStep(KivraGrid& grid);
    // Ends the tutorial wherever it is.
    void End();
    // The display leaves the tree: a wait in progress stops.
    void Detach();
    // The named step is current or behind the player; always so while
    // inactive, and for a name the file lacks.
    bool HasReachedStep(std::wstring_view name) const;
    // The name of the step of that index; none while inactive or outside the steps.
    std::optional<std::wstring> GetStepName(int32_t index) const;

    const TutorialData& Data() const { return data_; }

private:
    // The step the player is at, or null.
    TutorialStep* CurrentStep() const;

    TutorialData data_;
};
