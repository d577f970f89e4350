// Seeds from the game's own generated content: the small sounds of
// data/sounds (made by tools/soundgen) and the catalogues of data/properties,
// each checked by the reader its target runs.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/audio/pcm_sound.h"
#include "app/audio/sound_files.h"
#include "fuzz/seeds/seeds.h"
#include "game/data/catalogues/level_stats.h"

namespace fs = std::filesystem;

namespace seeds {
namespace {

std::string ReadData(const char* folder, const char* name) {
    std::stringstream text;
    text << std::ifstream(fs::path(HALVARO_SOURCE_DIR) / "data" / folder / name, std::ios::binary).rdbuf();
    return text.str();
}

void WriteSoundSeeds(Corpus& corpus) {
    corpus.Begin("sound");
    using Reader = bool (*)(std::string_view, PcmSound*);
    // The small ones only: the corpus stays a few kilobytes a file.
    for (const auto& [name, reader] : {std::pair<const char*, Reader>{"button.wav", ReadWavSound},
                                       std::pair<const char*, Reader>{"bounce.wav", ReadWavSound},
                                       std::pair<const char*, Reader>{"highlight.au", ReadAuSound},
                                       std::pair<const char*, Reader>{"chime.ogg", ReadOggSound}}) {
        const std::string path = corpus.Write(name, ReadData("sounds", name));
        PcmSound sound;
        corpus.Expect(reader(path, &sound), name);
    }
}

void WriteCatalogueSeeds(Corpus& corpus) {
    corpus.Begin("catalogues");
    for (const char* name : {"game.xml", "items.xml", "levels.xml"}) corpus.Write(name, ReadData("properties", name));
    LevelStats levels;
    levels.ParseFile(corpus.PathOf("levels.xml"));
    corpus.Expect(levels.FirstLevel() != nullptr, "levels.xml");
}

}  // namespace

void WriteDataSeeds(Corpus& corpus) {
    WriteSoundSeeds(corpus);
    WriteCatalogueSeeds(corpus);
}

}  // namespace seeds
