// Drawing from user memory: primitive assembly over the vertex pipeline and
// the rasterizer. Pairs of triangles that make an axis-aligned rectangle (the
// engine's blits) take the rectangle path.
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/gfx/device.h"
#include "platform/gfx/draw_cache.h"
#include "platform/gfx/vertex_pipeline.h"

namespace plat {

namespace {

using raster::ClipVertex;
using raster::RasterVertex;

constexpr uint32_t kMaxVertices = 1u << 24;
// Vertices a draw keeps on the stack: a quad's.
constexpr uint32_t kFewVertices = 4;

// Vertices a primitive count needs; 0 for an unknown type.
uint32_t VerticesFor(PrimitiveType type, uint32_t count) {
    switch (type) {
        case PrimitiveType::PointList: return count;
        case PrimitiveType::LineList: return count * 2;
        case PrimitiveType::LineStrip: return count + 1;
        case PrimitiveType::TriangleList: return count * 3;
        case PrimitiveType::TriangleStrip:
        case PrimitiveType::TriangleFan: return count + 2;
    }
    return 0;
}

// Vertex numbers of primitive i, in the winding the device uses for culling.
void PrimitiveVertices(PrimitiveType type, uint32_t i, uint32_t out[3]) {
    switch (type) {
        case PrimitiveType::PointList: out[0] = i; break;
        case PrimitiveType::LineList:
            out[0] = 2 * i;
            out[1] = 2 * i + 1;
            break;
        case PrimitiveType::LineStrip:
            out[0] = i;
            out[1] = i + 1;
            break;
        case PrimitiveType::TriangleList:
            out[0] = 3 * i;
            out[1] = 3 * i + 1;
            out[2] = 3 * i + 2;
            break;
        case PrimitiveType::TriangleStrip:
            // Every second triangle of a strip is flipped back to the strip's winding.
            out[0] = (i & 1) ? i + 1 : i;
            out[1] = (i & 1) ? i : i + 1;
            out[2] = i + 2;
            break;
        case PrimitiveType::TriangleFan:
            out[0] = 0;
            out[1] = i + 1;
            out[2] = i + 2;
            break;
    }
}

struct Assembly {
    PrimitiveType type;
    uint32_t count;
    const uint16_t* indices;  // null: vertices in order
    uint32_t base;            // subtracted from indices
};

// Whether two states differ in nothing but the textures bound.
bool SameBesidesTextures(const DeviceState& a, const DeviceState& b) {
    if (std::memcmp(a.render, b.render, sizeof a.render) != 0) return false;
    // A stage's operations and its sampler's states lie together: one
    // comparison for both.
    constexpr size_t kStageFirst = offsetof(StageSettings, stage);
    constexpr size_t kStageBytes = offsetof(StageSettings, sampler) + sizeof(StageSettings::sampler) - kStageFirst;
    static_assert(offsetof(StageSettings, sampler) == kStageFirst + sizeof(StageSettings::stage),
                  "no padding between a stage's operations and its sampler's states");
    for (int k = 0; k < kMaxTextureStages; ++k)
        if (std::memcmp(reinterpret_cast<const char*>(&a.stages[k]) + kStageFirst,
                        reinterpret_cast<const char*>(&b.stages[k]) + kStageFirst, kStageBytes) != 0)
            return false;
    constexpr size_t kRest = offsetof(DeviceState, world);
    return std::memcmp(reinterpret_cast<const char*>(&a) + kRest, reinterpret_cast<const char*>(&b) + kRest,
                       sizeof(DeviceState) - kRest) == 0;
}

// The setup and pipeline for a draw under `state`: kept from the last draw
// when the state is as it was then, but for the textures, which mostly
// change from draw to draw and are bound afresh (taking a texture's view
// also makes a fill put off or a converted copy current).
// `written` tells whether the state was written since a draw last found it
// as the setup was built from; it is cleared here.
DrawCache& PreparedSetup(DrawCache& cache, const DeviceState& state, bool& written) {
    const bool same = cache.valid && (!written || SameBesidesTextures(cache.state, state));
    written = false;
    if (same) {
        raster::BindTextures(cache.setup, state);
        cache.pipeline->TakeTextureScales(cache.setup);
        return cache;
    }
    // Copied whole, padding with it, so that an unchanged state compares equal.
    std::memcpy(static_cast<void*>(&cache.state), &state, sizeof state);
    cache.setup = raster::BuildDrawSetup(state);
    cache.pipeline.emplace(state, cache.setup);
    cache.valid = true;
    return cache;
}

// Room for a few vertices on the stack, left unset: every vertex a draw
// reads is written first.
template <class Vertex>
union FewVertices {
    FewVertices() {}
    Vertex v[kFewVertices];
};

// Draws the primitives and marks the target's rows they wrote.
void Rasterize(const DeviceState& state, bool& stateWritten, DrawCache& cache, const Assembly& as, const uint8_t* data,
               uint32_t stride, uint32_t vertexCount) {
    const raster::VertexPipeline& pipe = *PreparedSetup(cache, state, stateWritten).pipeline;
    // The draw works in the cached setup itself rather than a copy of its few
    // hundred bytes a draw. What a draw changes in it: the rows it wrote, put
    // back to none here, and the filters it chose, chosen again from the
    // state as the next draw binds its textures.
    raster::DrawSetup& d = cache.setup;
    struct MarkWritten {
        raster::DrawSetup& d;
        Surface* target;
        ~MarkWritten() {
            target->Touch(d.writtenTop, d.writtenBottom);
            d.writtenTop = d.writtenBottom = 0;
        }
    } mark{d, state.renderTarget};
    if (raster::ClipIsEmpty(d)) return;
    // A blit's strip of two triangles, an upright rectangle on screen, goes
    // to the rectangle from its diagonal corners: none of the vertex
    // pipeline's general work nor the rectangle test is needed to know it.
    if (as.type == PrimitiveType::TriangleStrip && as.count == 2 && !as.indices) {
        RasterVertex v0, v3;
        uint32_t color;
        if (pipe.PlaceStripRect(data, stride, v0, v3, &color) && raster::DrawStripRectCorners(d, v0, v3, color)) return;
    }
    const bool triangles = as.type == PrimitiveType::TriangleList || as.type == PrimitiveType::TriangleStrip ||
                           as.type == PrimitiveType::TriangleFan;
    // Most draws are one quad: their vertices stay on the stack instead of
    // two allocations a draw.
    FewVertices<ClipVertex> fewVerts;
    FewVertices<RasterVertex> fewScreen;
    std::vector<ClipVertex> manyVerts;
    std::vector<RasterVertex> manyScreen;
    if (vertexCount > kFewVertices) {
        manyVerts.resize(vertexCount);
        if (triangles) manyScreen.resize(vertexCount);
    }
    ClipVertex* const verts = vertexCount > kFewVertices ? manyVerts.data() : fewVerts.v;
    RasterVertex* const screen = vertexCount > kFewVertices ? manyScreen.data() : fewScreen.v;
    // Triangles' vertices that need no clipping are mapped to the screen as
    // they are transformed.
    pipe.Process(data, stride, vertexCount, verts, triangles ? screen : nullptr);
    auto vertexAt = [&](uint32_t n) -> const ClipVertex& { return verts[as.indices ? as.indices[n] - as.base : n]; };
    if (!triangles) {
        for (uint32_t i = 0; i < as.count; ++i) {
            uint32_t v[3];
            PrimitiveVertices(as.type, i, v);
            if (as.type == PrimitiveType::PointList) {
                const ClipVertex& p = vertexAt(v[0]);
                if (!p.needsClip) raster::DrawPoint(d, pipe.ToScreen(p));
            } else {
                pipe.DrawClippedLine(d, vertexAt(v[0]), vertexAt(v[1]));
            }
        }
        return;
    }
    // A strip of two triangles on screen, as every blit draws: its corners
    // are known without pairing the triangles' vertices.
    if (as.type == PrimitiveType::TriangleStrip && as.count == 2 && !as.indices && !verts[0].needsClip &&
        !verts[1].needsClip && !verts[2].needsClip && !verts[3].needsClip) {
        const RasterVertex* const quad[4] = {&screen[0], &screen[1], &screen[2], &screen[3]};
        if (raster::TryDrawStripRect(d, quad)) return;
        raster::DrawTriangle(d, screen[0], screen[1], screen[2]);
        raster::DrawTriangle(d, screen[2], screen[1], screen[3]);
        return;
    }
    auto screenAt = [&](uint32_t n) -> const RasterVertex* {
        return &screen[as.indices ? as.indices[n] - as.base : n];
    };
    auto inside = [&](const uint32_t v[3]) {
        return !vertexAt(v[0]).needsClip && !vertexAt(v[1]).needsClip && !vertexAt(v[2]).needsClip;
    };
    for (uint32_t i = 0; i < as.count; ++i) {
        uint32_t a[3];
        PrimitiveVertices(as.type, i, a);
        if (!inside(a)) {
            pipe.DrawClippedTriangle(d, vertexAt(a[0]), vertexAt(a[1]), vertexAt(a[2]));
            continue;
        }
        const RasterVertex* t0[3] = {screenAt(a[0]), screenAt(a[1]), screenAt(a[2])};
        if (i + 1 < as.count) {
            uint32_t b[3];
            PrimitiveVertices(as.type, i + 1, b);
            const RasterVertex* t1[3] = {screenAt(b[0]), screenAt(b[1]), screenAt(b[2])};
            if (inside(b) && raster::TryDrawRect(d, t0, t1)) {
                ++i;
                continue;
            }
        }
        raster::DrawTriangle(d, *t0[0], *t0[1], *t0[2]);
    }
}

}  // namespace

HResult Device::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride) {
    Record(Call::DrawPrimitive, static_cast<uint32_t>(type), primitiveCount);
    const uint32_t need = VerticesFor(type, primitiveCount);
    const int size = CurrentVertexSize();
    if (!inScene_ || !vertices || size == 0 || stride < static_cast<uint32_t>(size) || need > kMaxVertices ||
        (primitiveCount > 0 && need == 0))
        return kErrInvalidCall;
    if (primitiveCount == 0) return kOk;
    Assembly as{type, primitiveCount, nullptr, 0};
    Rasterize(state_, stateWritten_, *drawCache_, as, static_cast<const uint8_t*>(vertices), stride, need);
    return kOk;
}

