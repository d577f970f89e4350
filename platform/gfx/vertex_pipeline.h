#pragma once
// Internal to the graphics device: vertex processing. Reads vertices of a
// flexible vertex format from user memory, transforms them to clip space
// (world * view * projection, or a vertex program), clips against the near
// and far planes and a guard band around the viewport, and maps them to
// screen space for the rasterizer.

#include <cstdint>
#include <vector>

#include "platform/gfx/raster.h"
#include "platform/gfx/states.h"

namespace plat::raster {

struct ClipVertex {
    float c[4] = {0, 0, 0, 1};
    float a[kAttrCount] = {};
    bool needsClip = false;
};

class VertexPipeline {
public:
    // Fixes the transform, the viewport and the texture scales for a draw.
    VertexPipeline(const DeviceState& state, const DrawSetup& setup);

    // The texture scales for the textures `setup` binds now.
    void TakeTextureScales(const DrawSetup& setup);
    // Transforms `count` vertices starting at `data` into out[0 .. count);
    // with `screen`, each vertex that needs no clipping is also mapped to
    // screen[i] on the way (what ToScreen gives), the rest left as they are.
    void Process(const uint8_t* data, uint32_t stride, uint32_t count, ClipVertex* out,
                 RasterVertex* screen = nullptr) const;
    RasterVertex ToScreen(const ClipVertex& v) const { return ToScreen(v.c, v.a); }
    // A strip of two triangles that is an upright rectangle, as a blit
    // draws: v1 below v0 and v2 beside it, one colour, u following x and v
    // following y. Maps its diagonal corners v0 and v3 to the screen as
    // Process would, with their colour, and tells whether the strip is such
    // a rectangle, needs no clipping and lies in the transform's plane
    // unturned, so that v1 and v2 land on their corners: false, the strip
    // is to go the general way.
    bool PlaceStripRect(const uint8_t* data, uint32_t stride, RasterVertex& v0, RasterVertex& v3,
                        uint32_t* color) const;
    // Clips a triangle and draws what is left of it.
    void DrawClippedTriangle(DrawSetup& d, const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) const;
    void DrawClippedLine(DrawSetup& d, const ClipVertex& a, const ClipVertex& b) const;

private:
    RasterVertex ToScreen(const float c[4], const float a[kAttrCount]) const {
        RasterVertex r;
        Place(c, r);
        for (int k = 0; k < kAttrCount; ++k) r.a[k] = a[k];
        return r;
    }
    // The screen position, depth and w of clip-space position c. Inline, as
    // a blit places its two corners: the call cost a good part of the work.
    [[gnu::always_inline]] void Place(const float c[4], RasterVertex& r) const {
        const double iw = 1.0 / c[3];
        const double sx = vx_ + (1.0 + c[0] * iw) * vw_ * 0.5;
        const double sy = vy_ + (1.0 - c[1] * iw) * vh_ * 0.5;
        r.fx = LlRound(sx * kSub);
        r.fy = LlRound(sy * kSub);
        r.z = static_cast<float>(c[2] * iw);
        r.w = c[3];
    }

    const DeviceState& state_;
    Matrix combined_;
    double vx_, vy_, vw_, vh_;
    float scale_[2 * kMaxTextureStages];  // width and height of each stage's texture
    int diffuseAt_ = -1, tex0At_ = -1, tex1At_ = -1, normalAt_ = -1;
    // No vertex program, a blit's vertex (position, colour, one texture
    // coordinate pair), and a transform under which x alone moves a point
    // across and y alone down, neither changing z or w.
    bool uprightBlits_ = false;
};

DrawSetup BuildDrawSetup(const DeviceState& state);
// Sets the setup's textures and samplers to those of `state`, for the stages
// the setup reads.
void BindTextures(DrawSetup& d, const DeviceState& state);

}  // namespace plat::raster
