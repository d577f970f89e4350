// The words levels and saved parks name the park's materials by.
#include <array>
#include <string>

#include "game/park/grid/kivra_tile.h"
#include "game/park/grid/park_tile_materials.h"

namespace {

struct MaterialName {
    TileChar material;
    std::wstring_view name;
};

constexpr std::array<MaterialName, 7> kNames = {{
    {'C', L"concrete"},
    {'B', L"cobblestone"},
    {'S', L"sandstone"},
    {'P', L"pier"},
    {'@', L"spawn"},
    {'X', L"unbuildable_empty"},
    {'#', L"unbuildable_sidewalk"},
}};

}  // namespace

TileChar KivraTile::NameToMaterial(std::wstring_view name) {
    for (const MaterialName& entry : kNames)
        if (entry.name == name) return entry.material;
    return 0;
}

std::wstring_view KivraTile::MaterialToName(TileChar material) {
    for (const MaterialName& entry : kNames)
        if (entry.material == material) return entry.name;
    return {};
}

std::wstring ParkTileMaterials::MaterialToName(uint16_t code) { return std::wstring(KivraTile::MaterialToName(code)); }

uint16_t ParkTileMaterials::NameToMaterial(std::wstring_view name) { return KivraTile::NameToMaterial(name); }
