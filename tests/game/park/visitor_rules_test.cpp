// The visitor's arithmetic, case by case against hand-worked values.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <optional>

#include "game/park/people/visitor_rules.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// base 6, favourite 10, 5 per shared characteristic, appeal x3 (up to 12), hungry x0.5.
const HappinessTerms kTerms{6.0f, 10.0f, 5.0f, 3.0f, 0.5f, 12.0f};

struct GainCase {
    VisitFacts visit;
    float gain;
};

TEST(VisitorRules, HappinessGainAddsItsTermsInOrder) {
    const GainCase cases[] = {
        {{}, 6.0f},                                      // the base alone
        {{true, true, 2, 20.0f, true}, 0.0f},            // the gate gives nothing
        {{false, true, 0, 0.0f, false}, 16.0f},          // a favourite category
        {{false, false, 3, -4.0f, false}, 21.0f},        // characteristics; no appeal below 0
        {{false, false, 0, 5.0f, false}, 21.0f},         // 3 x 5 + 6
        {{false, false, 0, 40.0f, false}, 42.0f},        // appeal capped at 12
        {{false, true, 1, 8.0f, true}, 33.0f},           // hungry halves the appeal part: 12 + 21
        {{false, false, 0, std::nanf(""), false}, 6.0f}  // no appeal that is not a number
    };
    for (const GainCase& c : cases) EXPECT_FLOAT_EQ(HappinessGain(c.visit, kTerms), c.gain);
}

TEST(VisitorRules, HundredsAreCashedInAtOnceAndABadGainIsIgnored) {
    struct Case {
        float happiness, gain;
        int32_t hearts;
        float rest;
    } const cases[] = {
        {95.0f, 210.0f, 3, 5.0f},         {0.0f, 99.5f, 0, 99.5f},
        {50.0f, 50.0f, 1, 0.0f},          {10.0f, -30.0f, 0, -20.0f},
        {40.0f, kInf, 0, 40.0f},          {40.0f, -kInf, 0, 40.0f},
        {40.0f, std::nanf(""), 0, 40.0f}, {0.0f, 1.0e12f, std::numeric_limits<int32_t>::max(), 4.0f},
    };
    for (const Case& c : cases) {
        float happiness = c.happiness;
        EXPECT_EQ(CashInHundreds(happiness, c.gain), c.hearts) << c.happiness << " + " << c.gain;
        EXPECT_NEAR(happiness, c.rest, 1e-3f) << c.happiness << " + " << c.gain;
        EXPECT_LT(happiness, 100.0f);
    }
}

TEST(VisitorRules, TheLeapGrowsWhileSearchesSucceedAndFallsBack) {
    // (leap, found, draws handed out in order) -> next leap, draws used.
    struct Case {
        float leap;
        bool found;
        std::deque<float> draws;
        float next;
        size_t used;
    } const cases[] = {
        {15.0f, true, {}, 1.0f, 0},                     // at 15 back to the start
        {14.9f, true, {0.99f, 5.0f}, 14.9f * 1.4f, 2},  // passes: x (1.3 + 0.02 x 5)
        {14.9f, true, {0.99f, 0.0f}, 14.9f * 1.3f, 2},  // the smallest factor
        {14.9f, true, {0.4f, 0.2f}, 17.9f, 2},          // fails (1 - 15/27.9): +3
        {1.0f, true, {0.0f, 0.5f}, 1.31f, 2},           // near the start it always leaps
        {1.0f, false, {0.3f}, 4.0f, 1},                 // nothing found: no leap test
        {4.0f, false, {0.31f}, 1.0f, 1},                // and back to 1
    };
    for (const Case& c : cases) {
        std::deque<float> draws = c.draws;
        size_t used = 0;
        const float next = NextLeap(c.leap, c.found, 5.0f, [&](float max) {
            ++used;
            const float d = draws.front();
            draws.pop_front();
            EXPECT_LE(d, max);
            return d;
        });
        EXPECT_FLOAT_EQ(next, c.next) << c.leap;
        EXPECT_EQ(used, c.used) << c.leap;
    }
    EXPECT_EQ(LeapMatch(1.0f), 1u);
    EXPECT_EQ(LeapMatch(7.9f), 7u);
    EXPECT_EQ(LeapMatch(-2.0f), 1u);
    EXPECT_EQ(LeapMatch(std::nanf("")), 1u);
    EXPECT_EQ(LeapMatch(kInf), 1000000u);
}

TEST(VisitorRules, TiredVisitorsAreTintedDownToSixTenths) {
    EXPECT_FLOAT_EQ(EnergyTint(80.0f, 40.0f), 1.0f);
    EXPECT_FLOAT_EQ(EnergyTint(20.0f, 40.0f), 0.8f);
    EXPECT_FLOAT_EQ(EnergyTint(0.0f, 40.0f), 0.6f);
    EXPECT_FLOAT_EQ(EnergyTint(50.0f, 0.0f), 0.6f);
}

TEST(VisitorRules, TheRingTileWithTheBestScoreWinsTheFirstOfEqualsStays) {
    const TileRect hut{5, 5, 2, 2};  // covers 4..5 x 4..5; the ring 3..6 x 3..6
    const auto pick = [&](const std::function<int(TilePoint)>& score) -> std::optional<TilePoint> {
        TilePoint out{-1, -1};
        if (!BestRingTile(hut, score, out)) return std::nullopt;
        return out;
    };
    // `tile` scores `score`, every other tile `rest`.
    const auto only = [](TilePoint tile, int score, int rest) {
        return [=](TilePoint p) { return p == tile ? score : rest; };
    };
    // Every tile scores 1 but (6, 4) scores 2 and (3, 6) 3: the search ends there.
    std::vector<TilePoint> asked;
    EXPECT_EQ(pick([&](TilePoint p) {
                  asked.push_back(p);
                  return p == TilePoint{3, 6} ? 3 : only({6, 4}, 2, 1)(p);
              }),
              (TilePoint{3, 6}));
    EXPECT_EQ(asked.size(), 4u);  // column 3, rows 3..6
    EXPECT_EQ(pick(only({6, 4}, 2, 1)), (TilePoint{6, 4}));
    EXPECT_EQ(pick(only({-9, -9}, 0, 1)), (TilePoint{3, 3}));
    for (int col = 4; col <= 5; ++col)
        for (int row = 4; row <= 5; ++row) EXPECT_EQ(pick(only({col, row}, 3, 0)), std::nullopt) << col << row;
}

}  // namespace
