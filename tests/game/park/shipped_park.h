#pragma once
// A shipped level played on the park bench: the game's own constants, item
// and level catalogues read from data/, a real player state with its copy of
// every level, the recording display, and the park grid of the chosen level
// entered into the bench's widget manager. Only the tile pictures are plain
// stand-ins (their size fixes the tile step); building pictures are absent.

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "foundation/expression/constants.h"
#include "foundation/expression/constants_map.h"
#include "game/data/catalogues/countdown.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/kivra_player_state.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/grid/park_tile_materials.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "tests/game/park/board_scene.h"
#include "tests/game/park/park_bench.h"
#include "tests/game/park/recording_display.h"

namespace testsupport {

class ShippedPark : public ParkBench {
protected:
    explicit ShippedPark(std::wstring_view levelName = L"maple_green") {
        display.findGrid = [this] { return LastParkGrid(mgr); };
        GridTile::ForgetTileImages();
        Countdown::ForgetCachedValues();
        images.Add(L"tile_materials", 64, 32, 1, 13);
        images.Add(L"tile_states", 64, 32, 1, 6);
        ConstantsMap().clear();
        Constants constants;
        items.Load();
        levels.Load();
        player = std::make_unique<KivraPlayerState>();
        player->MakeCurrent();
        player->SetCurrentLevel(levelName);
        level = player->GetCurrentLevel();
        // An opaque ground, so the pointer finds the park everywhere on it.
        if (level != nullptr)
            if (auto* ground = dynamic_cast<ImageSurface*>(images.Add(level->background, 2048, 1024))) {
                std::fill_n(ground->GetBits(), ground->GetWidth() * ground->GetHeight(), 0xFF406040u);
                ground->CommitBits();
            }
    }
    ~ShippedPark() override {
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
        player.reset();
        GridTile::ForgetTileImages();
        Countdown::ForgetCachedValues();
        ConstantsMap().clear();
    }

    // The park enters the tree and starts its items, as the game's display does.
    KivraGrid* EnterPark() {
        grid = new KivraGrid();
        mgr.AddWidget(grid);
        grid->StartItems();
        display.TakeLog();
        return grid;
    }

    template <class T = KivraBuilding>
    T* FirstOfType(std::wstring_view type) const {
        for (GridItem* item : grid->Items())
            if (item->GetType() == type)
                if (auto* found = dynamic_cast<T*>(item)) return found;
        return nullptr;
    }

    TileChar MaterialAt(TilePoint at) const { return grid->GetTileAt(at.col, at.row)->material; }

private:
    CurrentDirectoryGuard cwd_{HALVARO_SOURCE_DIR "/data"};
    ParkTileMaterials materials_;
    ScopedService<TileMaterials> names_{&materials_};

protected:
    NamedImages images;
    KivraItemStats items;
    KivraLevelStats levels;
    std::unique_ptr<KivraPlayerState> player;
    KIVRA_LEVEL* level = nullptr;
    RecordingDisplay display;
    KivraGrid* grid = nullptr;
};

}  // namespace testsupport
