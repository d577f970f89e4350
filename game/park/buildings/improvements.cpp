#include "game/park/buildings/improvements.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "foundation/expression/localization_map.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/item_stats.h"

namespace {

const KIVRA_BUILDING_TYPE* BuildingType(std::wstring_view type) {
    return dynamic_cast<const KIVRA_BUILDING_TYPE*>(FindRecordByName(ItemStats::Current(), type));
}

template <class Stats>
const Stats* FindDefinition(const std::map<std::wstring, Stats>* definitions, std::wstring_view label) {
    if (definitions == nullptr) return nullptr;
    const auto it = definitions->find(std::wstring(label));
    return it == definitions->end() ? nullptr : &it->second;
}

constexpr std::array<std::wstring_view, 6> kStatistics = {L"appeal",     L"capacity", L"cost",
                                                          L"ticketcost", L"energy",   L"time"};

// Each statistic the definition changes, as a signed amount and its word:
// "+2 appeal, +4 places". Time per use falls by the offset's size whatever
// its sign, counted in update steps; the player reads seconds.
std::wstring EffectText(const IMPROVEMENT_STATS& record) {
    std::wstring text;
    for (std::wstring_view statistic : kStatistics) {
        const int32_t offset = OffsetOf(record, statistic);
        if (offset == 0) continue;
        const std::wstring amount = statistic == L"time"
                                        ? L"-" + text::FromUtf8(text::PlainDecimal(std::abs(offset / 100.0), 3))
                                        : text::WFormat(L"%+d", offset);
        if (!text.empty()) text += LocalizeLookup(L"effect_separator");
        text += amount + L" " + LocalizeLookup(L"effect_" + std::wstring(statistic));
    }
    return text;
}

}  // namespace

int32_t OffsetOf(const IMPROVEMENT_STATS& record, std::wstring_view property) {
    const auto it = record.offsets.find(std::wstring(property));
    return it == record.offsets.end() ? 0 : it->second;
}

std::optional<PropertyValue> ImprovementProperty(const IMPROVEMENT_STATS& record, std::wstring_view name) {
    if (name == L"label") return PropertyValue::FromWString(record.label);
    if (name == L"coincost") return PropertyValue::FromInt(record.coincost);
    if (name == L"heartcost") return PropertyValue::FromInt(record.heartcost);
    if (name == L"effect_string") return PropertyValue::FromWString(EffectText(record));
    for (std::wstring_view statistic : kStatistics)
        if (name == statistic) return PropertyValue::FromInt(OffsetOf(record, name));
    return std::nullopt;
}

Upgrade::Upgrade(std::wstring_view type, std::wstring_view label) {
    const KIVRA_BUILDING_TYPE* building = BuildingType(type);
    record = FindDefinition(building ? &building->upgrades : nullptr, label);
}

PropertyValue Upgrade::GetProperty(std::wstring_view name) {
    if (name == L"purchased") return PropertyValue::FromBool(purchased);
    if (record != nullptr)
        if (auto value = ImprovementProperty(*record, name)) return *value;
    return ExtendedPropertyInterface::GetProperty(name);
}

Boost::Boost(std::wstring_view type, std::wstring_view label) {
    ticks = -1;
    const KIVRA_BUILDING_TYPE* building = BuildingType(type);
    record = FindDefinition(building ? &building->boosts : nullptr, label);
}

int32_t Boost::FullRunTicks() const {
    if (record == nullptr) return 0;
    const int64_t run = int64_t{record->duration} * WeekDuration() * 100;
    return static_cast<int32_t>(std::clamp<int64_t>(run, 0, INT32_MAX));
}

PropertyValue Boost::GetProperty(std::wstring_view name) {
    if (name == L"time_remaining") return PropertyValue::FromInt(ticks);
    if (name == L"active") return PropertyValue::FromBool(ticks > 0);
    if (record != nullptr) {
        if (name == L"duration") return PropertyValue::FromInt(record->duration);
        if (name == L"duration_string") {
            int32_t weeks = 0, days = 0;
            SplitWeeksDays(FullRunTicks(), weeks, days);
            std::wstring text;
            FormatTime(weeks, days, text, true);
            return PropertyValue::FromWString(std::move(text));
        }
        if (auto value = ImprovementProperty(*record, name)) return *value;
    }
    return Countdown::GetProperty(name);
}
