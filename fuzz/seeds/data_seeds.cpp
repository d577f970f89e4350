// Seeds from the game's own generated content: the small sounds of
// data/sounds (made by tools/soundgen), the catalogues of data/properties,
// the shipped parks and the tutorial, each checked by the reader its target
// runs.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/audio/pcm_sound.h"
#include "app/audio/sound_files.h"
#include "foundation/system/text.h"
#include "fuzz/seeds/seeds.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/level_stats.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/frontend/hud/tutorial_data.h"

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

// The game's loaders read "properties/" under the current folder.
class InDataFolder {
public:
    InDataFolder() { fs::current_path(fs::path(HALVARO_SOURCE_DIR) / "data"); }
    ~InDataFolder() { fs::current_path(home_); }
    InDataFolder(const InDataFolder&) = delete;
    InDataFolder& operator=(const InDataFolder&) = delete;

private:
    fs::path home_ = fs::current_path();
};

// The shipped levels as levels.xml gives them and as a profile saves them,
// with the park elements the player's reader adds.
void WriteParkSeeds(Corpus& corpus) {
    corpus.Begin("park");
    corpus.Write("levels.xml", ReadData("properties", "levels.xml"));
    KivraItemStats items;
    {
        const InDataFolder inData;
        items.Load();
    }
    KivraLevelStats levels;
    levels.ParseFile(corpus.PathOf("levels.xml"));
    corpus.Expect(levels.FirstLevel() != nullptr, "levels.xml");
    std::wstring saved;
    levels.WriteLevels(saved, L"\t");
    const std::string path =
        corpus.Write("saved.xml", "\xEF\xBB\xBF<profile>\n" + text::ToUtf8(saved) + "</profile>\n");
    KivraLevelStats reread;
    reread.ParseFile(path);
    corpus.Expect(reread.FirstLevel() != nullptr, "saved.xml");
}

void WriteTutorialSeeds(Corpus& corpus) {
    corpus.Begin("tutorial");
    corpus.Write("tutorial_data.xml", ReadData("properties", "tutorial_data.xml"));
    const InDataFolder inData;
    corpus.Expect(!ReadTutorialData("tutorial_data.xml").steps.empty(), "tutorial_data.xml");
}

}  // namespace

void WriteDataSeeds(Corpus& corpus) {
    WriteSoundSeeds(corpus);
    WriteCatalogueSeeds(corpus);
    WriteParkSeeds(corpus);
    WriteTutorialSeeds(corpus);
}

}  // namespace seeds
