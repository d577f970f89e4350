// The two tile layers and the overlay drawn from tile images made in the
// test, onto a target that records what it receives.
#include <gtest/gtest.h>

#include <string>

#include "foundation/expression/constants_map.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "game/park/grid/kivra_tile.h"
#include "tests/foundation/test_support.h"
#include "tests/game/data/park_test_support.h"
#include "tests/game/park/tile_images.h"
#include "tests/rendering/graphics_test_support.h"

namespace {

using testsupport::TileImages;

constexpr float kW = TileImages::kCelW;
constexpr float kH = TileImages::kCelH;

// The source rectangle of cel `frame` in a one-row strip.
FRect Cel(int frame) { return FRect(kW * static_cast<float>(frame), 0, kW, kH); }

class TileDrawing : public ::testing::Test {
protected:
    TileDrawing() {
        ConstantsMap().clear();
        level_.sidewalk = 'S';
    }
    ~TileDrawing() override { ConstantsMap().clear(); }

    // What one draw put down, in order: the source cel of each call.
    std::vector<FRect> Sources() const {
        std::vector<FRect> out;
        for (const auto& call : target_.calls) out.push_back(call.source);
        return out;
    }

    KIVRA_LEVEL level_;
    testsupport::TestParkPlayer player_{&level_};
    testsupport::RecordingTarget target_{400, 300};
    Graphics g_{&target_};
};

TEST_F(TileDrawing, EachLayerDrawsItsFrameCentredOnTheTilePoint) {
    TileImages images;
    KivraTile tile('@', 4, 2);  // drawn as the level's sandstone
    tile.lookVariant = 2;
    tile.DrawMaterial(g_, 100, 50);
    ASSERT_EQ(target_.calls.size(), 1u);
    EXPECT_EQ(target_.calls[0].image, images.materials.get());
    EXPECT_EQ(target_.calls[0].source, Cel(8));
    EXPECT_FLOAT_EQ(target_.calls[0].x, 100 - kW / 2);
    EXPECT_FLOAT_EQ(target_.calls[0].y, 50 - kH / 2);

    target_.calls.clear();
    tile.state = 'q';  // any other letter: frame 0
    tile.DrawState(g_, 100, 50);
    ASSERT_EQ(target_.calls.size(), 1u);
    EXPECT_EQ(target_.calls[0].image, images.states.get());
    EXPECT_EQ(target_.calls[0].source, Cel(0));

    target_.calls.clear();
    GridTile plain('G', 0, 0);
    plain.state = 'a';  // not the base's state
    plain.DrawMaterial(g_, 10, 10);
    plain.DrawState(g_, 10, 10);
    EXPECT_EQ(Sources(), (std::vector<FRect>{Cel(1)}));
}

TEST_F(TileDrawing, TheOverlayDrawsAboveTheStateAndLeavesItAsItWas) {
    TileImages images;
    const struct {
        TileChar state, overlay;
        std::vector<FRect> cels;
    } cases[] = {
        {'g', '#', {Cel(1), Cel(3), Cel(4)}},  // "#" draws the "a" frame, then the "*" frame
        {'_', '#', {Cel(3), Cel(4)}},
        {'r', 0, {Cel(2)}},
        {0, 'g', {Cel(1)}},
        {'s', '7', {Cel(0), Cel(0)}},
        {'#', 'X', {}},
        {'d', 'a', {Cel(3), Cel(0)}},  // a door's mark shows over the ring of the zone it lies in
        {'2', '#', {Cel(3), Cel(4), Cel(0)}},
    };
    for (const auto& c : cases) {
        target_.calls.clear();
        KivraTile tile('C', 1, 1);
        tile.state = c.state;
        tile.overlay = c.overlay;
        tile.DrawState(g_, 60, 40);
        EXPECT_EQ(Sources(), c.cels) << c.state << " " << c.overlay;
        EXPECT_EQ(tile.state, c.state);
        for (const auto& call : target_.calls) EXPECT_FLOAT_EQ(call.x, 60 - kW / 2);
    }
}

TEST_F(TileDrawing, AMirroredTileTurnsAboutTheCelCentreAndVerticallySitsOnePixelHigher) {
    TileImages images;
    const struct {
        bool mirrorX, mirrorY;
        float scaleX, scaleY, centreY;
    } cases[] = {{true, false, -1, 1, 50}, {false, true, 1, -1, 49}, {true, true, -1, -1, 49}};
    for (const auto& c : cases) {
        target_.calls.clear();
        KivraTile tile('P', 0, 0);
        tile.lookVariant = 1;
        tile.mirrorX = c.mirrorX;
        tile.mirrorY = c.mirrorY;
        tile.DrawMaterial(g_, 100, 50);
        ASSERT_EQ(target_.calls.size(), 1u);
        const auto& call = target_.calls[0];
        EXPECT_EQ(call.op, "transformed");
        EXPECT_EQ(call.source, Cel(10));
        EXPECT_FLOAT_EQ(call.x, 100);
        EXPECT_FLOAT_EQ(call.y, c.centreY);
        EXPECT_FLOAT_EQ(call.matrix.m[0], c.scaleX);
        EXPECT_FLOAT_EQ(call.matrix.m[5], c.scaleY);
    }
}

// A missing "tile_materials" or "tile_states" was dereferenced at the first
// tile made or drawn.
TEST_F(TileDrawing, AMissingImageDrawsNothingIsLoggedOnceAndIsFoundLater) {
    testsupport::TempFolder desktop;
    testsupport::ScopedEnv xdg("XDG_DESKTOP_DIR", desktop.Path().c_str());
    LogSetProductName("TileProbe");
    LogInit(true);
    ConstantsMap()[L"grid_tile_overlap_x"] = PropertyValue(2);
    ConstantsMap()[L"grid_tile_overlap_y"] = PropertyValue(3);

    TileImages images(false);
    KivraTile tile('C', 0, 0);
    tile.state = 'g';
    tile.overlay = '#';
    for (int frame = 0; frame < 3; ++frame) {
        tile.DrawMaterial(g_, 50, 50);
        tile.DrawState(g_, 50, 50);
        KivraTile another('B', 1, 0);
    }
    EXPECT_TRUE(target_.calls.empty());
    EXPECT_EQ(GridTile::TileStepW(), 0);
    EXPECT_EQ(GridTile::TileStepH(), 0);
    EXPECT_GT(images.lookups, 6);  // asked again, not given up on

    images.findMaterials = true;  // the materials arrive; the states stay missing
    KivraTile later('B', 2, 0);
    EXPECT_EQ(GridTile::TileStepW(), TileImages::kCelW - 2);
    EXPECT_EQ(GridTile::TileStepH(), TileImages::kCelH - 3);
    tile.DrawMaterial(g_, 50, 50);
    tile.DrawState(g_, 50, 50);
    EXPECT_EQ(Sources(), (std::vector<FRect>{Cel(0)}));

    images.findStates = true;
    target_.calls.clear();
    tile.DrawState(g_, 50, 50);  // found at the draw itself
    EXPECT_EQ(Sources(), (std::vector<FRect>{Cel(1), Cel(3), Cel(4)}));
    const int settled = images.lookups;
    KivraTile more('C', 3, 0);
    tile.DrawMaterial(g_, 50, 50);
    EXPECT_EQ(images.lookups, settled);  // once both are known nothing is asked again

    LogDisable();
    LogSetProductName("Halvaro");
    const std::wstring log = text::FromUtf16LE(testsupport::ReadBytes(desktop.Path() / "TileProbe.log"));
    auto count = [&log](std::wstring_view what) {
        size_t n = 0;
        for (size_t at = log.find(what); at != std::wstring::npos; at = log.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(L"tile_materials: no such image"), 1u) << text::ToUtf8(log);
    EXPECT_EQ(count(L"tile_states: no such image"), 1u) << text::ToUtf8(log);
}

}  // namespace
