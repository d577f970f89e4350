#pragma once
// The catalogue of items.xml: every item type by name. It owns the records;
// placed items keep plain pointers to them for the rest of the run.
//
// Grammar. "items" is the root. "person" and "building" are one type each;
// a building's character data is its footprint. Any other element is a
// group: the first one opened gives its tag as the category of every type
// started inside it; groups nested in it are ignored, and only its own end
// tag closes it. The most recent type stays current after its end tag (an
// end tag equal to the type's name clears it), so text that follows still
// lands on it. In the game layer, "upgrade" and "boost" add an improvement to
// the current building.
//
// Footprint: rows of characters (see level_tiles.h); capitals 'A'-'Z' are the
// cells, '_' is nothing and any other character a door. Width and height span
// the cell nearest the origin to the farthest (by col+row; on a tie the first
// in column-by-column order), and doors are stored relative to the far one.
// A side given by a number (width, height, a building's zone) longer than
// kLongestSide is reported and cut to it.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/data/catalogues/catalogue_base.h"
#include "game/data/catalogues/item_types.h"
#include "game/data/catalogues/property_containers.h"

class ItemStats : public GridParser, public StatsManager {
public:
    ItemStats() = default;
    ~ItemStats() override;
    ItemStats(const ItemStats&) = delete;
    ItemStats& operator=(const ItemStats&) = delete;

    // The loaded item catalogue, or null.
    static ItemStats* Current();

    void Load() override;
    void ElementStart(const std::wstring& name) override;
    void ElementEnd(const std::wstring& name) override;
    void ElementText(const std::wstring& text) override;

    // The type of that exact name, or null.
    ITEM_TYPE* Find(std::wstring_view type) const;
    // Scripts see the catalogue as this map.
    ExtendedPropertyMap<ITEM_TYPE*>& Types() { return types_; }

    // No park has room for a longer side, and the walks over a building's
    // tiles and zone take time with the square of it.
    static constexpr int32_t kLongestSide = 256;

protected:
    // The element's side attribute (or the fallback), no longer than kLongestSide.
    int32_t ReadSide(const wchar_t* attribute, int32_t fallback);
    // A new record for a type tag, or null when the tag names no type.
    virtual std::unique_ptr<ITEM_TYPE> CreateType(const std::wstring& tag);
    // Fills the record from the element; true for a person or building type.
    virtual bool ReadTypeAttributes(ITEM_TYPE& record);

    ITEM_TYPE* CurrentType() const { return currentType_; }

private:
    void ParseFootprint(BUILDING_TYPE& building, const std::wstring& text);

    ExtendedPropertyMap<ITEM_TYPE*> types_;
    // Every record read, replaced ones included: names in the map never dangle.
    std::vector<std::unique_ptr<ITEM_TYPE>> records_;
    std::wstring openGroup_;
    ITEM_TYPE* currentType_ = nullptr;
};

// The game's item catalogue: visitor and building types with their game fields.
class KivraItemStats : public ItemStats {
public:
    void ElementStart(const std::wstring& name) override;

    // Clears the set, then adds each listed name; "none" alone means no characteristic.
    static void ParseCharacteristics(KivraCharacteristics& set, std::wstring_view text);

protected:
    std::unique_ptr<ITEM_TYPE> CreateType(const std::wstring& tag) override;
    bool ReadTypeAttributes(ITEM_TYPE& record) override;

private:
    void ReadBuilding(KIVRA_BUILDING_TYPE& building);
    void ReadPerson(KIVRA_PERSON_TYPE& person);
    void ReadImprovement(IMPROVEMENT_STATS& improvement);
    std::wstring_view TextOr(const wchar_t* name, std::wstring_view fallback) const;
};

// The item type of that exact name in the catalogue, or null (also for no catalogue).
ITEM_TYPE* FindRecordByName(const ItemStats* catalogue, std::wstring_view type);
