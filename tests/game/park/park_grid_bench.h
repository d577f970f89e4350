#pragma once
// The park's tests on the park bench: a built level, the game's catalogue of
// buildings read from text, the recording display, and a park grid entered
// into the bench's widget manager. Pointer helpers aim at tiles: a carried
// building's foot lands on the tile aimed at.

#include <algorithm>
#include <fstream>
#include <string>

#include "game/park/buildings/kivra_building.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "tests/game/park/grid_test_support.h"
#include "tests/game/park/recording_display.h"

namespace testsupport {

// "hut": a 2 x 2 ride with a door below; "bench": a stationary 3 x 1 decoration
// with no places; "flowers_red": 1 x 1 with a zone of its own size; "wide": 4 x 3.
inline constexpr std::string_view kParkItems = R"(<items>
  <people><person type="walker"/></people>
  <rides>
    <building type="hut" buycost="100" capacity="4" ticketprice="3" characteristic="noisy, dark">AA AA 2_</building>
    <building type="bench" buycost="40" capacity="0" stationary="true">AAA</building>
    <building type="wide" buycost="1" zone_width="0" zone_height="0">AAAA AAAA AAAA</building>
  </rides>
  <decorations>
    <building type="flowers_red" buycost="10" zone_width="1" zone_height="3">A</building>
  </decorations>
</items>)";

// The park grid with the edit mode open to the tests of the moving tools.
class OpenParkGrid : public KivraGrid {
public:
    using KivraGrid::SetEditMode;
};

class ParkGridBench : public ParkBench, public BoardScene {
protected:
    ParkGridBench() {
        display.findGrid = [this] { return LastParkGrid(mgr); };
        std::ofstream("properties/items.xml") << kParkItems;
        items.Load();
        // An opaque ground, so the pointer finds the park everywhere on it.
        auto* ground = dynamic_cast<ImageSurface*>(images.FindImageByName(L"park_bg"));
        std::fill_n(ground->GetBits(), ground->GetWidth() * ground->GetHeight(), 0xFF406040u);
        ground->CommitBits();
    }
    ~ParkGridBench() override {
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }

    template <class Builder>
    OpenParkGrid* EnterPark(Builder&& builder, int32_t money) {
        Play(builder);
        level->money = money;
        grid = new OpenParkGrid();
        mgr.AddWidget(grid);
        return grid;
    }

    // Where the pointer puts a carried building's foot on the tile, in the
    // grid's pixels (the pointer is on the footprint's middle: of an even
    // side the corner between its two middle tiles).
    PixelPoint TilePixel(TilePoint tile) const {
        const KivraBuilding* held = grid->GetHeldBuilding();
        const TileRect r = held ? held->GetFootprintRect() : TileRect{1, 1, 1, 1};
        const PixelPoint far = grid->TileToScreen(tile.col, tile.row);
        const PixelPoint near = grid->TileToScreen(tile.col - r.cols + 1, tile.row - r.rows + 1);
        return {(far.x + near.x) * 0.5f, (far.y + near.y) * 0.5f};
    }
    void AimAt(TilePoint tile) {
        const PixelPoint p = TilePixel(tile);
        // From one pixel aside: a pointer that does not move tells no one.
        PointerMove(static_cast<int>(grid->GetX() + p.x) + 1, static_cast<int>(grid->GetY() + p.y));
        PointerMove(static_cast<int>(grid->GetX() + p.x), static_cast<int>(grid->GetY() + p.y));
    }
    void ClickAt(TilePoint tile) {
        AimAt(tile);
        const PixelPoint p = TilePixel(tile);
        const int x = static_cast<int>(grid->GetX() + p.x), y = static_cast<int>(grid->GetY() + p.y);
        PointerDown(x, y);
        PointerUp(x, y);
    }

    int Buildings() const {
        int n = 0;
        for (GridItem* item : grid->Items()) n += dynamic_cast<KivraBuilding*>(item) != nullptr;
        return n;
    }

    KivraItemStats items;
    RecordingDisplay display;
    OpenParkGrid* grid = nullptr;
};

}  // namespace testsupport
