#include "game/park/grid/path_search.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/game/park/path_grid.h"

using testsupport::AllRecordsReset;
using testsupport::MakeMapGrid;
using testsupport::MaterialMatch;

namespace {

struct SearchCase {
    const char* name;
    std::vector<std::string> map;
    TilePoint start;
    std::optional<TilePoint> target;
    bool diagonal;
    uint32_t wanted;
    TileChar matchMaterial;  // 0: no filter
    TilePath expected;
};

class PathRules : public testing::TestWithParam<SearchCase> {};

// Each expectation is worked out by hand from the rules.
const SearchCase kCases[] = {
    {"StartIsTargetMatchesAtOnce", {"...", "..."}, {1, 1}, TilePoint{1, 1}, true, 1, 0, {}},
    {"NoMatchWantedFinishesOnFirstTile", {"...", "..."}, {0, 0}, TilePoint{2, 1}, true, 0, 0, {}},
    {"UnwalkableTargetIsNeverReached", {"..#", "..."}, {0, 0}, TilePoint{2, 0}, true, 1, 0, {}},
    {"TargetOutsideGridExhaustsTheSearch", {"...", "..."}, {0, 0}, TilePoint{5, 0}, true, 1, 0, {}},
    {"StartOutsideGridFindsNothing", {"...", "..."}, {-1, 0}, TilePoint{1, 0}, true, 1, 0, {}},
    // Both orthogonal ways cost 2.1 with their bend; the lower row leaves first and keeps the tie.
    {"NoDiagonalsTakesTwoSteps", {"..", ".."}, {0, 0}, TilePoint{1, 1}, false, 1, 0, {{1, 0}, {1, 1}}},
    {"DiagonalTakesOneStep", {"..", ".."}, {0, 0}, TilePoint{1, 1}, true, 1, 0, {{1, 1}}},
    {"DiagonalNeedsBothCutTiles", {".#", ".."}, {0, 0}, TilePoint{1, 1}, true, 1, 0, {{0, 1}, {1, 1}}},
    // Right-right-down-down bends once (4.1); right-down-right-down three times (4.3).
    {"FewerBendsWinAtEqualLength",
     {"...", "#..", "##."},
     {0, 0},
     TilePoint{2, 2},
     false,
     1,
     0,
     {{1, 0}, {2, 0}, {2, 1}, {2, 2}}},
    // Leaving the '5' tile costs 5: the way round (4 steps, two bends) costs 4.2 against 6.
    {"CostOfTheTileLeftCounts", {".5.", "..."}, {0, 0}, TilePoint{2, 0}, false, 1, 0, {{0, 1}, {1, 1}, {2, 1}, {2, 0}}},
    {"EnteringACostlyTileCostsOne", {".5.", "..."}, {0, 0}, TilePoint{1, 0}, false, 1, 0, {{1, 0}}},
    {"FirstMatchIsTheNearest", {"M..M", "...."}, {2, 0}, std::nullopt, false, 1, 'M', {{3, 0}}},
    {"SecondMatchEvenWhenTheFirstLiesElsewhere",
     {"M..M", "...."},
     {2, 0},
     std::nullopt,
     false,
     2,
     'M',
     {{1, 0}, {0, 0}}},
    // The walled-off target is never taken; the filter's tile still counts.
    {"FilterMatchesCountBesideTheTarget", {"M..#."}, {1, 0}, TilePoint{4, 0}, false, 1, 'M', {{0, 0}}},
    {"TargetAcceptedByTheFilterCountsOnce", {"....M"}, {0, 0}, TilePoint{4, 0}, false, 2, 'M', {}},
    {"StartItselfCanBeTheMatch", {"M.."}, {0, 0}, std::nullopt, false, 1, 'M', {}},
};

TEST_P(PathRules, FindsTheWayTheRulesGive) {
    const SearchCase& c = GetParam();
    GridTileColumns tiles = MakeMapGrid(c.map);
    MaterialMatch filter(c.matchMaterial);
    PathQuery q{.start = c.start,
                .target = c.target,
                .filter = c.matchMaterial != 0 ? &filter : nullptr,
                .matchesWanted = c.wanted,
                .allowDiagonal = c.diagonal};
    PathSearch search;
    TilePath path{{9, 9}};  // cleared first
    search.Find(tiles, q, path);
    EXPECT_EQ(path, c.expected);
    EXPECT_TRUE(AllRecordsReset(tiles));
}

INSTANTIATE_TEST_SUITE_P(Search, PathRules, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SearchCase>& i) { return std::string(i.param.name); });

// A walker that keeps off one tile the ground would let it walk on.
class Shy : public PathWalker {
public:
    bool CanWalkOn(TilePoint p) override {
        ++asked;
        return p != TilePoint{1, 0} && p != TilePoint{1, 2};
    }
    int asked = 0;
};

