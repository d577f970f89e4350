#pragma once
// What every fuzz target shares. Before the first input the harness points
// SDL at its dummy drivers (no window, no sound device) and installs a quiet
// application: fatal-error boxes go nowhere and every lookup by name finds
// nothing, so a run shows no error of its own and depends on nothing outside
// it (libjpeg still prints its warning lines).
//
// Readers that only take a path get the input through a scratch folder of
// this process under the temporary folder, made on first use and removed
// when the process ends, however it ends.
// One thread: libFuzzer runs the inputs one after the other.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/expression/variables.h"
#include "rendering/image/image_data.h"

class WidgetManager;

namespace fuzz {

// The scratch folder, without a trailing '/'.
const std::string& ScratchFolder();

// Writes the bytes to `name` in the scratch folder, replacing the last
// input's file, and returns the path.
std::string WriteScratchFile(std::string_view name, const uint8_t* data, size_t size);

// Writes the input as `fileName` and decodes it with `reader`. An image that
// comes back must be what the readers promise (a size ImageData allows, with
// every pixel present); one that is not stops the run.
using ImageReader = std::unique_ptr<ImageData> (*)(std::string_view);
void ReadImageFile(std::string_view fileName, ImageReader reader, const uint8_t* data, size_t size);

// The glyph sheet that font descriptors name, "glyphs.png": 64 x 32
// pixels, written once into the scratch folder beside the input.
inline constexpr int kGlyphSheetWidth = 64;
inline constexpr int kGlyphSheetHeight = 32;
void WriteGlyphSheet();

// An image of rows x cols cels of that size, blank, that lookups by name find
// from now on (the park's tile pictures); kept until the process ends.
void RegisterImage(const std::wstring& name, int celWidth, int celHeight, int rows, int cols);

// Loaders read relative to the current folder: the scratch folder while one
// lives, and the folder libFuzzer was started in again after it, for the
// corpus paths it was given.
class InScratchFolder {
public:
    InScratchFolder();
    ~InScratchFolder();
    InScratchFolder(const InScratchFolder&) = delete;
    InScratchFolder& operator=(const InScratchFolder&) = delete;

    // Makes `folder` current; a failure stops the run.
    static void Enter(const std::filesystem::path& folder);

private:
    std::filesystem::path home_;
};

// Runs a widget tree as the main loop does: `add` puts the widgets in, then
// at most `updates` fixed updates, each followed by the per-frame pass and
// the deletion of what was removed meanwhile, the first of every `drawEvery`
// drawn into a context without a surface; the run stops early once `goOn`
// answers false after an update. The tree is emptied at the end.
void RunTree(int updates, int drawEvery, const std::function<void(WidgetManager&)>& add,
             const std::function<bool()>& goOn);

// The current player's symbols that the quiet application hands out.
VariableMap& PlayerSymbols();

// Keeps a computed value alive, so a walk over a reader's results is not
// optimised away.
inline void Keep(double value) { asm volatile("" : : "g"(&value) : "memory"); }

// Puts back what one input may change for the next: the random generator's
// seed, the player's symbols, the constants and the localisation table.
void ResetSharedState();

}  // namespace fuzz
