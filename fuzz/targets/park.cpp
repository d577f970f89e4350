// Saved parks as the game enters them: the input is a profile's level text,
// read by the player's level reader over the game's own constants and item
// catalogue (read once from data/); its first level becomes the player's
// current level and its park grid enters a managed widget tree, starts its
// items and runs a few hundred fixed updates, drawn now and then into a
// context without a surface. Tile pictures are blank stand-ins of the game's
// sizes. Nothing a saved park holds may crash the program, leak or hang it.
#include <filesystem>
#include <string>

#include "foundation/expression/constants.h"
#include "foundation/expression/constants_map.h"
#include "fuzz/harness.h"
#include "game/data/catalogues/countdown.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_player_state.h"
#include "game/park/grid/park_tile_materials.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "widgets/tree/widget_manager.h"

namespace {

constexpr int kUpdates = 300;
constexpr int kDrawEvery = 50;

// What every input shares and none may change: the item catalogue, the
// constants as data/ gives them, the tile pictures and material names.
struct Shipped {
    Shipped() {
        // Back in the folder libFuzzer started in afterwards: it reads the
        // corpus folders it was given from there.
        const std::filesystem::path home = std::filesystem::current_path();
        fuzz::InScratchFolder::Enter(HALVARO_SOURCE_DIR "/data");
        ConstantsMap().clear();
        Constants read;
        items.Load();
        constants = ConstantsMap();
        fuzz::InScratchFolder::Enter(home);
        fuzz::RegisterImage(L"tile_materials", 64, 32, 1, 13);
        fuzz::RegisterImage(L"tile_states", 64, 32, 1, 6);
    }
    KivraItemStats items;
    VariableMap constants;
    ParkTileMaterials materials;
    ScopedService<TileMaterials> names{&materials};
};

void Play(KivraPlayerState& player) {
    fuzz::RunTree(
        kUpdates, kDrawEvery,
        [](WidgetManager& manager) {
            auto* grid = new KivraGrid();
            manager.AddWidget(grid);
            grid->StartItems();
        },
        [] { return true; });
    fuzz::Keep(player.GetCurrentLevel() ? player.GetCurrentLevel()->money : 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Shipped shipped;
    fuzz::ResetSharedState();
    ConstantsMap() = shipped.constants;
    GridTile::ForgetTileImages();
    Countdown::ForgetCachedValues();
    const std::string path = fuzz::WriteScratchFile("profile.xml", data, size);
    const fuzz::InScratchFolder inScratch;
    KivraPlayerState player;
    player.ParseFile(path);
    if (player.FirstLevel() == nullptr) return 0;
    player.MakeCurrent();
    player.SetCurrentLevel(player.FirstLevel()->name);
    if (player.GetCurrentLevel() != nullptr) Play(player);
    GridTile::ForgetTileImages();
    return 0;
}