TEST(PathSearch, WalkersOwnTestDecidesWhereItGoes) {
    GridTileColumns tiles = MakeMapGrid({"...", "...", "..."});
    Shy shy;
    PathSearch search;
    TilePath path;
    search.Find(tiles, {.start = {0, 0}, .target = TilePoint{2, 0}, .walker = &shy}, path);
    EXPECT_EQ(path, (TilePath{{0, 1}, {1, 1}, {2, 1}, {2, 0}}));
    EXPECT_GT(shy.asked, 0);
    // The same search without the walker goes straight through.
    search.Find(tiles, {.start = {0, 0}, .target = TilePoint{2, 0}}, path);
    EXPECT_EQ(path, (TilePath{{1, 0}, {2, 0}}));
}

TilePoint RandomPoint(std::mt19937& rng, int cols, int rows) {
    const auto col = static_cast<int32_t>(rng() % static_cast<unsigned>(cols));
    return {col, static_cast<int32_t>(rng() % static_cast<unsigned>(rows))};
}

// A random grid of 2 to maxSide + 1 tiles a side, each tile chosen by
// `pick` from a number below 20, and a query on it: stepping diagonally
// every second round, a target two rounds in three, the 'M' filter two in
// three, `matches(rng)` matches wanted.
template <class Pick, class Matches>
PathQuery RandomCase(std::mt19937& rng, int round, int maxSide, Pick pick, Matches matches, GridTileFilter* filter,
                     GridTileColumns& tiles) {
    const int cols = 2 + static_cast<int>(rng() % maxSide), rows = 2 + static_cast<int>(rng() % maxSide);
    std::vector<std::string> map(static_cast<size_t>(rows), std::string(static_cast<size_t>(cols), '.'));
    for (auto& line : map)
        for (char& ch : line) ch = pick(rng() % 20);
    tiles = MakeMapGrid(map);
    PathQuery q;
    q.start = RandomPoint(rng, cols, rows);
    q.allowDiagonal = (round % 2) == 0;
    if (round % 3 != 0) q.target = RandomPoint(rng, cols, rows);
    if (round % 3 != 1) q.filter = filter;
    q.matchesWanted = matches(rng);
    return q;
}

// The fast open set against the literal ordered set, on random grids with
// walls, costly tiles and matches, both ways of stepping and several counts.
TEST(PathSearch, AgreesWithTheLiteralFormOnRandomGrids) {
    std::mt19937 rng(38);
    PathSearch search;
    MaterialMatch filter('M');
    for (int round = 0; round < 300; ++round) {
        GridTileColumns tiles;
        const PathQuery q = RandomCase(
            rng, round, 14, [](unsigned k) { return k < 5   ? '#'
                                                    : k < 6 ? '5'
                                                    : k < 8 ? 'M'
                                                            : '.'; },
            [](std::mt19937& r) { return static_cast<uint32_t>(r() % 4); }, &filter, tiles);
        TilePath fast;
        search.Find(tiles, q, fast);
        ASSERT_TRUE(AllRecordsReset(tiles));
        EXPECT_EQ(fast, testsupport::LiteralFindPath(tiles, q)) << "round " << round;
        // Walls raised and pulled down on the same tiles: the next search
        // sees them, not what the last one learnt of those tiles.
        const int cols = static_cast<int>(tiles.size()), rows = static_cast<int>(tiles[0].size());
        for (int i = 0; i < 4; ++i) {
            const TilePoint a = RandomPoint(rng, cols, rows), b = RandomPoint(rng, cols, rows);
            TileChar& m = TileAt(tiles, a.col, b.row)->material;
            m = m == '#' ? '.' : '#';
        }
        search.Find(tiles, q, fast);
        EXPECT_EQ(fast, testsupport::LiteralFindPath(tiles, q)) << "round " << round << ", walls moved";
    }
}

// Tiles that cost nothing make many ways of exactly one key, and tiles that
// take cost off make keys below zero: the open set orders both as the
// literal ordered set does.
TEST(PathSearch, AgreesWithTheLiteralFormWhereWaysCostNothingOrLess) {
    std::mt19937 rng(51);
    PathSearch search;
    MaterialMatch filter('M');
    for (int round = 0; round < 300; ++round) {
        GridTileColumns tiles;
        const PathQuery q = RandomCase(
            rng, round, 12,
            [](unsigned k) {
                return k < 4 ? '#' : k < 9 ? '0' : k < 11 ? '-' : k < 13 ? 'M' : '.';
            },
            [](std::mt19937& r) { return 1 + static_cast<uint32_t>(r() % 3); }, &filter, tiles);
        TilePath fast;
        search.Find(tiles, q, fast);
        ASSERT_TRUE(AllRecordsReset(tiles));
        EXPECT_EQ(fast, testsupport::LiteralFindPath(tiles, q)) << "round " << round;
    }
}

}  // namespace
