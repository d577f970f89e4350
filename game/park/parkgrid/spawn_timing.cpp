#include "game/park/parkgrid/spawn_timing.h"

#include <algorithm>

#include "foundation/expression/constants_map.h"
#include "game/park/parkgrid/park_helpers.h"

SpawnTiming ComputeSpawnTiming(const SpawnTimingConstants& c) {
    // Signed and wide, so that inconsistent constants cannot wrap before
    // they are cut to the period.
    const auto ticks = [](const std::optional<int32_t>& seconds) -> int64_t {
        return seconds ? std::max<int64_t>(*seconds, 0) * 100 : 0;
    };
    int64_t period = ticks(c.full), up = ticks(c.increasing), down = ticks(c.decreasing), peak = ticks(c.maximum);
    const int given = int{c.increasing.has_value()} + int{c.decreasing.has_value()} + int{c.maximum.has_value()};
    const bool allGiven = given == 3 && !c.full;
    if (allGiven)
        period = up + down + peak;
    else if (!c.full)
        period = std::max<int64_t>(c.weekDuration, 0) * 50;

    if (!allGiven) {
        if (given == 0) {
            up = down = period / 4;
            peak = period - 2 * up;
        } else if (given == 2) {
            // A part given as 0 counts as missing.
            if (up == 0)
                up = period - peak - down;
            else if (down == 0)
                down = period - peak - up;
            else
                peak = period - down - up;
        } else if (given == 1) {
            if (c.maximum) {
                up = (period - peak) / 2;
                down = period - peak - up;
            } else if (c.increasing) {
                peak = 2 * (period - up) / 3;
                down = period - peak - up;
            } else {
                peak = 2 * (period - down) / 3;
                up = period - peak - down;
            }
        }
    }

    SpawnTiming timing;
    timing.period = static_cast<uint32_t>(std::clamp<int64_t>(period, 0, UINT32_MAX));
    timing.rampUp = static_cast<uint32_t>(std::clamp<int64_t>(up, 0, timing.period));
    timing.peak = static_cast<uint32_t>(std::clamp<int64_t>(peak, 0, timing.period - timing.rampUp));
    timing.rampDown = static_cast<uint32_t>(std::clamp<int64_t>(down, 0, timing.period - timing.rampUp - timing.peak));
    // Time the parts leave over is spent at the peak.
    timing.peak = timing.period - timing.rampUp - timing.rampDown;
    return timing;
}

SpawnTimingConstants ReadSpawnTimingConstants() {
    const auto read = [](std::wstring_view name) -> std::optional<int32_t> {
        if (!IsScriptVariableDefined(name)) return std::nullopt;
        return GetConstantInt(name);
    };
    SpawnTimingConstants constants;
    constants.full = read(L"spawn_time_full");
    constants.increasing = read(L"spawn_time_increasing");
    constants.decreasing = read(L"spawn_time_decreasing");
    constants.maximum = read(L"spawn_time_maximum");
    constants.weekDuration = GetConstantInt(L"week_duration");
    return constants;
}
