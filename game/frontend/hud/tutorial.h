#pragma once
// Tutorial: the guided first park, held by the in-game display. Numbered
// game events (OnEvent) move it from step to step; the step reached is the
// player's saved progress.
//
// This is the tutorial without its steps: it is always inactive, takes no
// event and answers every question as a finished tutorial would, and it
// never writes the player's saved step, so a player part-way through keeps
// their place for the tutorial that reads tutorial_data.xml.
// Main thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class KivraGrid;

class Tutorial {
public:
    Tutorial() = default;
    Tutorial(const Tutorial&) = delete;
    Tutorial& operator=(const Tutorial&) = delete;

    // No step is current.
    bool IsInactive() const { return true; }
    // True when the event moved the tutorial on to its next step.
    bool OnEvent(int32_t event, KivraGrid& grid);
    // The first step shows (the display's "start_tutorial_action").
    void StartCurrentStep(KivraGrid& grid);
    // Ends the tutorial wherever it is.
    void End();
    // The named step is current or behind the player; always so while inactive.
    bool HasReachedStep(std::wstring_view name) const;
    // The name of the step of that index; none while inactive.
    std::optional<std::wstring> GetStepName(int32_t index) const;
};
