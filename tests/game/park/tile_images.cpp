#include "tests/game/park/tile_images.h"

#include <vector>

#include "game/park/grid/grid_tile.h"

namespace testsupport {

std::unique_ptr<ImageSurface> MakeTileStrip(const wchar_t* name, int cels) {
    const int w = TileImages::kCelW * cels;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * TileImages::kCelH);
    for (int y = 0; y < TileImages::kCelH; ++y)
        for (int x = 0; x < w; ++x)
            pixels[static_cast<size_t>(y) * w + x] = TileImages::CelColour(x / TileImages::kCelW);
    auto image = std::make_unique<ImageSurface>(false);
    image->SetBits(pixels.data(), w, TileImages::kCelH, false);
    image->SetRowsCols(1, cels);
    image->name = name;
    return image;
}

TileImages::TileImages(bool registered)
    : materials(MakeTileStrip(L"tile_materials", kMaterialCels)),
      states(MakeTileStrip(L"tile_states", kStateCels)),
      findMaterials(registered),
      findStates(registered) {
    GridTile::ForgetTileImages();
}

TileImages::~TileImages() { GridTile::ForgetTileImages(); }

ExtendedPropertyInterface* TileImages::FindImageByName(std::wstring_view name) {
    ++lookups;
    if (name == L"tile_materials" && findMaterials) return materials.get();
    if (name == L"tile_states" && findStates) return states.get();
    return nullptr;
}

}  // namespace testsupport
