#pragma once
// One research choice of a park: what it costs now, how much dearer each
// purchase makes it, how many purchases it allows (cycles; a negative count
// never runs out), what it unlocks and how long it still runs (the
// Countdown). Parks hold their options by value; the park reader fills them.

#include <cstdint>
#include <string>
#include <string_view>

#include "game/data/catalogues/countdown.h"

struct RESEARCH_OPTION : Countdown {
    enum Effect : int32_t { kUnlockMarketing = 0, kUnlockBuilding = 1, kLearnCombo = 2 };

    // "category" is the category of the building an unlock_building option
    // unlocks (false when no such type is known), read from the item catalogue.
    PropertyValue GetProperty(std::wstring_view name) override;
    bool Matches(std::wstring_view text) const { return name == text; }

    // "unlock_marketing", "unlock_building", "learn_combo"; empty for another value.
    static std::wstring_view EffectName(int32_t effect);
    // The effect a name stands for; -1 for any other text.
    static int32_t EffectFromName(std::wstring_view text);

    std::wstring name;
    bool unlocked = false;
    int32_t effect = kUnlockMarketing;
    std::wstring param;  // a building type for unlock_building, a combo for learn_combo
    int32_t coincost = 0;
    int32_t coinincrement = 0;
    int32_t heartcost = 0;
    int32_t heartincrement = 0;
    int32_t cycles = 0;
};
