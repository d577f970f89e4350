#pragma once
// The game's tile: the park's vocabulary of materials and states, the
// building that occupies it, an overlay marking drawn with its state, and
// the joined-corner look of paved ground.
//
// Materials, by character and name (the words levels and saved parks use):
// "C" concrete, "B" cobblestone, "S" sandstone, "P" pier (paved: sidewalk,
// buildable, drawn in three looks each), "@" spawn and "#"
// unbuildable_sidewalk (sidewalk, not buildable, drawn as the current
// level's sidewalk material), "X" unbuildable_empty (nothing), "T" (no name;
// buildable, one frame). Any other character, "_" and 0 included, is empty
// ground: buildable, drawn as nothing.
//
// States draw "s", "g", "r", "a", "*" as frames 0..4 and every other
// lower-case letter or digit as frame 0; the overlay "#" draws the frames of
// "a" and then "*". A frame 0 state (a door) draws above the overlay, every
// other state below it. Frame 5 marks a tile that refuses the held
// building; the building draws it over its own picture, which hides the
// tiles it stands on (DrawRefusal).
//
// The occupant is set and cleared by the building standing on the tile; the
// tile never owns it. Main thread only.

#include <cstdint>
#include <string_view>

#include "game/park/grid/grid_tile.h"

class KivraBuilding;

class KivraTile : public GridTile {
public:
    KivraTile(TileChar material, int32_t col, int32_t row) : GridTile(material, col, row) {}

    void DrawState(Graphics& g, int x, int y) override;
    bool IsWalkable() const override { return occupant == nullptr && IsSidewalk(); }
    bool IsBuildable() const override;
    // Mirrored as the joined-corner look asks, about the cel's centre; a
    // vertically mirrored cel sits one pixel higher.
    void Draw(Graphics& g, Image* image, float x, float y, int frame) override;
    int GetMaterialFrame() const override;
    int GetStateFrame() const override { return StateFrame(state); }
    void DrawRefusal(Graphics& g, int x, int y);
    void AppendLook(std::vector<uint64_t>& words) const override;
    virtual bool IsSidewalk() const;

    // Exact names only; 0 for any other.
    static TileChar NameToMaterial(std::wstring_view name);
    // "" for 0, "_", "T" and every character the park does not name.
    static std::wstring_view MaterialToName(TileChar material);
    // The frame in "tile_states" of one state character; negative: none.
    static int StateFrame(TileChar c);

    // Picks the look from the four orthogonal neighbours: a tile joined on
    // exactly two neighbours that meet at a corner draws a corner piece.
    // A neighbour joins when it is sidewalk or occupied.
    void Refresh(const GridTileColumns& tiles);

    KivraBuilding* occupant = nullptr;
    TileChar overlay = 0;
    bool refusesHeld = false;  // stamped with the states
    int32_t lookVariant = 0;   // 0 straight, 1 or 2 a corner
    bool mirrorX = false;
    bool mirrorY = false;
};
