// The park's path search on sidewalk grids, diagonals on: corner to corner
// on 64 x 64 (bound 0.2 ms), a failed search that exhausts the grid (bound
// 1 ms, a tenth of the 10 ms step), and a short search on 256 x 256 against
// the same on 16 x 16 (the cost follows the explored area: bound 1.5x).
// BM_LiteralCornerToCorner runs the rules' literal ordered-set form over
// the same grid, the yardstick the heap-ordered open set is measured by.
#include <benchmark/benchmark.h>

#include <memory>

#include "game/park/grid/kivra_tile.h"
#include "game/park/grid/path_search.h"
#include "tests/game/park/path_grid.h"

namespace {

GridTileColumns Sidewalk(int size) {
    GridTileColumns tiles(static_cast<size_t>(size));
    for (int c = 0; c < size; ++c)
        for (int r = 0; r < size; ++r) tiles[static_cast<size_t>(c)].push_back(std::make_unique<KivraTile>('C', c, r));
    return tiles;
}

void RunSearch(benchmark::State& state, GridTileColumns& tiles, const PathQuery& q) {
    PathSearch search;
    TilePath path;
    for (auto _ : state) {
        search.Find(tiles, q, path);
        benchmark::DoNotOptimize(path.data());
    }
    state.counters["steps"] = static_cast<double>(path.size());
}

void BM_CornerToCorner(benchmark::State& state) {
    GridTileColumns tiles = Sidewalk(64);
    RunSearch(state, tiles, {.start = {0, 0}, .target = TilePoint{63, 63}, .allowDiagonal = true});
}
BENCHMARK(BM_CornerToCorner)->Unit(benchmark::kMicrosecond);

void BM_LiteralCornerToCorner(benchmark::State& state) {
    GridTileColumns tiles = Sidewalk(64);
    const PathQuery q{.start = {0, 0}, .target = TilePoint{63, 63}, .allowDiagonal = true};
    for (auto _ : state) benchmark::DoNotOptimize(testsupport::LiteralFindPath(tiles, q).data());
}
BENCHMARK(BM_LiteralCornerToCorner)->Unit(benchmark::kMicrosecond);

// The target stands behind a closed ring: every other tile is explored.
GridTileColumns Walled() {
    GridTileColumns tiles = Sidewalk(64);
    for (int c = 59; c < 64; ++c)
        for (int r = 59; r < 64; ++r)
            if (c == 59 || r == 59) tiles[static_cast<size_t>(c)][static_cast<size_t>(r)]->material = '_';
    return tiles;
}
constexpr PathQuery kWalledOff{.start = {0, 0}, .target = TilePoint{62, 62}, .allowDiagonal = true};

void BM_FailedSearchExhausts(benchmark::State& state) {
    GridTileColumns tiles = Walled();
    RunSearch(state, tiles, kWalledOff);
}
BENCHMARK(BM_FailedSearchExhausts)->Unit(benchmark::kMicrosecond);

void BM_LiteralFailedSearch(benchmark::State& state) {
    GridTileColumns tiles = Walled();
    for (auto _ : state) benchmark::DoNotOptimize(testsupport::LiteralFindPath(tiles, kWalledOff).data());
}
BENCHMARK(BM_LiteralFailedSearch)->Unit(benchmark::kMicrosecond);

// Six tiles across, with a wall to walk round, in the middle of the grid.
void BM_ShortSearch(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    GridTileColumns tiles = Sidewalk(size);
    const int m = size / 2;
    for (int r = m - 3; r <= m + 3; ++r) tiles[static_cast<size_t>(m)][static_cast<size_t>(r)]->material = '_';
    RunSearch(state, tiles, {.start = {m - 3, m}, .target = TilePoint{m + 3, m}, .allowDiagonal = true});
}
BENCHMARK(BM_ShortSearch)->Arg(16)->Arg(256)->Unit(benchmark::kMicrosecond);

}  // namespace
