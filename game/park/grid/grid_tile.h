#pragma once
// One cell of the park grid. It carries two characters: its material (the
// ground, stored in the level and saved with the park) and its state (a
// transient marking the grid and its items stamp for display and editing),
// the working record of the path search, and the set of items standing on
// it, which it does not own.
//
// Characters are 16-bit codes compared as characters; 0 means none. This
// base knows the materials "S", "G", "R" and the states "s", "g", "r" (frames
// 0, 1, 2); the game's tile (kivra_tile.h) has its own vocabulary.
//
// The images "tile_materials" and "tile_states" and the tile step (the
// materials cel less the overlap constants) are shared by every tile and
// looked up once. A missing image is logged once and its layer draws
// nothing; each later LoadTileImages (every new tile, every grid) asks
// again, and the tile step stays 0 until the materials image is found.
// Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "game/park/base/tile_geometry.h"

class GridItem;
class Graphics;
class Image;

using TileChar = uint16_t;

class GridTile;
// The grid's tiles, by column, then row. The grid owns them.
using GridTileColumns = std::vector<std::vector<std::unique_ptr<GridTile>>>;

// The path search's working record. A plain value: the search resets it by
// assignment (GridTile::ResetSearch).
struct TileSearch {
    enum State : int32_t { kUntouched = 0, kOpen = 1, kClosed = 2 };
    int32_t state = kUntouched;
    float cost = -1.0f;      // of the best path found so far from the start
    float estimate = -1.0f;  // of the remaining way to the target
    TilePoint parent;        // where the best path arrives from; the tile itself when none
    // Whether the walker may enter the tile, asked once per search: each
    // tile is a neighbour of up to eight taken ones. -1: not asked yet.
    int32_t enterable = -1;
};

class GridTile {
public:
    GridTile(TileChar material, int32_t col, int32_t row);
    virtual ~GridTile() = default;
    GridTile(const GridTile&) = delete;
    GridTile& operator=(const GridTile&) = delete;

    // The tile's half of the link: the item keeps its own set of tiles and
    // adds or removes itself here. A null item is ignored; adding twice
    // keeps one entry; removing an absent item does nothing.
    virtual void AddItem(GridItem* item);
    virtual void RemoveItem(GridItem* item);
    virtual bool HasItem(GridItem* item) const;
    // In the order of their addresses.
    virtual const std::vector<GridItem*>& GetItems() const { return items_; }
    // The buildings among the items, in the items' order: a search for a
    // door asks them alone, however many visitors queue on the tile.
    const std::vector<GridItem*>& GetBuildings() const { return buildings_; }

    // (x, y): the tile's point in the grid's pixel space, the centre of its image.
    virtual void DrawMaterial(Graphics& g, int x, int y);
    virtual void DrawState(Graphics& g, int x, int y);
    // The path-cost factor of the tile.
    virtual float GetCost() const { return 1.0f; }
    virtual bool IsWalkable() const { return false; }
    virtual bool IsBuildable() const { return false; }
    // Cel `frame` of the image with its top-left corner at (x, y).
    virtual void Draw(Graphics& g, Image* image, float x, float y, int frame);
    // Negative: nothing to draw.
    virtual int GetMaterialFrame() const;
    virtual int GetStateFrame() const;
    // Appends everything DrawMaterial, DrawState and Draw draw from, the
    // shared images and the tile's place aside: equal words draw equal
    // pixels. A tile that draws from more appends it too.
    virtual void AppendLook(std::vector<uint64_t>& words) const;

    void ResetSearch() { search = TileSearch{.parent = {col_, row_}}; }
    float DistanceToPoint(TilePoint point, bool squared) const;

    int32_t Col() const { return col_; }
    int32_t Row() const { return row_; }
    TilePoint Position() const { return {col_, row_}; }

    // The shared images and tile step, looked up until found (see above).
    static void LoadTileImages();
    static Image* MaterialsImage();
    static Image* StatesImage();
    static int32_t TileStepW();
    static int32_t TileStepH();
    // Drops the shared images, as when the registry that held them let them
    // go; the next LoadTileImages looks them up again.
    static void ForgetTileImages();

    TileChar material;
    TileChar state = 0;
    TileSearch search;

protected:
    // Draws cel `frame` of `image` centred on (x, y) through Draw; nothing
    // for a negative frame or a missing image.
    void DrawCentred(Graphics& g, Image* image, int x, int y, int frame);

private:
    const int32_t col_;
    const int32_t row_;
    // Sorted, in one block: a walking visitor leaves one tile and joins the
    // next every few steps, and the tiles of a busy way hold hundreds of
    // visitors, whose tree nodes, each fetched on its own, the way in and
    // out waited on; a block is searched in a few lines and moved along.
    std::vector<GridItem*> items_;
    std::vector<GridItem*> buildings_;  // sorted as items_ is
};

// The straight-line distance between two tiles (the path search's
// estimate); 0 without a second tile.
float TileDistance(const GridTile& a, const GridTile* b);

// The tile at (col, row), or null outside the columns. Inline: the path
// search asks it for every neighbour of every tile it takes.
inline GridTile* TileAt(const GridTileColumns& tiles, int32_t col, int32_t row) {
    if (col < 0 || row < 0 || static_cast<size_t>(col) >= tiles.size()) return nullptr;
    const auto& column = tiles[static_cast<size_t>(col)];
    if (static_cast<size_t>(row) >= column.size()) return nullptr;
    return column[static_cast<size_t>(row)].get();
}
