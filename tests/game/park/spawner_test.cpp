// The visitor spawner: its timing from the constants, the arrival curve as
// properties over several timings, dropping while spawning is disabled,
// unknown types, and the park grid's one spawner made from the level.
#include <gtest/gtest.h>

#include <numeric>

#include "foundation/expression/constants_map.h"
#include "foundation/system/runtime_random.h"
#include "game/park/parkgrid/kivra_spawner.h"
#include "game/park/people/person.h"
#include "tests/game/park/park_grid_bench.h"

namespace {

using testsupport::LevelBuilder;
using Counts = std::map<std::wstring, uint32_t, std::less<>>;

struct TimingCase {
    const char* name;
    SpawnTimingConstants constants;
    SpawnTiming expected;
};

class SpawnTimingTable : public testing::TestWithParam<TimingCase> {};

TEST_P(SpawnTimingTable, PartsFillThePeriod) {
    EXPECT_EQ(ComputeSpawnTiming(GetParam().constants), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Spawner, SpawnTimingTable,
    testing::Values(
        TimingCase{"HalfAWeekInQuarters", {.weekDuration = 60}, {3000, 750, 1500, 750}},
        TimingCase{"RiseGiven", {.full = 40, .increasing = 10}, {4000, 1000, 2000, 1000}},
        TimingCase{"FallGiven", {.full = 40, .decreasing = 10}, {4000, 1000, 2000, 1000}},
        TimingCase{"PeakGiven", {.full = 40, .maximum = 10}, {4000, 1500, 1000, 1500}},
        TimingCase{"TwoGiven", {.full = 40, .decreasing = 5, .maximum = 20}, {4000, 1500, 2000, 500}},
        TimingCase{
            "AllGivenMakeThePeriod", {.increasing = 5, .decreasing = 15, .maximum = 10}, {3000, 500, 1000, 1500}},
        TimingCase{
            "NoFallIsAStep", {.full = 30, .increasing = 10, .decreasing = 0, .maximum = 20}, {3000, 1000, 2000, 0}},
        TimingCase{"PartsLongerThanThePeriodAreCut", {.full = 10, .increasing = 30, .maximum = 30}, {1000, 1000, 0, 0}},
        TimingCase{"ShortPartsLeaveTheRestToThePeak",
                   {.full = 40, .increasing = 10, .decreasing = 0, .maximum = 10},
                   {4000, 1000, 3000, 0}},
        TimingCase{"NegativeCountsAsNothing", {.full = 20, .increasing = -10}, {2000, 0, 1333, 667}},
        TimingCase{"NoWeekNoPeriod", {.weekDuration = 0}, {0, 0, 0, 0}}),
    [](const testing::TestParamInfo<TimingCase>& info) { return info.param.name; });

class Spawner : public testsupport::ParkGridBench {
protected:
    Spawner() {
        ConstantsMap().clear();
        KivraSpawner::ForgetTiming();
        SeedRuntimeRandom(7);
        EnterPark(LevelBuilder(8, 8), 0);
        grid->AddSpawnSpot({1, 1});
        grid->AddSpawnSpot({6, 2});
    }
    ~Spawner() override {
        ConstantsMap().clear();
        KivraSpawner::ForgetTiming();
    }
    KivraSpawner& Make(const Counts& counts) {
        auto* spawner = new KivraSpawner(*grid);
        for (const auto& [type, n] : counts) spawner->AddVisitorEntry(type, n);
        spawner->BuildSpawnQueue();
        grid->AddWidget(spawner);
        return *spawner;
    }
    int Visitors() const {
        return static_cast<int>(std::count_if(grid->Items().begin(), grid->Items().end(),
                                              [](GridItem* item) { return dynamic_cast<Person*>(item) != nullptr; }));
    }
    // The visitors arriving at each of the next steps.
    std::vector<int> Run(KivraSpawner& spawner, int steps) {
        std::vector<int> arrivals;
        for (int i = 0; i < steps; ++i) {
            const int before = Visitors();
            spawner.Update();
            arrivals.push_back(Visitors() - before);
        }
        return arrivals;
    }
    static int Sum(const std::vector<int>& v, size_t from, size_t to) {
        return std::accumulate(v.begin() + static_cast<std::ptrdiff_t>(from),
                               v.begin() + static_cast<std::ptrdiff_t>(to), 0);
    }
};

struct CurveCase {
    std::vector<std::pair<const wchar_t*, int>> constants;
    uint32_t visitors;
};

class SpawnCurve : public Spawner, public testing::WithParamInterface<CurveCase> {};

// The whole queue arrives within the period (at once without one), more
// late than early in the rise, fewer late than early in the fall, and
// nothing once the queue has ended.
TEST_P(SpawnCurve, TheQueueArrivesWithinThePeriod) {
    for (const auto& [name, value] : GetParam().constants) ConstantsMap()[name] = PropertyValue(value);
    KivraSpawner& spawner = Make({{L"walker", GetParam().visitors}});
    const SpawnTiming t = KivraSpawner::Timing();
    const std::vector<int> arrivals = Run(spawner, static_cast<int>(t.period) + 50);
    EXPECT_EQ(Sum(arrivals, 0, std::max<size_t>(t.period, 1)), static_cast<int>(GetParam().visitors));
    EXPECT_FALSE(spawner.HasQueuedVisitors());
    const uint32_t fall = t.rampUp + t.peak;
    if (t.rampUp >= 4) {
        EXPECT_LT(Sum(arrivals, 0, t.rampUp / 2), Sum(arrivals, t.rampUp / 2, t.rampUp));
    }
    if (t.rampDown >= 4) {
        EXPECT_GT(Sum(arrivals, fall, fall + t.rampDown / 2), Sum(arrivals, fall + t.rampDown / 2, t.period));
    }
    EXPECT_EQ(Run(spawner, 5), std::vector<int>(5, 0));
}

INSTANTIATE_TEST_SUITE_P(Spawner, SpawnCurve,
                         testing::Values(CurveCase{{{L"week_duration", 10}}, 120},
                                         CurveCase{{{L"spawn_time_full", 6},
                                                    {L"spawn_time_increasing", 3},
                                                    {L"spawn_time_maximum", 3},
                                                    {L"spawn_time_decreasing", 0}},
                                                   90},
                                         CurveCase{{{L"spawn_time_full", 2}, {L"spawn_time_maximum", 2}}, 7},
                                         CurveCase{{{L"week_duration", 0}}, 40}));

// Disabled, owed visitors are dropped and the queue keeps its length; the
// rate goes on from the tick reached. A type the catalogue lacks is taken
// off the queue and makes nothing.
TEST_F(Spawner, DisabledSpawningDropsTheOwedAndKeepsTheQueue) {
    ConstantsMap()[L"week_duration"] = PropertyValue(10);
    KivraSpawner& spawner = Make({{L"walker", 300}, {L"ghost", 100}});
    ConstantsMap()[L"disable_spawning"] = PropertyValue(true);
    Run(spawner, 200);
    EXPECT_EQ(Visitors(), 0);
    EXPECT_EQ(spawner.QueuedVisitors(), 400u);
    EXPECT_LT(spawner.Owed(), 1.0f);
    ConstantsMap()[L"disable_spawning"] = PropertyValue(false);
    // At the peak: 2 x 400 / 750 visitors a step, three quarters of them walkers.
    const auto owed = static_cast<uint64_t>(spawner.Owed() + 30.0f * spawner.SpawnRate());
    EXPECT_FLOAT_EQ(spawner.SpawnRate(), 800.0f / 4500.0f * 6.0f);
    const int arrived = Sum(Run(spawner, 30), 0, 30);
    EXPECT_EQ(spawner.SpawnTick(), 230u);
    EXPECT_EQ(spawner.QueuedVisitors(), 400u - owed);
    EXPECT_NEAR(Visitors(), static_cast<double>(owed) * 0.75, 8.0);
    EXPECT_EQ(arrived, Visitors());
}

// A saved park's marketing may name a building: nothing stands on the spawn spots.
TEST_F(Spawner, OnlyVisitorTypesArrive) {
    ConstantsMap()[L"week_duration"] = PropertyValue(0);
    KivraSpawner& spawner = Make({{L"walker", 2}, {L"hut", 3}});
    Run(spawner, 3);
    EXPECT_EQ(Visitors(), 2);
    EXPECT_EQ(Buildings(), 0);
    EXPECT_FALSE(spawner.HasQueuedVisitors());
}

// Counts from the level's customers and marketing; a second spawner
// replaces the first; an empty queue leaves the spawner idle.
TEST_F(Spawner, TheParkMakesOneSpawnerFromItsLevel) {
    ConstantsMap()[L"person_marketing_bonus"] = PropertyValue(2);
    level->marketing = {{L"walker", 3}, {L"ghost", 1}};
    level->marketing_bonus.entries = {L"walker", L"daredevil"};
    grid->CreateSpawner();
    KivraSpawner* first = grid->GetSpawner();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->VisitorCounts(), (Counts{{L"daredevil", 2}, {L"ghost", 1}, {L"walker", 5}}));
    EXPECT_EQ(first->TotalVisitors(), 8u);
    EXPECT_TRUE(first->IsEnabled());

    level->marketing.clear();
    level->marketing_bonus.entries.clear();
    grid->CreateSpawner();
    host.DeleteDeferred();
    const auto spawners = std::count_if(grid->GetChildren().begin(), grid->GetChildren().end(),
                                        [](Widget* w) { return dynamic_cast<KivraSpawner*>(w) != nullptr; });
    EXPECT_EQ(spawners, 1);
    EXPECT_FALSE(grid->GetSpawner()->IsEnabled());
    EXPECT_FALSE(grid->GetSpawner()->HasQueuedVisitors());
    grid->RemoveSpawner();
    EXPECT_EQ(grid->GetSpawner(), nullptr);
}

// The queue holds each type as often as counted, in runs, and one seed
// gives one order.
TEST_F(Spawner, TheQueueIsAShuffleOfTheCounts) {
    const auto drain = [&] {
        KivraSpawner& spawner = Make({{L"a", 20}, {L"b", 10}});
        std::wstring order;
        while (spawner.HasQueuedVisitors()) order += spawner.NextVisitorType();
        spawner.RemoveSelf();
        return order;
    };
    SeedRuntimeRandom(11);
    const std::wstring first = drain();
    EXPECT_EQ(std::count(first.begin(), first.end(), L'a'), 20);
    EXPECT_EQ(std::count(first.begin(), first.end(), L'b'), 10);
    EXPECT_NE(first.substr(0, 20), std::wstring(20, L'a'));
    SeedRuntimeRandom(11);
    EXPECT_EQ(drain(), first);
}

// A damaged save's count queues a thousand of its kind, whatever it says
// (four billion would have asked for gigabytes), the other kinds as
// counted; the rate follows the queue built, so it arrives over the period.
TEST_F(Spawner, AHugeCountQueuesAThousandOfItsKindOverThePeriod) {
    ConstantsMap()[L"week_duration"] = PropertyValue(10);
    KivraSpawner& spawner = Make({{L"walker", 4000000000u}, {L"ghost", 300}});
    EXPECT_EQ(spawner.QueuedVisitors(), 1300u);
    const SpawnTiming t = KivraSpawner::Timing();
    const std::vector<int> arrivals = Run(spawner, static_cast<int>(t.period) + 10);
    EXPECT_FALSE(spawner.HasQueuedVisitors());
    EXPECT_LT(Sum(arrivals, 0, t.rampUp / 2), Sum(arrivals, t.rampUp / 2, t.rampUp));
    // The ghosts create nothing; the thousand walkers all came.
    EXPECT_EQ(Visitors(), 1000);
}

}  // namespace
