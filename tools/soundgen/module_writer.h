#pragma once
// A small four-channel module of our own: three patterns of sixteen rows
// played in the order 0, 1, 0, 2, with a looping lead and bass and a noise
// tick, all drawn here.

#include <cstdint>
#include <vector>

namespace soundgen {

std::vector<uint8_t> BuildTuneModule();

}  // namespace soundgen
