// The tutorial's steps as the game reads them: the input is
// properties/tutorial_data.xml, read into steps, boxes and highlighted tiles.
// However the file is damaged, reading it may not crash, leak or hang, and
// it holds no more highlights and tiles than a tutorial in a park can use.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "fuzz/harness.h"
#include "game/frontend/hud/tutorial_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool made = std::filesystem::create_directories(fuzz::ScratchFolder() + "/properties") || true;
    static_cast<void>(made);
    fuzz::WriteScratchFile("properties/tutorial_data.xml", data, size);
    const fuzz::InScratchFolder inScratch;
    const TutorialData tutorial = ReadTutorialData("tutorial_data.xml");
    size_t tiles = 0;
    for (const auto& step : tutorial.steps) {
        tiles += step->Highlights().size();
        for (const TilePoint& tile : step->Highlights())
            if (tile.col < 0 || tile.row < 0 || tile.col >= kParkSideBound || tile.row >= kParkSideBound) {
                std::fprintf(stderr, "halvaro fuzz: a highlighted tile at %d, %d lies in no park\n", tile.col,
                             tile.row);
                std::abort();
            }
        fuzz::Keep(step->ProceedEvent() + step->Wait() + (step->MessageBox() ? step->MessageBox()->x : 0));
    }
    if (tiles > size_t{kMostHighlights} * kParkSideBound * kParkSideBound) {
        std::fprintf(stderr, "halvaro fuzz: %zu highlighted tiles, more than the bounds allow\n", tiles);
        std::abort();
    }
    return 0;
}
