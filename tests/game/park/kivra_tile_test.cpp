#include <gtest/gtest.h>

#include <string>

#include "game/park/grid/kivra_tile.h"
#include "tests/game/data/park_test_support.h"
#include "tests/game/park/tile_grid.h"

namespace {

using testsupport::TestParkPlayer;

KivraBuilding* SomeBuilding() {
    static int standIn = 0;
    return reinterpret_cast<KivraBuilding*>(&standIn);
}

TEST(KivraTile, MaterialsAnswerTheirTable) {
    KIVRA_LEVEL level;
    level.sidewalk = 'B';
    TestParkPlayer player(&level);
    const struct {
        TileChar c;
        const wchar_t* name;
        bool sidewalk, buildable;
        int frame;  // at look 1
    } cases[] = {
        {'C', L"concrete", true, true, 1},
        {'B', L"cobblestone", true, true, 4},
        {'S', L"sandstone", true, true, 7},
        {'P', L"pier", true, true, 10},
        {'@', L"spawn", true, false, 4},  // drawn as the level's cobblestone
        {'X', L"unbuildable_empty", false, false, -1},
        {'#', L"unbuildable_sidewalk", true, false, 4},
        {'T', L"", false, true, 12},
        {'_', L"", false, true, -1},
        {0, L"", false, true, -1},
        {'c', L"", false, true, -1},
        {0x263A, L"", false, true, -1},
    };
    for (const auto& c : cases) {
        KivraTile tile(c.c, 0, 0);
        tile.lookVariant = 1;
        EXPECT_EQ(tile.IsSidewalk(), c.sidewalk) << c.c;
        EXPECT_EQ(tile.IsWalkable(), c.sidewalk) << c.c;
        EXPECT_EQ(tile.IsBuildable(), c.buildable) << c.c;
        EXPECT_EQ(tile.GetMaterialFrame(), c.frame) << c.c;
        EXPECT_EQ(KivraTile::MaterialToName(c.c), c.name) << c.c;
        if (*c.name != 0) {
            EXPECT_EQ(KivraTile::NameToMaterial(c.name), c.c);
        }
        // An occupied tile is neither walkable nor buildable, yet still sidewalk.
        tile.occupant = SomeBuilding();
        EXPECT_FALSE(tile.IsWalkable()) << c.c;
        EXPECT_FALSE(tile.IsBuildable()) << c.c;
        EXPECT_EQ(tile.IsSidewalk(), c.sidewalk) << c.c;
    }
    EXPECT_EQ(KivraTile::NameToMaterial(L"Concrete"), 0);  // case matters
    EXPECT_EQ(KivraTile::NameToMaterial(L""), 0);
    EXPECT_EQ(KivraTile::NameToMaterial(L"concrete "), 0);
}

TEST(KivraTile, SpawnAndUnbuildableSidewalkDrawAsTheLevelsSidewalk) {
    KIVRA_LEVEL level;
    TestParkPlayer player(&level);
    const std::pair<TileChar, int> cases[] = {{'C', 2}, {'S', 8}, {'T', 12}, {'X', -1}, {'@', -1}, {0, -1}};
    for (const auto& [sidewalk, frame] : cases) {
        level.sidewalk = sidewalk;
        KivraTile spawn('@', 3, 3), rim('#', 3, 4);
        spawn.lookVariant = rim.lookVariant = 2;
        EXPECT_EQ(spawn.GetMaterialFrame(), frame) << sidewalk;
        EXPECT_EQ(rim.GetMaterialFrame(), frame) << sidewalk;
    }
}

TEST(KivraTile, StatesAnswerTheirTable) {
    const std::pair<TileChar, int> cases[] = {{'s', 0},  {'g', 1},  {'r', 2},  {'a', 3},  {'*', 4},  {'b', 0},
                                              {'z', 0},  {'0', 0},  {'9', 0},  {'#', -1}, {'_', -1}, {0, -1},
                                              {'A', -1}, {'G', -1}, {'/', -1}, {':', -1}, {'{', -1}, {0x00E9, -1}};
    for (const auto& [state, frame] : cases) {
        KivraTile tile('C', 0, 0);
        tile.state = state;
        EXPECT_EQ(tile.GetStateFrame(), frame) << state;
        EXPECT_EQ(KivraTile::StateFrame(state), frame) << state;
    }
}

// Neighbours above, below, left and right add 1, 2, 4 and 8.
TEST(KivraTile, RefreshPicksTheLookOfEveryNeighbourPattern) {
    struct Look {
        int variant;
        bool mirrorX, mirrorY;
    };
    const Look looks[16] = {
        {0, false, false}, {0, false, false}, {0, false, false}, {0, false, false},  // 0..3
        {0, false, false}, {2, false, true},  {1, true, false},  {0, false, false},  // 4..7
        {0, false, false}, {1, false, false}, {2, false, false}, {0, false, false},  // 8..11
        {0, false, false}, {0, false, false}, {0, false, false}, {0, false, false},  // 12..15
    };
    const TilePoint neighbours[4] = {{1, 0}, {1, 2}, {0, 1}, {2, 1}};
    for (int bits = 0; bits < 16; ++bits) {
        for (bool byOccupant : {false, true}) {
            GridTileColumns tiles(3);
            for (int c = 0; c < 3; ++c)
                for (int r = 0; r < 3; ++r) tiles[c].push_back(std::make_unique<KivraTile>('_', c, r));
            for (int n = 0; n < 4; ++n) {
                if ((bits & (1 << n)) == 0) continue;
                auto& tile = static_cast<KivraTile&>(*tiles[neighbours[n].col][neighbours[n].row]);
                if (byOccupant)
                    tile.occupant = SomeBuilding();
                else
                    tile.material = n % 2 ? '@' : 'P';
            }
            // Diagonal tiles never count.
            static_cast<KivraTile&>(*tiles[0][0]).material = 'C';
            static_cast<KivraTile&>(*tiles[2][2]).material = 'C';
            auto& centre = static_cast<KivraTile&>(*tiles[1][1]);
            centre.mirrorX = centre.mirrorY = true;
            centre.lookVariant = 7;
            centre.Refresh(tiles);
            EXPECT_EQ(centre.lookVariant, looks[bits].variant) << bits;
            EXPECT_EQ(centre.mirrorX, looks[bits].mirrorX) << bits;
            EXPECT_EQ(centre.mirrorY, looks[bits].mirrorY) << bits;
        }
    }
}

TEST(KivraTile, RefreshAtTheEdgeCountsOnlyNeighboursInsideAndPlainTilesNever) {
    GridTileColumns tiles(2);
    tiles[0].push_back(std::make_unique<KivraTile>('C', 0, 0));
    tiles[0].push_back(std::make_unique<KivraTile>('C', 0, 1));
    tiles[1].push_back(std::make_unique<KivraTile>('C', 1, 0));
    tiles[1].push_back(std::make_unique<GridTile>('C', 1, 1));  // not the game's tile: never joins
    auto& corner = static_cast<KivraTile&>(*tiles[0][0]);
    corner.Refresh(tiles);  // below and right: 2 + 8
    EXPECT_EQ(corner.lookVariant, 2);
    EXPECT_FALSE(corner.mirrorX || corner.mirrorY);
    auto& left = static_cast<KivraTile&>(*tiles[0][1]);
    left.Refresh(tiles);  // above only; (1, 1) does not count
    EXPECT_EQ(left.lookVariant, 0);
}

}  // namespace
