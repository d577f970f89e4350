// properties/localization.xml as the game's text catalogue reads it; every
// text it enters is then looked up again by its key.
#include "foundation/expression/localization_map.h"
#include "fuzz/harness.h"
#include "game/data/progress/my_localization.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ResetSharedState();
    MyLocalization texts;
    texts.ParseFile(fuzz::WriteScratchFile("localization.xml", data, size));
    double sum = 0;
    for (const auto& [key, text] : LocalizationMap())
        sum += static_cast<double>(LocalizeLookup(key).size()) + text.size();
    fuzz::Keep(sum);
    return 0;
}
