#pragma once
// The records of levels.xml: a level (the starting layout of one park: size
// and tile map, camera, named counters, goals and placed items), its items
// and its goals. A level owns its items and goals. Saved parks are levels too
// (the game layer derives from these); copies are made by the catalogue's
// clone operations, never by the copy constructor.

#include <cstdint>
#include <string>
#include <string_view>

#include "game/data/catalogues/catalogue_base.h"
#include "game/data/catalogues/level_tiles.h"
#include "game/data/catalogues/property_containers.h"

// Base of the three level records; matched by its first text field.
class LEVEL_ELEMENT : public Indexable {};

struct LEVEL_ITEM : LEVEL_ELEMENT {
    bool Matches(std::wstring_view text) const override { return type == text; }
    PropertyValue GetProperty(std::wstring_view name) override;

    std::wstring type;  // the item type's name
    int32_t col = 0;
    int32_t row = 0;
    int32_t orientation = 0;
    std::wstring action;
    // Left out of its park and kept unchanged, and the player told so once:
    // saves mark it (see LevelStats::WriteItem), and a reading of the mark
    // takes it as told.
    bool told = false;
};

struct LEVEL_GOAL : LEVEL_ELEMENT {
    enum Comparison : int32_t { kBelow = 0, kExactly = 1, kAbove = 2 };

    bool Matches(std::wstring_view text) const override { return name == text; }
    PropertyValue GetProperty(std::wstring_view name) override;

    std::wstring name;
    std::wstring metric;  // the level metric the goal watches
    float requirement = 0.0f;
    int32_t comparison = kBelow;
    bool completed = false;
};

struct LEVEL : LEVEL_ELEMENT {
    bool Matches(std::wstring_view text) const override { return name == text; }
    PropertyValue GetProperty(std::wstring_view name) override;

    std::wstring name;
    std::wstring background;
    int32_t cols = 0;
    int32_t rows = 0;
    int32_t grid_x = 0;
    int32_t grid_y = 0;
    int32_t camera_x = 0;
    int32_t camera_y = 0;
    ExtendedPropertyMap<int32_t> metrics;
    ExtendedPropertyVector<LEVEL_GOAL> goals;
    ExtendedPropertyVector<LEVEL_ITEM> items;
    TileColumns tiles;  // tiles[col][row]
};
