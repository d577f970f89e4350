#pragma once
// When visitors arrive: a spawning period of ticks (10 ms each) split into a
// rising ramp, a time at the peak rate and a falling ramp. The parts come
// from constants.xml in seconds; missing ones are completed from the
// others, and without a period half a week is used.
//
// Promises: the three parts always fill the period exactly, whatever the
// constants say: a part larger than what remains of the period is cut to
// it, a negative one counts as 0, and time left over is spent at the peak.
// A ramp of length 0 is a step to or from the peak.

#include <cstdint>
#include <optional>

struct SpawnTiming {
    uint32_t period = 0;
    uint32_t rampUp = 0;
    uint32_t peak = 0;
    uint32_t rampDown = 0;
    bool operator==(const SpawnTiming&) const = default;
};

// The timing constants in seconds, each present when constants.xml defines it.
struct SpawnTimingConstants {
    std::optional<int32_t> full{}, increasing{}, decreasing{}, maximum{};
    int32_t weekDuration = 0;
};

SpawnTiming ComputeSpawnTiming(const SpawnTimingConstants& constants);
// "spawn_time_full", "spawn_time_increasing", "spawn_time_decreasing",
// "spawn_time_maximum" and "week_duration" from the constants map.
SpawnTimingConstants ReadSpawnTimingConstants();
