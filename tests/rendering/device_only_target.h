#pragma once
// A surface seen only through the render-target interface: whatever is drawn
// into it goes to the device, never into the surface's rows, so the device's
// pixels can be had to compare the rows with.

#include <vector>

#include "rendering/image/image_render_target.h"
#include "rendering/image/image_surface.h"

namespace testsupport {

class DeviceOnlyTarget : public ImageRenderTarget {
public:
    explicit DeviceOnlyTarget(ImageSurface& surface) : surface_(surface) {}

    int GetWidth() const override { return surface_.GetWidth(); }
    int GetHeight() const override { return surface_.GetHeight(); }
    void DrawImageClipped(ImageSurface* image, float x, float y, const FRect& source, const FRect& clip,
                          const Color& color, const DrawState* state) override {
        surface_.DrawImageClipped(image, x, y, source, clip, color, state);
    }
    void DrawImageTransformed(ImageSurface* image, float x, float y, const Matrix4& matrix, const FRect* clip,
                              const Color& color, const DrawState* state, const FRect& source) override {
        surface_.DrawImageTransformed(image, x, y, matrix, clip, color, state, source);
    }
    void DrawTriangles(ImageSurface* image, const std::vector<QuadBatchItem>& items, const DrawState* state) override {
        surface_.DrawTriangles(image, items, state);
    }

private:
    ImageSurface& surface_;
};

}  // namespace testsupport
