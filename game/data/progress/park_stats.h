#pragma once
// A park's statistics and the list view the HUD reads.
//
// KIVRA_PLAYER_STATS_BLOCK: money and hearts earned and spent, and visitors,
// for one period. Scripts read each counter by name, and "<name>_ptr" gives
// a field handle id (field_handle.h) through which a script follows the
// live counter; never an address. KivraStatsTracker holds the block of the
// current week and the all-time block.
//
// The text list scripts page (the level's marketed visitors) is a
// StatsQuery<std::wstring> (stats_query.h).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/field_handle.h"
#include "foundation/values/property_interface.h"
#include "game/data/progress/stats_query.h"

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
