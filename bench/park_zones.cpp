// The park's zones: one building joining them (neighbours, buff and clash,
// the combination search, the offsets around it) and one leaving them, in
// parks of 50 to 400 buildings of 2 x 2 tiles, zone 2, with combinations of
// each requirement kind. A park grows with its buildings (400 fill 64 x 64
// as densely as 50 fill 23 x 23); the crowded variants put every count on
// 64 x 64, where each building's neighbours grow with the count too and the
// search over pairs of them with its square. The yardstick is the scan any
// join needs: every building's zone tested against the new one.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <random>
#include <vector>

#include "game/park/parkgrid/park_zones.h"
#include "tests/game/park/zone_test_park.h"

namespace {

using testsupport::ZoneTestBuilding;
using testsupport::ZoneTestPark;

struct ZonedPark {
    ZonedPark(int count, bool crowded) {
        const int side = crowded ? 62 : static_cast<int>(std::lround(62.0 * std::sqrt(count / 400.0)));
        park.Define(L"kids", 2, {L"castle", L"pipes", L"house"});
        KivraComboStats& street = park.Define(L"street", 2, {});
        for (const wchar_t* category : {L"snack", L"snack", L"restaurant"}) street.AddCategory(category);
        park.Define(L"thrill", 1, {}).SetCharacteristic(L"noisy");
        park.Define(L"garden", 0, {L"fountain", L"oak", L"flowers"});
        const wchar_t* types[] = {L"castle", L"pipes", L"house", L"cart", L"diner", L"fountain", L"oak", L"flowers"};
        const wchar_t* categories[] = {L"ride", L"ride", L"ride", L"snack", L"restaurant", L"decoration"};
        std::mt19937 rng(4357);
        for (int i = 0; i < count; ++i) {
            ZoneTestBuilding& b =
                park.Add(i + 1, types[rng() % 8], categories[rng() % 6],
                         {static_cast<int32_t>(2 + rng() % side), static_cast<int32_t>(2 + rng() % side), 2, 2}, 2);
            b.characteristics = KivraCharacteristics(static_cast<uint32_t>(rng() % 16));
            b.buff = 0.25f * static_cast<float>(rng() % 3);
            b.ticketPrice = static_cast<int32_t>(rng() % 9);
        }
        park.Start(zones);
    }
    ZoneTestPark park;
    ParkZones zones{park};
};

// Times either the join or the leave of each building in turn; the other
// half of the round trip runs untimed.
void RoundTrip(benchmark::State& state, bool timeJoin, bool crowded) {
    ZonedPark z(static_cast<int>(state.range(0)), crowded);
    std::vector<ZoneBuilding*> all = z.park.standing;
    size_t next = 0;
    for (auto _ : state) {
        ZoneBuilding& b = *all[next];
        next = (next + 1) % all.size();
        const auto t0 = std::chrono::steady_clock::now();
        z.zones.RemoveFromZones(b, true);
        const auto t1 = std::chrono::steady_clock::now();
        z.zones.UpdateZones(b, true);
        const auto t2 = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(timeJoin ? t2 - t1 : t1 - t0).count());
        z.park.popups.clear();
        z.park.stamps.clear();
    }
}

void BM_ZoneJoin(benchmark::State& state) { RoundTrip(state, true, false); }
void BM_ZoneLeave(benchmark::State& state) { RoundTrip(state, false, false); }
void BM_ZoneJoinCrowded(benchmark::State& state) { RoundTrip(state, true, true); }
void BM_ZoneLeaveCrowded(benchmark::State& state) { RoundTrip(state, false, true); }
BENCHMARK(BM_ZoneJoin)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoneLeave)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoneJoinCrowded)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoneLeaveCrowded)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The yardstick: the zone-overlap scan over the park alone.
void BM_ZoneOverlapScan(benchmark::State& state) {
    ZonedPark z(static_cast<int>(state.range(0)), false);
    size_t next = 0;
    for (auto _ : state) {
        ZoneBuilding& b = *z.park.standing[next];
        next = (next + 1) % z.park.standing.size();
        int found = 0;
        for (ZoneBuilding* other : z.park.ZoneBuildings()) found += other != &b && b.ZoneOverlaps(*other);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_ZoneOverlapScan)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
