#pragma once
// Helpers for the image-file tests: a temporary folder that removes itself,
// byte-level file writing (temp_folder.h), and encoders written independently of the code
// under test (libpng driven directly, and a small GIF/LZW encoder).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/platform/temp_folder.h"

namespace testsupport {

using Bytes = std::vector<uint8_t>;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The full path of a file inside the folder.
    std::string Path(const std::string& name) const;

private:
    std::filesystem::path root_;
};

// A small deterministic generator, so every run sees the same "random" data.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }

private:
    uint32_t state_;
};

// A PNG written straight through libpng. `rows` holds height rows of packed
// samples in the file's own layout (big-endian for 16-bit samples).
struct PngLayout {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colorType = 0;  // PNG_COLOR_TYPE_*
    bool interlaced = false;
    std::vector<Bytes> rows;
    std::vector<uint32_t> palette;  // 0xRRGGBB entries for palette images
    Bytes paletteAlpha;             // tRNS entries for palette images
};
void WritePngDirect(const std::string& path, const PngLayout& layout);

// A GIF built byte by byte. Indices are given top row first; the builder
// stores them in interlaced order when asked.
struct GifLayout {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> globalPalette;  // 0xRRGGBB; empty: no global table
    std::vector<uint32_t> localPalette;   // empty: no local table
    int transparent = -1;
    bool interlaced = false;
    int minCodeSize = 8;
    bool clearWhenFull = true;
    bool extensionsBeforeImage = false;  // a comment and a looping block
    Bytes indices;
};
Bytes BuildGif(const GifLayout& layout);
// The LZW code stream alone, packed into sub-blocks and closed by an empty one.
Bytes EncodeLzwBlocks(const Bytes& indices, int minCodeSize, bool clearWhenFull);

// The rows of an interlaced image in the order they are stored.
std::vector<int> InterlacedRowOrder(int height);

// The largest single allocation `run` makes, in bytes, watched through the
// address sanitizer's allocation hooks; -1 (after running it) in a build
// without them.
int64_t LargestAllocationDuring(const std::function<void()>& run);

// The most pixel memory a header may make a reader allocate: one image of
// 8,192 x 8,192, the documented limit (ImageData::kMaxSide).
constexpr int64_t kLimitPixelBytes = int64_t{8192} * 8192 * 4;

}  // namespace testsupport
