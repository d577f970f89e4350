#pragma once
// Helpers for the image-font, system-font and fonts.xml tests: an application
// double that counts loading steps and reports a screen resolution, a folder
// of descriptors, glyph images and fonts.xml files to run in, a PNG reader
// driven straight through libpng, pixel arithmetic for the expectations and
// a fixture with a started software device.

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rendering/draw/graphics.h"
#include "tests/platform/temp_folder.h"
#include "tests/rendering/font_data_test_support.h"
#include "tests/rendering/image_surface_test_support.h"
#include "tests/support/pixels.h"

namespace testsupport {

class FontApp : public testsupport::RecordingApp {
public:
    void AdvanceLoadingStep() override { ++steps; }
    int GetScreenDpi() override { return dpi; }

    int steps = 0;
    int dpi = 96;
};

inline void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testsupport::WriteBytes(path, testsupport::Bytes(text.begin(), text.end()));
}

// Straight-alpha ARGB words, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// An RGBA PNG of the picture, written through libpng.
inline void WritePicture(const std::string& path, const Picture& picture) {
    testsupport::PngLayout layout;
    layout.width = picture.width;
    layout.height = picture.height;
    layout.colorType = PNG_COLOR_TYPE_RGBA;
    for (int y = 0; y < picture.height; ++y) {
        testsupport::Bytes row;
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.At(x, y);
            row.insert(row.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p),
                                   static_cast<uint8_t>(p >> 24)});
        }
        layout.rows.push_back(row);
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testsupport::WritePngDirect(path, layout);
}

// Read through libpng's own simplified interface, not the engine's readers.
inline Picture ReadPicture(const std::string& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_BGRA;  // little-endian words 0xAARRGGBB
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) picture = Picture{};
    return picture;
}

inline Argb Premultiply(Argb c) { return {c.a, c.r * c.a / 255, c.g * c.a / 255, c.b * c.a / 255}; }

// The software device with image surfaces, started with default caps, and
// draw buffer B as the screen the text is drawn into.
class FontDeviceTest : public testsupport::ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
    }

    // Fills the whole screen with a premultiplied colour.
    void Background(Argb c) {
        Graphics g(Target());
        g.SetColor(Color::FromRGBAFlag(c.r, c.g, c.b, c.a, true));
        g.FillRect(0, 0, host.screenW, host.screenH);
    }

    FontApp app;
};

}  // namespace testsupport
