// properties/config.xml as the start-up reads it: the data version, the
// title and the cursors' hot spots.
#include "foundation/files/config_stats.h"
#include "fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ResetSharedState();
    CursorHotspots().clear();
    ConfigStats config;
    config.ParseFile(fuzz::WriteScratchFile("config.xml", data, size));
    double sum = 0;
    for (const auto& [name, spot] : CursorHotspots()) sum += static_cast<double>(name.size()) + spot.x + spot.y;
    fuzz::Keep(sum);
    return 0;
}
