#pragma once
// A device on the software adapter (shader model 2.0 unless the test says
// otherwise) with image surfaces, an application double that records error
// boxes, and pixel helpers for checking shader output against formulas.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/system/text.h"
#include "image_surface_test_support.h"
#include "rendering/draw/graphics.h"
#include "rendering/shader/shader_program.h"

#include "tests/support/pixels.h"
#include "tests/support/recording_services.h"

namespace testsupport {

using BoxRecorder = ErrorBoxRecorder;

// A float colour 0..1 as the 8-bit channels a target stores.
inline Argb Quantise(float a, float r, float g, float b) {
    auto q = [](float v) { return static_cast<int>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f)); };
    return {q(a), q(r), q(g), q(b)};
}

class ShaderDeviceTest : public testsupport::ImageDeviceTest {
protected:
    void SetUp() override {
        ImageDeviceTest::SetUp();
        Start(plat::DeviceCaps{});
    }
    void TearDown() override {
        programs.clear();
        ImageDeviceTest::TearDown();
    }

    ShaderProgram* Program(std::string_view source) {
        programs.push_back(std::make_unique<ShaderProgram>(source));
        return programs.back().get();
    }

    // Loses the device and starts it again, the way the application recovers.
    void RestartDevice() {
        d3d->Cleanup();
        InitWindowed();
        BindDrawBuffer();
    }

    // A solid rectangle through the drawing context, with or without a shader.
    void Fill(ImageRenderTarget* target, const Rect& r, Argb colour, ShaderProgram* shader = nullptr,
              int mode = kDrawOpaque) {
        Graphics g(target);
        g.SetShader(shader);
        g.SetDrawMode(mode);
        g.SetColor(Color::FromRGBAFlag(colour.r, colour.g, colour.b, colour.a, true));
        g.FillRect(r.x, r.y, r.w, r.h);
    }

    uint32_t At(int x, int y) { return Target()->GetBits()[static_cast<size_t>(y) * host.screenW + x]; }

    BoxRecorder app;
    std::vector<std::unique_ptr<ShaderProgram>> programs;
};

}  // namespace testsupport
