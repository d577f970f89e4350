// The game's catalogues as the game reads them: the same text as game.xml,
// items.xml and levels.xml. Levels are then written, read back and written
// again: a saved level must read back to the same text, or a player's park
// would change on every save.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/system/text.h"
#include "fuzz/harness.h"
#include "game/data/catalogues/game_stats.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/level_stats.h"

namespace {

std::wstring Written(LevelStats& levels) {
    std::wstring out;
    levels.WriteLevels(out, L"");
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ResetSharedState();
    const std::string path = fuzz::WriteScratchFile("input.xml", data, size);
    {
        GameStats game;
        game.ParseFile(path);
    }
    {
        KivraItemStats items;
        items.ParseFile(path);
    }
    LevelStats levels;
    levels.ParseFile(path);
    const std::wstring first = Written(levels);

    // With the byte-order mark: without one the reader takes bytes as 8-bit
    // characters, as the game's hand-written data files are.
    const std::string utf8 = "\xEF\xBB\xBF<levels>" + text::ToUtf8(first) + "</levels>";
    const std::string again =
        fuzz::WriteScratchFile("again.xml", reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size());
    LevelStats reread;
    reread.ParseFile(again);
    if (Written(reread) != first) {
        std::fprintf(stderr, "halvaro fuzz: written levels read back differently\n");
        std::abort();
    }
    return 0;
}
