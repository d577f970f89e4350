// The joined-corner look of paved ground.
#include "game/park/grid/kivra_tile.h"

namespace {

bool Joins(const GridTile* neighbour) {
    const auto* tile = dynamic_cast<const KivraTile*>(neighbour);
    return tile != nullptr && (tile->IsSidewalk() || tile->occupant != nullptr);
}

}  // namespace

void KivraTile::Refresh(const GridTileColumns& tiles) {
    const int32_t c = Col();
    const int32_t r = Row();
    int bits = 0;
    if (Joins(TileAt(tiles, c, r - 1))) bits |= 1;
    if (Joins(TileAt(tiles, c, r + 1))) bits |= 2;
    if (Joins(TileAt(tiles, c - 1, r))) bits |= 4;
    if (Joins(TileAt(tiles, c + 1, r))) bits |= 8;
    lookVariant = (bits == 5 || bits == 10) ? 2 : (bits == 6 || bits == 9) ? 1 : 0;
    mirrorX = bits == 6;
    mirrorY = bits == 5;
}
