#pragma once
// Helpers shared by the shader tests: samplers with known answers and a
// one-call way to compile and run a pixel program.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/gfx/shader/shader.h"
#include "tests/support/pixels.h"

namespace testsupport {

// Answers every stage with a fixed colour of its own.
class FixedSampler : public plat::TextureSampler {
public:
    std::array<Color4, 16> colour{};
    void Sample4(int stage, const float*, const float*, float rgba[4][4]) override {
        for (int l = 0; l < 4; ++l) {
            for (int c = 0; c < 4; ++c) rgba[l][c] = colour[stage][c];
        }
    }
};

// Answers (u, v, stage, 1), so a test can see which coordinates and stage a
// program asked for.
class CoordinateSampler : public plat::TextureSampler {
public:
    void Sample4(int stage, const float* u, const float* v, float rgba[4][4]) override {
        for (int l = 0; l < 4; ++l) {
            rgba[l][0] = u[l];
            rgba[l][1] = v[l];
            rgba[l][2] = static_cast<float>(stage);
            rgba[l][3] = 1.0f;
        }
    }
};

inline plat::CompiledShader CompilePixel(const std::string& source) {
    return plat::CompileShader(source, "PS", "ps_2_0");
}

// Compiles source as a pixel program and runs it once.
inline Color4 RunPixel(const std::string& source, const plat::ShaderAttributes& in, plat::TextureSampler& sampler,
                       const plat::ConstantRegisters& constants = plat::ConstantRegisters{}) {
    plat::CompiledShader compiled = CompilePixel(source);
    EXPECT_TRUE(compiled.Ok()) << compiled.errors << "\n" << source;
    Color4 out{-99, -99, -99, -99};
    if (!compiled.Ok()) return out;
    float rgba[1][4];
    compiled.code->RunPixels(constants, &in, 1, sampler, rgba);
    for (int c = 0; c < 4; ++c) out[c] = rgba[0][c];
    return out;
}

inline plat::ShaderAttributes Attributes(const Color4& color, const Color4& t0, const Color4& t1) {
    plat::ShaderAttributes a;
    for (int c = 0; c < 4; ++c) {
        a.color[c] = color[c];
        a.texcoord[0][c] = t0[c];
        a.texcoord[1][c] = t1[c];
    }
    return a;
}

}  // namespace testsupport
