#pragma once
// ImageRenderTarget: what a drawing context draws onto. Every image surface
// is one (the screen's draw buffer included); the static default target
// reports 1 x 1 and swallows every draw. Coordinates are the target's pixels;
// sources are rectangles in the drawn surface's pixels. All calls are made on
// the drawing thread.

#include <cstdint>
#include <vector>

#include "foundation/values/color.h"
#include "foundation/values/matrix4.h"
#include "foundation/values/rect.h"
#include "rendering/device/draw_state.h"

class ImageSurface;

// One quad of a batch of image draws. With pure translation (x, y) is the
// quad's top-left; otherwise the quad is centred on the origin, transformed
// by the matrix and then moved by (x, y).
struct QuadBatchItem {
    uint8_t pureTranslation = 1;
    float x = 0, y = 0;
    FRect source;
    Matrix4 matrix;
    Color color;
};

// One quad of a masked batch: top-left (x, y), the source rectangle in the
// image and the rectangle in the mask image.
struct MaskedBatchItem {
    float x = 0, y = 0;
    FRect source;
    FRect maskSource;
    Color color;
};

// A vertex of an indexed mesh: position, texture coordinates over the whole
// image (0..1), and a colour (0 takes the draw colour).
struct MeshVertex {
    float x = 0, y = 0, s = 0, t = 0;
    uint32_t color = 0;
};

// Arguments of a grid-mesh draw.
struct GridMeshArgs {
    Matrix4 matrix;
    FRect source;
    int cols = 1, rows = 1;
    float x = 0, y = 0;
};

class ImageRenderTarget {
public:
    virtual int GetWidth() const { return 1; }
    virtual int GetHeight() const { return 1; }
    virtual ~ImageRenderTarget() = default;

    virtual void FillRect(const Rect&, const Color&, const DrawState*) {}
    virtual void Unused() {}
    virtual void ClearRect(const Rect&) {}
    virtual void ClearStencil() {}
    virtual void DrawLine(float, float, float, float, const Color&, const DrawState*) {}
    virtual void DrawPolyline(const std::vector<float>&, const FRect*, const Color&, const DrawState*) {}
    virtual void DrawLineAA(float, float, float, float, const Color&, const DrawState*) {}
    virtual void DrawImage(ImageSurface*, float, float, const FRect&, const Color&, const DrawState*) {}
    virtual void DrawImageClipped(ImageSurface*, float, float, const FRect&, const FRect&, const Color&,
                                  const DrawState*) {}
    virtual void DrawImageTransformed(ImageSurface*, float, float, const Matrix4&, const FRect*, const Color&,
                                      const DrawState*, const FRect&) {}
    virtual void DrawImageMesh(ImageSurface*, const std::vector<MeshVertex>&, const std::vector<uint16_t>&, float,
                               float, const Color&, const DrawState*, const FRect*) {}
    virtual void FillPolygon(const std::vector<float>&, const std::vector<uint16_t>&, float, float, const FRect*,
                             const Color&, const DrawState*) {}
    virtual void DrawImageMasked(ImageSurface*, float, float, const FRect&, ImageSurface*, const FRect&, const Color&,
                                 const DrawState*) {}
    virtual void DrawImageMaskedClipped(ImageSurface*, float, float, const FRect&, ImageSurface*, const FRect&,
                                        const FRect&, const Color&, const DrawState*) {}
    virtual void DrawTriangles(ImageSurface*, const std::vector<QuadBatchItem>&, const DrawState*) {}
    virtual void DrawMaskedTriangles(ImageSurface*, ImageSurface*, const std::vector<MaskedBatchItem>&,
                                     const DrawState*) {}
    virtual void DrawImageGridMesh(ImageSurface*, const GridMeshArgs&, const FRect*, const Color&, const DrawState*) {}

    // The data-less target that ignores every draw.
    static ImageRenderTarget& Default();
};
