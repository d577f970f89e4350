// D3DInterface's untextured drawing: line strips, filled rectangles and
// polygons, and clears of the current render target.
#include <mutex>

#include "rendering/device/d3d_interface.h"

// The common start of every untextured draw; false when nothing may be drawn.
bool D3DInterface::BeginUntextured(const FRect* clip, const DrawState* state) {
    if (!BeginScene()) return false;
    DrawState fallback;
    SetupDrawMode(kDrawKindUntextured, true, state ? state : &fallback);
    SetClip(clip);
    CheckResult("SetTexture NULL", device_->SetTexture(0, nullptr));
    return true;
}

void D3DInterface::DrawLine(const FRect* clip, const Color* color, const DrawState* state,
                            const std::vector<float>& xy) {
    std::lock_guard lock(deviceLock_);
    const size_t points = xy.size() / 2;
    // A strip of fewer than two points has no segment to draw.
    if (points < 2 || !BeginUntextured(clip, state)) return;
    const uint32_t argb = color ? color->ToPremultipliedARGB() : 0;
    if (lineVertices_.size() < points) lineVertices_.resize(points);
    for (size_t i = 0; i < points; ++i) lineVertices_[i] = {xy[2 * i], xy[2 * i + 1], 0, argb, 0, 0};
    CheckResult("DrawPrimitive (Line)",
                device_->DrawPrimitiveUP(plat::PrimitiveType::LineStrip, static_cast<uint32_t>(points - 1),
                                         lineVertices_.data(), sizeof(DeviceVertex)));
}

void D3DInterface::FillRect(const Color* color, const DrawState* state, const Rect& rect) {
    std::lock_guard lock(deviceLock_);
    if (!BeginUntextured(nullptr, state)) return;
    const uint32_t argb = color ? color->ToPremultipliedARGB() : 0;
    const float l = static_cast<float>(rect.x) - 0.5f, t = static_cast<float>(rect.y) - 0.5f;
    const float r = static_cast<float>(rect.x + rect.w) - 0.5f, b = static_cast<float>(rect.y + rect.h) - 0.5f;
    const DeviceVertex quad[4] = {
        {l, t, 0, argb, 0, 0}, {l, b, 0, argb, 0, 0}, {r, t, 0, argb, 0, 0}, {r, b, 0, argb, 0, 0}};
    CheckResult("DrawPrimitive (Rect)",
                device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, quad, sizeof(DeviceVertex)));
}

void D3DInterface::FillPolygon(const FRect* clip, const Color* color, const DrawState* state,
                               const std::vector<float>& xy, const std::vector<uint16_t>& indices, float dx, float dy) {
    std::lock_guard lock(deviceLock_);
    const size_t points = xy.size() / 2;
    // Only whole triangles whose three corners are points of the list.
    polygonIndices_.clear();
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        if (indices[i] >= points || indices[i + 1] >= points || indices[i + 2] >= points) continue;
        polygonIndices_.insert(polygonIndices_.end(), {indices[i], indices[i + 1], indices[i + 2]});
    }
    if (polygonIndices_.empty() || !BeginUntextured(clip, state)) return;
    const uint32_t argb = color ? color->ToPremultipliedARGB() : 0;
    std::vector<DeviceVertex>& vertices = blitBuffers_.single;
    if (vertices.size() < points) vertices.assign(points, DeviceVertex{});
    for (size_t i = 0; i < points; ++i) vertices[i] = {xy[2 * i] + dx, xy[2 * i + 1] + dy, 0, argb, 0, 0};
    CheckResult(
        "DrawIndexedPrimitiveUP (FillPoly)",
        device_->DrawIndexedPrimitiveUP(plat::PrimitiveType::TriangleList, 0, static_cast<uint32_t>(points),
                                        static_cast<uint32_t>(polygonIndices_.size() / 3), polygonIndices_.data(),
                                        plat::IndexFormat::Index16, vertices.data(), sizeof(DeviceVertex)));
}

void D3DInterface::ClearRect(const Rect& rect) {
    std::lock_guard lock(deviceLock_);
    if (!BeginScene()) return;
    const plat::Rect r{rect.x, rect.y, rect.x + rect.w, rect.y + rect.h};
    CheckResult("Clear Rect", device_->Clear(1, &r, plat::kClearTarget, 0, 0.0f, 0));
}

void D3DInterface::ClearStencil() {
    std::lock_guard lock(deviceLock_);
    if (!BeginScene()) return;
    CheckResult("Clear Stencil", device_->Clear(0, nullptr, plat::kClearZBuffer | plat::kClearStencil, 0, 0.0f, 0));
}