HResult Device::DrawIndexedPrimitiveUP(PrimitiveType type, uint32_t minIndex, uint32_t vertexCount,
                                       uint32_t primitiveCount, const void* indices, IndexFormat indexFormat,
                                       const void* vertices, uint32_t stride) {
    Record(Call::DrawIndexedPrimitive, static_cast<uint32_t>(type), primitiveCount, vertexCount);
    const uint32_t need = VerticesFor(type, primitiveCount);
    const int size = CurrentVertexSize();
    if (!inScene_ || !vertices || !indices || indexFormat != IndexFormat::Index16 || size == 0 ||
        stride < static_cast<uint32_t>(size) || need > kMaxVertices || vertexCount > kMaxVertices ||
        (primitiveCount > 0 && need == 0))
        return kErrInvalidCall;
    if (primitiveCount == 0) return kOk;
    std::vector<uint16_t> idx(need);
    std::memcpy(idx.data(), indices, need * sizeof(uint16_t));
    // An index outside the declared range would read memory the caller never
    // promised; refuse the whole call.
    for (uint16_t i : idx)
        if (i < minIndex || i >= minIndex + vertexCount) return kErrInvalidCall;
    Assembly as{type, primitiveCount, idx.data(), minIndex};
    const uint8_t* base = static_cast<const uint8_t*>(vertices) + static_cast<size_t>(minIndex) * stride;
    Rasterize(state_, stateWritten_, *drawCache_, as, base, stride, vertexCount);
    return kOk;
}

void Device::ForgetDrawSetup() { drawCache_->valid = false; }

}  // namespace plat
