#pragma once
// The visitor's arithmetic, apart from the visitor so each rule can be read
// and tested on its own: what a visit gives in happiness, how happiness is
// cashed in as hearts, how far the next search leaps, the energy tint, and
// which tile round a building a covered visitor comes out on.
// Pure functions of their arguments; random numbers come from the caller.

#include <cstdint>
#include <functional>

#include "game/park/base/tile_geometry.h"

// What one visit is worth (constants from constants.xml, read by the caller).
struct HappinessTerms {
    float base = 0.0f;            // person_happiness_increase_base
    float category = 0.0f;        // person_happiness_increase_category, for a favourite category
    float characteristic = 0.0f;  // person_happiness_increase_characteristic, per shared one
    float appealMult = 0.0f;      // person_happiness_increase_appeal_mult
    float hungryMult = 1.0f;      // person_happiness_hungry_mult
    float appealMaximum = 0.0f;   // appeal_maximum
};

struct VisitFacts {
    bool frontGate = false;  // the gate gives no happiness
    bool favourite = false;  // the building's category is one the visitor prefers
    uint32_t shared = 0;     // characteristics shared with the building
    float appeal = 0.0f;
    bool hungry = false;  // energy (after the visit) at or below the hunger mark
};

// The happiness a visit adds, in single precision in the rule's order.
float HappinessGain(const VisitFacts& visit, const HappinessTerms& terms);

// Adds the gain and takes every whole hundred out: returns how many, and
// leaves the rest in `happiness`. A gain that is not a finite number is
// ignored; the count saturates at the largest int32.
int32_t CashInHundreds(float& happiness, float gain);

// The match of a tile search the visitor walks to for a leap.
uint32_t LeapMatch(float leap);

// The leap after a search (leap >= 0 only). `found`: the search gave a
// path. `draw` (max) gives a random number from 0 to max; it is asked only
// for the draws the rule makes, in its order.
float NextLeap(float leap, bool found, float leapIncrease, const std::function<float(float)>& draw);

// The red and green factor the energy tint aims at (blue stays 1).
float EnergyTint(float energy, float searchFoodEnergy);

// The first tile of the ring round `footprint` (columns col - cols .. col + 1,
// rows row - rows .. row + 1, the footprint left out) with the highest score,
// a score of 3 ending the search; `score` gives 0 for a tile not to be
// taken. False when none scored.
bool BestRingTile(TileRect footprint, const std::function<int(TilePoint)>& score, TilePoint& out);
