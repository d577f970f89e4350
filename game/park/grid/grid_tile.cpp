#include "game/park/grid/grid_tile.h"

#include <algorithm>
#include <functional>

#include "game/park/grid/grid_item.h"

#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"

GridTile::GridTile(TileChar material, int32_t col, int32_t row) : material(material), col_(col), row_(row) {
    LoadTileImages();
    ResetSearch();
}

void GridTile::AddItem(GridItem* item) {
    if (item == nullptr) return;
    const auto at = std::lower_bound(items_.begin(), items_.end(), item, std::less<GridItem*>());
    if (at != items_.end() && *at == item) return;
    items_.insert(at, item);
    if (item->AsBuilding() == nullptr) return;
    buildings_.insert(std::upper_bound(buildings_.begin(), buildings_.end(), item, std::less<GridItem*>()), item);
}

// Not asked whether it is a building: an item leaving from its destructor
// no longer says so.
void GridTile::RemoveItem(GridItem* item) {
    const auto at = std::lower_bound(items_.begin(), items_.end(), item, std::less<GridItem*>());
    if (at == items_.end() || *at != item) return;
    items_.erase(at);
    if (auto it = std::find(buildings_.begin(), buildings_.end(), item); it != buildings_.end()) buildings_.erase(it);
}

bool GridTile::HasItem(GridItem* item) const {
    return std::binary_search(items_.begin(), items_.end(), item, std::less<GridItem*>());
}

void GridTile::DrawMaterial(Graphics& g, int x, int y) {
    const int frame = GetMaterialFrame();
    if (frame < 0) return;
    DrawCentred(g, MaterialsImage(), x, y, frame);
}

void GridTile::DrawState(Graphics& g, int x, int y) {
    const int frame = GetStateFrame();
    if (frame < 0) return;
    DrawCentred(g, StatesImage(), x, y, frame);
}

void GridTile::DrawCentred(Graphics& g, Image* image, int x, int y, int frame) {
    if (image == nullptr || frame < 0) return;
    Draw(g, image, static_cast<float>(x) - static_cast<float>(image->GetCelWidth()) * 0.5f,
         static_cast<float>(y) - static_cast<float>(image->GetCelHeight()) * 0.5f, frame);
}

void GridTile::Draw(Graphics& g, Image* image, float x, float y, int frame) {
    const FRect cel(0, 0, static_cast<float>(image->GetCelWidth()), static_cast<float>(image->GetCelHeight()));
    g.DrawImage(image, x, y, frame, cel);
}

void GridTile::AppendLook(std::vector<uint64_t>& words) const {
    words.push_back(static_cast<uint32_t>(GetMaterialFrame()) |
                    static_cast<uint64_t>(static_cast<uint32_t>(GetStateFrame())) << 32);
}

int GridTile::GetMaterialFrame() const {
    switch (material) {
        case 'S': return 0;
        case 'G': return 1;
        case 'R': return 2;
        default: return -1;
    }
}

int GridTile::GetStateFrame() const {
    switch (state) {
        case 's': return 0;
        case 'g': return 1;
        case 'r': return 2;
        default: return -1;
    }
}

float GridTile::DistanceToPoint(TilePoint point, bool squared) const {
    return OffsetDistance(int64_t{point.col} - col_, int64_t{point.row} - row_, squared);
}

float TileDistance(const GridTile& a, const GridTile* b) {
    return b == nullptr ? 0.0f : PointDistance(a.Position(), b->Position());
}
