#pragma once
// Internal to the graphics device: the rasterizer's setup and the vertex
// pipeline of the last draw, kept for the draws after it while the device's
// state stays byte for byte what it was but for the textures bound, which
// are bound afresh every draw: most draws of a frame change no other state.
//
// A state names its target, depth buffer and programs by address: the kept
// setup is forgotten as soon as one of them is replaced, so that an object
// freed and another made at its address is never taken for the first.

#include <optional>

#include "platform/gfx/states.h"
#include "platform/gfx/vertex_pipeline.h"

namespace plat {

struct DrawCache {
    bool valid = false;
    DeviceState state;  // what the setup was built from
    raster::DrawSetup setup;
    std::optional<raster::VertexPipeline> pipeline;
};

}  // namespace plat
