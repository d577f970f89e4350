// Decoding speed of the image readers on a 1024 x 768 picture, the size of
// the game's screen. The files are written by the engine's own writers into
// a temporary folder first.

#include <benchmark/benchmark.h>
#include <png.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "rendering/imagefile/image_files.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Smooth shading with a little grain and some hard-edged shapes: closer to
// game art than either flat colour or pure noise.
std::unique_ptr<ImageData> ScreenLikeImage() {
    auto image = std::make_unique<ImageData>();
    image->Allocate(kWidth, kHeight, false);
    uint32_t grain = 12345;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            grain = grain * 1664525u + 1013904223u;
            uint32_t n = (grain >> 28) & 7;
            uint32_t r = (x * 255 / kWidth + n) & 0xFF;
            uint32_t g = (y * 255 / kHeight + n) & 0xFF;
            uint32_t b = ((x / 64 + y / 64) % 2 == 0) ? 0x40 : 0xC0;
            uint32_t a = ((x - 512) * (x - 512) + (y - 384) * (y - 384) < 300 * 300) ? 0xFF : 0x80;
            image->Row(y)[x] = a << 24 | r << 16 | g << 8 | b;
        }
    return image;
}

class Files {
public:
    Files() {
        std::string pattern = (std::filesystem::temp_directory_path() / "halvaro_bench_XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) root_ = pattern;
        auto image = ScreenLikeImage();
        WritePNGImage(Path("screen.png"), *image);
        WriteJPEGImage(Path("screen.jpg"), *image);
    }
    ~Files() {
        std::error_code ignored;
        if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
    }
    std::string Path(const char* name) const { return (root_ / name).string(); }

private:
    std::filesystem::path root_;
};

const Files& TheFiles() {
    static Files files;
    return files;
}

void Decode(benchmark::State& state, const char* name, std::unique_ptr<ImageData> (*reader)(std::string_view)) {
    const std::string path = TheFiles().Path(name);
    if (!reader(path)) {
        state.SkipWithError("the benchmark file could not be written or read");
        return;
    }
    for (auto _ : state) {
        auto image = reader(path);
        benchmark::DoNotOptimize(image->GetBits());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 4);
}

void BM_DecodePng1024x768(benchmark::State& state) { Decode(state, "screen.png", GetPNGImage); }
// The yardstick: the same file through libpng's own simplified reader, which
// reads with stdio and converts to B, G, R, A itself.
void BM_LibpngSimplifiedReader1024x768(benchmark::State& state) {
    const std::string path = TheFiles().Path("screen.png");
    auto pixels = std::make_unique<uint32_t[]>(size_t{kWidth} * kHeight);
    for (auto _ : state) {
        png_image raw{};
        raw.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_file(&raw, path.c_str());
        raw.format = PNG_FORMAT_BGRA;
        png_image_finish_read(&raw, nullptr, pixels.get(), 0, nullptr);
        benchmark::DoNotOptimize(pixels.get());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 4);
}
void BM_DecodeJpeg1024x768(benchmark::State& state) { Decode(state, "screen.jpg", GetJPEGImage); }

void BM_WritePng1024x768(benchmark::State& state) {
    auto image = ScreenLikeImage();
    const std::string path = TheFiles().Path("written.png");
    for (auto _ : state) benchmark::DoNotOptimize(WritePNGImage(path, *image));
    state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 4);
}

}  // namespace

BENCHMARK(BM_DecodePng1024x768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibpngSimplifiedReader1024x768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpeg1024x768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePng1024x768)->Unit(benchmark::kMillisecond);
