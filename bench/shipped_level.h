#pragma once
// A shipped level as the game plays it, for the park's step benches: the
// game's constants, catalogues, scripts and tutorial read from data/, a real
// player state at a tutorial step, and the in-game display (with its park
// grid and tutorial) entered into the bench's widget manager. Only the
// pictures are plain stand-ins (the tile pictures fix the tile step).
//
// Grow fills the park as a player who keeps building would: every empty
// tile paved with the level's sidewalk, then buildings the level sells set
// down in rows, through the same hold-and-place path the pointer takes,
// leaving lanes of sidewalk between them and the ground before the gate
// clear; then the gate opens and visitors of the level's kinds arrive at
// its spawn spots and go in through the gate on their own scripts.
// Nothing is written to data/.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "foundation/expression/constants.h"
#include "foundation/expression/constants_map.h"
#include "foundation/system/random.h"
#include "foundation/system/runtime_random.h"
#include "game/data/catalogues/countdown.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/kivra_player_state.h"
#include "game/frontend/hud/user_interface.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/park/buildings/front_gate.h"
#include "game/park/grid/kivra_tile.h"
#include "game/park/grid/park_tile_materials.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/people/kivra_person.h"
#include "tests/game/park/board_scene.h"
#include "tests/game/park/buyable_types.h"
#include "tests/platform/temp_folder.h"
#include "widgets/script/animation_stats.h"
#include "widgets/tree/widget_manager.h"

namespace benchsupport {

class ShippedLevel {
public:
    // `step`: the tutorial step the player is at (-1 none).
    ShippedLevel(std::wstring_view levelName, int32_t step) {
        // The generators start where a fresh process has them, so each case
        // grows the same park whatever ran before it in the process.
        SeedRandom(4357);
        RuntimeRandom().SetSeed(1);
        GridTile::ForgetTileImages();
        Countdown::ForgetCachedValues();
        images.Add(L"tile_materials", 64, 32, 1, 13);
        images.Add(L"tile_states", 64, 32, 1, 6);
        ConstantsMap().clear();
        { Constants constants; }
        // A week long enough for every step measured: at its end the
        // visitors go home and the night's scenes take over.
        ConstantsMap()[L"week_duration"] = PropertyValue(1'000'000);
        items.Load();
        levels.Load();
        { AnimationStats animations(false); }
        player = std::make_unique<KivraPlayerState>();
        player->MakeCurrent();
        player->SetCurrentLevel(levelName);
        player->SetTutorialStep(step);
        level = player->GetCurrentLevel();
        if (level != nullptr) {
            level->money = 100'000'000;
            images.Add(level->background, 2048, 1024);
        }
        hud = new UserInterface();
        mgr.AddWidget(hud);
        hud->DoAction(L"start_tutorial_action", L"", 0);
        grid = &hud->Grid();
    }
    ~ShippedLevel() {
        mgr.RemoveAllWidgets(true, false);
        player.reset();
        GridTile::ForgetTileImages();
        Countdown::ForgetCachedValues();
        ConstantsMap().clear();
    }
    ShippedLevel(const ShippedLevel&) = delete;
    ShippedLevel& operator=(const ShippedLevel&) = delete;

    void Step() {
        mgr.UpdateFrame();
        mgr.UpdateFractionFrame(1.0f);
    }

    // See above; `visitors` arrive at the spawn spots, the level's kinds in turn.
    void Grow(int visitors) {
        FrontGate* gate = nullptr;
        for (GridItem* item : grid->Items())
            if (auto* g = dynamic_cast<FrontGate*>(item)) gate = g;
        const TileRect gateRect = gate != nullptr ? gate->GetFootprintRect() : TileRect{-100, -100, 0, 0};
        const auto nearGate = [&](int32_t col, int32_t row) {
            return col > gateRect.col - gateRect.cols - 4 && col < gateRect.col + 4 &&
                   row > gateRect.row - gateRect.rows - 4 && row < gateRect.row + 4;
        };
        const TileChar paving = level->sidewalk;
        for (int32_t col = 0; col < grid->Cols(); ++col)
            for (int32_t row = 0; row < grid->Rows(); ++row) {
                auto* tile = dynamic_cast<KivraTile*>(grid->GetTileAt(col, row));
                if (tile != nullptr && tile->occupant == nullptr && tile->IsBuildable() && !tile->IsSidewalk())
                    grid->SetTileMaterial({col, row}, paving);
            }
        const std::vector<std::wstring> types = testsupport::BuyableBuildingTypes(items, *level);
        size_t next = 0;
        for (int32_t row = 2; row < grid->Rows() && !types.empty(); row += 4)
            for (int32_t col = 2; col < grid->Cols(); col += 4) {
                if (nearGate(col, row)) continue;
                for (size_t tried = 0; tried < types.size(); ++tried) {
                    const std::wstring& type = types[(next + tried) % types.size()];
                    if (!Place(type, {col, row})) continue;
                    next = (next + tried + 1) % types.size();
                    ++buildings;
                    break;
                }
            }
        grid->CancelCurrentMode();
        if (gate != nullptr) gate->OpenGate();
        Step();
        const std::vector<TilePoint>& spots = grid->SpawnSpotList();
        // The level's customers, in proportion to their marketing values.
        std::vector<std::wstring> kinds;
        for (const auto& [kind, value] : level->marketing)
            for (int32_t i = 0; i < value; ++i) kinds.push_back(kind);
        std::mt19937 rng(4357);
        for (int i = 0; i < visitors && !spots.empty() && !kinds.empty(); ++i) {
            const TilePoint at = spots[rng() % spots.size()];
            grid->CreateAndPlaceItem(kinds[rng() % kinds.size()], at.col, at.row, 0, L"");
        }
    }

    int InsideBuildings() const {
        int inside = 0;
        for (GridItem* item : grid->Items())
            if (auto* fan = dynamic_cast<KivraPerson*>(item)) inside += fan->GetBuildingInUse() != nullptr;
        return inside;
    }
    int Visitors() const {
        int count = 0;
        for (GridItem* item : grid->Items()) count += dynamic_cast<KivraPerson*>(item) != nullptr;
        return count;
    }

    testsupport::NamedImages images;
    KivraItemStats items;
    KivraLevelStats levels;
    std::unique_ptr<KivraPlayerState> player;
    KIVRA_LEVEL* level = nullptr;
    WidgetManager mgr;
    UserInterface* hud = nullptr;
    KivraGrid* grid = nullptr;
    int buildings = 0;

private:
    // Held, carried to the tile and set down, as the pointer does; false when it does not fit.
    bool Place(const std::wstring& type, TilePoint at) {
        if (grid->GetHeldBuilding() == nullptr || grid->GetHeldBuilding()->GetType() != type) {
            grid->CancelCurrentMode();
            grid->PreviewNewBuilding(type);
        }
        KivraBuilding* held = grid->GetHeldBuilding();
        if (held == nullptr) return false;
        held->MoveTo(at);
        return held->CanPlace() && grid->TryPlaceHeldItem(false);
    }

    testsupport::CurrentDirectoryGuard cwd_{HALVARO_SOURCE_DIR "/data"};
    ParkTileMaterials materials_;
    ScopedService<TileMaterials> names_{&materials_};
    NullFrontendHost frontend_;
    ScopedService<FrontendHost> frontendInstalled_{&frontend_};
};

}  // namespace benchsupport
