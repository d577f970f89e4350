// The images every tile draws from and the tile step, shared by all tiles.
#include <string>
#include <string_view>

#include "foundation/expression/constants_map.h"
#include "foundation/system/app_services.h"
#include "foundation/system/log.h"
#include "game/park/grid/grid_tile.h"
#include "rendering/image/image.h"

namespace {

struct SharedTileImages {
    Image* materials = nullptr;
    Image* states = nullptr;
    int32_t stepW = 0;
    int32_t stepH = 0;
    // A missing image is logged once, not at every tile that asks again.
    bool materialsReported = false;
    bool statesReported = false;
};

SharedTileImages& Shared() {
    static SharedTileImages shared;
    return shared;
}

Image* Lookup(std::wstring_view name, bool& reported) {
    auto* image = dynamic_cast<Image*>(FindImageByName(name));
    if (image == nullptr && !reported) {
        reported = true;
        LogWrite(std::wstring(name) + L": no such image; tiles draw nothing from it until it is registered", true);
    }
    return image;
}

}  // namespace

void GridTile::LoadTileImages() {
    SharedTileImages& s = Shared();
    if (s.materials == nullptr) s.materials = Lookup(L"tile_materials", s.materialsReported);
    if (s.materials != nullptr && s.states != nullptr) return;
    if (s.materials != nullptr) {
        s.stepW = s.materials->GetCelWidth() - GetConstantInt(L"grid_tile_overlap_x");
        s.stepH = s.materials->GetCelHeight() - GetConstantInt(L"grid_tile_overlap_y");
    }
    if (s.states == nullptr) s.states = Lookup(L"tile_states", s.statesReported);
}

Image* GridTile::MaterialsImage() {
    if (Shared().materials == nullptr) LoadTileImages();
    return Shared().materials;
}

Image* GridTile::StatesImage() {
    if (Shared().states == nullptr) LoadTileImages();
    return Shared().states;
}

int32_t GridTile::TileStepW() { return Shared().stepW; }
int32_t GridTile::TileStepH() { return Shared().stepH; }

void GridTile::ForgetTileImages() { Shared() = SharedTileImages{}; }
