#pragma once
// A building's upgrades and boosts: one Upgrade per upgrade its type
// defines, bought once and for good, and one Boost per boost, which runs for
// a number of update steps and then withdraws what it added. Both point to
// their definition in the item catalogue (never owned) and answer scripts:
// the label, the prices, the offset of each statistic they change and those
// changes in the player's words ("effect_string").
// The building applies them (kivra_building_improvements.cpp); these
// records only hold their state. Main thread only.

#include <cstdint>
#include <optional>
#include <string_view>

#include "game/data/catalogues/countdown.h"
#include "game/data/catalogues/item_types.h"

class Upgrade : public ExtendedPropertyInterface {
public:
    explicit Upgrade(const UPGRADE_STATS* record) : record(record) {}
    // The upgrade of that label of the named building type; without one in
    // the catalogue the record is null (Valid() false).
    Upgrade(std::wstring_view type, std::wstring_view label);

    bool Valid() const { return record != nullptr; }
    PropertyValue GetProperty(std::wstring_view name) override;

    const UPGRADE_STATS* record = nullptr;
    bool purchased = false;
};

// The ticks left (Countdown::ticks) are -1 while the boost does not run.
class Boost : public Countdown {
public:
    explicit Boost(const BOOST_STATS* record) : record(record) { ticks = -1; }
    Boost(std::wstring_view type, std::wstring_view label);

    bool Valid() const { return record != nullptr; }
    bool Running() const { return ticks >= 0; }
    int32_t TimeRemaining() const { return ticks; }
    // A full run: the definition's weeks in update steps.
    int32_t FullRunTicks() const;
    PropertyValue GetProperty(std::wstring_view name) override;

    const BOOST_STATS* record = nullptr;
};

// The offset a definition gives one statistic, 0 when it gives none; and
// the six statistics scripts ask improvements about.
int32_t OffsetOf(const IMPROVEMENT_STATS& record, std::wstring_view property);
std::optional<PropertyValue> ImprovementProperty(const IMPROVEMENT_STATS& record, std::wstring_view name);
