#pragma once
// What the goals and the park record ask of the park simulation, which sits
// in the layer above: the park's placed buildings and zones implement
// GoalBuilding and GoalZone, and the park installs its tile-material names as
// a TileMaterials service. The null service knows no material (name "",
// code 0).

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/system/service.h"
#include "game/data/catalogues/combo_stats.h"

// A placed building as the goal checks see it.
class GoalBuilding : public ComboBuilding {
public:
    virtual float Appeal() const = 0;
    // Every upgrade its type offers has been bought.
    virtual bool IsFullyUpgraded() const = 0;
};

// A zone: buildings that together formed a combo.
class GoalZone {
public:
    virtual ~GoalZone() = default;
    virtual const std::wstring& ZoneName() const = 0;
};

class TileMaterials {
public:
    virtual ~TileMaterials() = default;
    virtual std::wstring MaterialToName(uint16_t code) = 0;
    // 0 for a name the park does not list.
    virtual uint16_t NameToMaterial(std::wstring_view name) = 0;

    static TileMaterials& Fallback();
};

class NullTileMaterials : public TileMaterials {
public:
    std::wstring MaterialToName(uint16_t) override { return {}; }
    uint16_t NameToMaterial(std::wstring_view) override { return 0; }
};
