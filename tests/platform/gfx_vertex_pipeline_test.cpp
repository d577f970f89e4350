// The vertex pipeline's outputs against the rules worked out here one value
// at a time: transform, colour channels, sane texture coordinates, the clip
// test, and the screen vertices it writes on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/gfx/vertex_pipeline.h"

namespace {

using plat::raster::ClipVertex;
using plat::raster::RasterVertex;

struct PipelineTestVertex {
    float x, y, z;
    uint32_t diffuse;
    float tex[4];
};

float PipelineSaneOracle(float v) { return std::isfinite(v) ? std::clamp(v, -1.0e7f, 1.0e7f) : 0.0f; }

bool PipelineSameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Runs `vertices` through a pipeline with `world` and a viewport at the
// origin of `width` x `height`, and checks every output against the rules;
// returns how many vertices need clipping.
int PipelineCheckedRun(const float (&world)[4][4], uint32_t width, uint32_t height,
                       const std::vector<PipelineTestVertex>& vertices) {
    plat::DeviceState state;
    state.SetDefaults();
    state.fvf = plat::kFvfXyz | plat::kFvfDiffuse | plat::kFvfTex2;
    state.viewport = plat::Viewport{0, 0, width, height, 0.0f, 1.0f};
    std::memcpy(state.world.m, world, sizeof world);
    plat::raster::DrawSetup setup;
    const plat::raster::VertexPipeline pipe(state, setup);
    const size_t n = vertices.size();
    std::vector<ClipVertex> clip(n);
    std::vector<RasterVertex> screen(n);
    pipe.Process(reinterpret_cast<const uint8_t*>(vertices.data()), sizeof(PipelineTestVertex),
                 static_cast<uint32_t>(n), clip.data(), screen.data());
    int clipped = 0;
    for (size_t i = 0; i < n; ++i) {
        const PipelineTestVertex& in = vertices[i];
        const float p[4] = {in.x, in.y, in.z, 1.0f};
        for (int c = 0; c < 4; ++c) {
            const float want = p[0] * world[0][c] + p[1] * world[1][c] + p[2] * world[2][c] + p[3] * world[3][c];
            EXPECT_TRUE(PipelineSameBits(clip[i].c[c], want) || (std::isnan(want) && std::isnan(clip[i].c[c])))
                << "vertex " << i << " coordinate " << c;
        }
        const float channels[4] = {static_cast<float>((in.diffuse >> 16) & 0xFF),
                                   static_cast<float>((in.diffuse >> 8) & 0xFF), static_cast<float>(in.diffuse & 0xFF),
                                   static_cast<float>(in.diffuse >> 24)};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(clip[i].a[plat::raster::kR + k], channels[k]) << i;
        for (int k = 0; k < 4; ++k)
            EXPECT_TRUE(PipelineSameBits(clip[i].a[plat::raster::kU0 + k], PipelineSaneOracle(in.tex[k])))
                << i << " texel " << k;
        const float* c = clip[i].c;
        const float guard = 8.0f * c[3];
        const bool outside = !(c[2] >= 0) || !(c[3] - c[2] >= 0) || !(c[0] + guard >= 0) || !(guard - c[0] >= 0) ||
                             !(c[1] + guard >= 0) || !(guard - c[1] >= 0) || !(c[3] - 1e-6f >= 0);
        EXPECT_EQ(clip[i].needsClip, outside) << i;
        clipped += outside;
        if (outside) continue;
        // The screen in 1/256 pixels, rounded halves away from zero.
        const double iw = 1.0 / c[3];
        EXPECT_EQ(screen[i].fx, std::llround((1.0 + c[0] * iw) * width * 0.5 * 256)) << i;
        EXPECT_EQ(screen[i].fy, std::llround((1.0 - c[1] * iw) * height * 0.5 * 256)) << i;
        EXPECT_TRUE(PipelineSameBits(screen[i].z, static_cast<float>(c[2] * iw)) && PipelineSameBits(screen[i].w, c[3]))
            << i;
        for (int k = 0; k < plat::raster::kAttrCount; ++k)
            EXPECT_TRUE(PipelineSameBits(screen[i].a[k], clip[i].a[k])) << i;
    }
    return clipped;
}

TEST(GfxVertexPipelineTest, VerticesMatchTheRulesValueByValue) {
    // A world that scales, shears and moves, over the default view and projection.
    const float sheared[4][4] = {{0.5f, 0.25f, 0, 0}, {-0.125f, 0.75f, 0, 0}, {0, 0, 1, 0}, {0.3f, -0.2f, 0.1f, 1}};
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    // The table reaches each way out of the clip test and both ways of the screen.
    EXPECT_EQ(
        PipelineCheckedRun(sheared, 640, 480,
                           {
                               {0.1f, 0.2f, 0.5f, 0x80FF4001u, {1.5f, -0.0f, 1.0e7f, -1.0e7f}},
                               {-0.9f, 0.7f, 0.0f, 0xFFFFFFFFu, {nan, inf, -inf, 2.5e7f}},
                               {20.0f, 0.0f, 0.5f, 0x00000000u, {-3.0e38f, 3.4e38f, 0.5f, 7.0f}},  // past the guard
                               {0.0f, nan, 0.5f, 0x12345678u, {0.25f, 0.75f, -1.0e-30f, 1.0e-30f}},
                               {0.0f, 0.0f, -0.5f, 0xFF000000u, {0, 0, 0, 0}},  // before the near plane
                           }),
        3);
}

}  // namespace
