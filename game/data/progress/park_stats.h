#pragma once
// A park's statistics and the list view the HUD reads.
//
// KIVRA_PLAYER_STATS_BLOCK: money and hearts earned and spent, and visitors,
// for one period. Scripts read each counter by name, and "<name>_ptr" gives
// a field handle id (field_handle.h) through which a script follows the
// live counter; never an address. KivraStatsTracker holds the block of the
// current week and the all-time block.
//
// StatsQuery: a list of texts with a current index, read by scripts as
// "current", "index", "size", "is_first", "is_last" and by decimal index.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/field_handle.h"
#include "foundation/values/property_interface.h"

struct KIVRA_PLAYER_STATS_BLOCK : ExtendedPropertyInterface {
    PropertyValue GetProperty(std::wstring_view name) override;
    int32_t Reset();

    int32_t money_earned = 0;
    int32_t money_spent = 0;
    int32_t hearts_earned = 0;
    int32_t hearts_spent = 0;
    int32_t visitors = 0;

private:
    FieldHandles handles_;
};

class KivraStatsTracker {
public:
    virtual ~KivraStatsTracker() = default;
    // The two "stats" elements, week block first, each line after `indent`.
    virtual void WriteXml(std::wstring& out, const std::wstring& indent) const;
    // "week" gives the week block, any other name the all-time block.
    KIVRA_PLAYER_STATS_BLOCK& BlockByName(std::wstring_view name);

    KIVRA_PLAYER_STATS_BLOCK week;
    KIVRA_PLAYER_STATS_BLOCK allTime;
};

template <class T>
class StatsQuery;

template <>
class StatsQuery<std::wstring> : public ExtendedPropertyInterface {
public:
    // "current" first moves an index outside the list back to 0.
    PropertyValue GetProperty(std::wstring_view name) override;

    std::vector<std::wstring> entries;
    int32_t index = 0;
};
