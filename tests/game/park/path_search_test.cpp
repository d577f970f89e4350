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

// The fast open set against the literal ordered set, on random grids and
// queries: both ways of stepping, with and without a target and a filter,
// several counts of matches; then with walls raised and pulled down on the
// same tiles, which the next search must see rather than what the last one
// learnt of those tiles.
TEST(PathSearch, AgreesWithTheLiteralFormOnRandomGrids) {
    const struct {
        const char* what;
        unsigned seed;
        int maxSide;
        // A tile's material, by a number below 20.
        const char* materials;
        uint32_t fewestMatches, moreMatches;
    } mixes[] = {
        {"walls, costly tiles and matches", 38, 14, "#####5MM............", 0, 4},
        // Tiles that cost nothing make many ways of exactly one key, and
        // tiles that take cost off make keys below zero.
        {"ways that cost nothing or less", 51, 12, "####00000--MM.......", 1, 3},
    };
    PathSearch search;
    MaterialMatch filter('M');
    for (const auto& mix : mixes) {
        SCOPED_TRACE(mix.what);
        std::mt19937 rng(mix.seed);
        for (int round = 0; round < 300; ++round) {
            const int cols = 2 + static_cast<int>(rng() % mix.maxSide),
                      rows = 2 + static_cast<int>(rng() % mix.maxSide);
            std::vector<std::string> map(static_cast<size_t>(rows), std::string(static_cast<size_t>(cols), '.'));
            for (auto& line : map)
                for (char& ch : line) ch = mix.materials[rng() % 20];
            GridTileColumns tiles = MakeMapGrid(map);
            PathQuery q;
            q.start = RandomPoint(rng, cols, rows);
            q.allowDiagonal = (round % 2) == 0;
            if (round % 3 != 0) q.target = RandomPoint(rng, cols, rows);
            if (round % 3 != 1) q.filter = &filter;
            q.matchesWanted = mix.fewestMatches + static_cast<uint32_t>(rng() % mix.moreMatches);
            TilePath fast;
            search.Find(tiles, q, fast);
            ASSERT_TRUE(AllRecordsReset(tiles));
            EXPECT_EQ(fast, testsupport::LiteralFindPath(tiles, q)) << "round " << round;
            for (int i = 0; i < 4; ++i) {
                const TilePoint a = RandomPoint(rng, cols, rows), b = RandomPoint(rng, cols, rows);
                TileChar& m = TileAt(tiles, a.col, b.row)->material;
                m = m == '#' ? '.' : '#';
            }
            search.Find(tiles, q, fast);
            EXPECT_EQ(fast, testsupport::LiteralFindPath(tiles, q)) << "round " << round << ", walls moved";
        }
    }
}

}  // namespace
