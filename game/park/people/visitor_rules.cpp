#include "game/park/people/visitor_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

float HappinessGain(const VisitFacts& visit, const HappinessTerms& terms) {
    if (visit.frontGate) return 0.0f;
    const float category = visit.favourite ? terms.category : 0.0f;
    float gain = static_cast<float>(visit.shared) * terms.characteristic + (category + terms.base);
    if (visit.appeal > 0.0f) {
        const float appeal = std::min(visit.appeal, terms.appealMaximum);
        const float hunger = visit.hungry ? terms.hungryMult : 1.0f;
        gain = terms.appealMult * appeal * hunger + gain;
    }
    return gain;
}

int32_t CashInHundreds(float& happiness, float gain) {
    // Counting the hundreds off one by one never ends on an infinite gain.
    if (std::isfinite(gain)) happiness += gain;
    if (!std::isfinite(happiness)) happiness = 0.0f;
    if (happiness < 100.0f) return 0;
    const float hundreds = std::floor(happiness / 100.0f);
    happiness = std::fmod(happiness, 100.0f);
    constexpr auto kMost = static_cast<float>(std::numeric_limits<int32_t>::max());
    return hundreds >= kMost ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(hundreds);
}

uint32_t LeapMatch(float leap) {
    if (!(leap >= 0.0f)) return 1;
    // Far beyond any leap the rule reaches; keeps the conversion defined.
    return static_cast<uint32_t>(std::min(std::floor(leap), 1.0e6f));
}

float NextLeap(float leap, bool found, float leapIncrease, const std::function<float(float)>& draw) {
    if (leap >= 15.0f) return 1.0f;
    if (found && draw(1.0f) > 1.0f - 15.0f / (leap + 13.0f)) return leap * (1.3f + 0.02f * draw(leapIncrease));
    return draw(1.0f) <= 0.3f ? leap + 3.0f : 1.0f;
}

float EnergyTint(float energy, float searchFoodEnergy) {
    float ratio = 0.0f;
    if (searchFoodEnergy > 0.0f && energy > 0.0f) ratio = std::min(energy / searchFoodEnergy, 1.0f);
    return ratio * 0.4f + 0.6f;
}

bool BestRingTile(TileRect footprint, const std::function<int(TilePoint)>& score, TilePoint& out) {
    int best = 0;
    for (int32_t col = footprint.col - footprint.cols; col <= footprint.col + 1; ++col) {
        for (int32_t row = footprint.row - footprint.rows; row <= footprint.row + 1; ++row) {
            const TilePoint at{col, row};
            if (footprint.Covers(at)) continue;
            const int s = score(at);
            if (s <= best) continue;
            best = s;
            out = at;
            if (s >= 3) return true;
        }
    }
    return best > 0;
}
