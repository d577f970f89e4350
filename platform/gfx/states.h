#pragma once
// The device's pipeline state: render states, texture stages with their
// sampler states, transforms, viewport, scissor, vertex format and the bound
// targets. A new device starts with the defaults the engine relies on: no
// blending, culling of counter-clockwise triangles, stencil off, stage 0
// modulating its texture with the diffuse colour and selecting the texture's
// alpha, stage 1 disabled, point sampling with wrapping, identity transforms.

#include <cstdint>

#include "platform/gfx/gfx_types.h"
#include "platform/gfx/matrix.h"

namespace plat {

class Texture;
class Surface;
class VertexProgram;
class PixelProgram;

struct StageSettings {
    Texture* texture = nullptr;  // holds a reference while bound
    uint32_t stage[static_cast<int>(StageState::Count)] = {};
    uint32_t sampler[static_cast<int>(SamplerState::Count)] = {};

    uint32_t Get(StageState s) const { return stage[static_cast<int>(s)]; }
    uint32_t Get(SamplerState s) const { return sampler[static_cast<int>(s)]; }
};

struct DeviceState {
    uint32_t render[static_cast<int>(RenderState::Count)] = {};
    StageSettings stages[kMaxTextureStages];
    Matrix world, view, projection;
    Viewport viewport;
    Rect scissor;
    uint32_t fvf = 0;
    Surface* renderTarget = nullptr;  // references held while bound
    Surface* depthStencil = nullptr;
    VertexProgram* vertexProgram = nullptr;  // not owned
    PixelProgram* pixelProgram = nullptr;

    uint32_t Get(RenderState s) const { return render[static_cast<int>(s)]; }
    // Every state to its default; bindings are left to the caller.
    void SetDefaults();
};

const char* RenderStateName(RenderState s);
const char* StageStateName(StageState s);
const char* SamplerStateName(SamplerState s);
// Size in bytes of one vertex of a flexible vertex format; 0 when the format
// is not one the device draws (it needs a position).
int VertexSize(uint32_t fvf);

}  // namespace plat
