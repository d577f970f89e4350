#pragma once
// Textured drawing into the device's current render target: an image (its
// texture pieces) at a point, through a matrix, with a mask image on the
// second texture stage, as batches of quads, as an indexed mesh and as a grid
// mesh. Every blitter clips its source rectangle to the image and walks it
// across the pieces it covers, one quad per piece part, with as few device
// draws as the piece layout allows; batches and meshes never exceed what
// 16-bit indices can address (they are split into several draws instead).
//
// Each operation takes the device lock itself, draws nothing when the image
// has no texture pieces yet (PrepareImageTexture comes first) or no scene can
// be begun, and leaves the single-texture vertex format and an empty second
// texture stage behind. Drawing thread only.

#include <cstdint>
#include <vector>

#include "foundation/values/color.h"
#include "foundation/values/matrix4.h"
#include "foundation/values/rect.h"
#include "platform/gfx/gfx.h"
#include "rendering/device/draw_state.h"
#include "rendering/image/image_render_target.h"

class D3DInterface;
class ImageSurface;
class TexturePieces;

// The part of a source rectangle one texture piece can draw.
struct PiecePart {
    plat::Texture* texture = nullptr;
    int index = -1;
    float width = 0, height = 0;  // in image pixels
    float s1 = 0, t1 = 0, s2 = 0, t2 = 0;
};

// The piece under image point (x, y) and the part of a wanted width x height
// it can draw; false (and no part) when the point is outside the piece grid.
bool GetPieceAt(const TexturePieces& pieces, float x, float y, float width, float height, PiecePart* part);

void Blt(D3DInterface& d3d, ImageSurface* image, float x, float y, const FRect& source, const Color& color,
         const DrawState* state);
void BltTransformed(D3DInterface& d3d, ImageSurface* image, const FRect& source, const Matrix4& matrix, float x,
                    float y, const Color& color, const DrawState* state, const FRect* clip);
void BltMasked(D3DInterface& d3d, ImageSurface* image, ImageSurface* mask, float x, float y, const FRect& source,
               const FRect& maskSource, const Color& color, const DrawState* state);
void DrawTexturedTriangles(D3DInterface& d3d, ImageSurface* image, const std::vector<QuadBatchItem>& items,
                           const DrawState* state);
void DrawMaskedTriangles(D3DInterface& d3d, ImageSurface* image, ImageSurface* mask,
                         const std::vector<MaskedBatchItem>& items, const DrawState* state);
void DrawMesh(D3DInterface& d3d, ImageSurface* image, const std::vector<MeshVertex>& vertices,
              const std::vector<uint16_t>& indices, float dx, float dy, const Color& color, const DrawState* state,
              const FRect* clip);
void DrawGridMesh(D3DInterface& d3d, ImageSurface* image, const GridMeshArgs& args, const Color& color,
                  const DrawState* state, const FRect* clip);

// Vertex formats of the textured draws.
constexpr uint32_t kFvfSingleTexture = plat::kFvfXyz | plat::kFvfDiffuse | plat::kFvfTex1;
constexpr uint32_t kFvfTwoTexture = plat::kFvfXyz | plat::kFvfDiffuse | plat::kFvfTex2;
constexpr uint32_t kFvfGrid = plat::kFvfXyz | plat::kFvfNormal | plat::kFvfDiffuse | plat::kFvfTex1;
// The most vertices one draw with 16-bit indices can address.
constexpr uint32_t kMaxIndexedVertices = 65536;
