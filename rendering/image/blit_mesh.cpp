// Mesh blitters: an indexed mesh over the first texture piece, and a grid
// mesh over the piece holding the source rectangle.
#include <algorithm>
#include <cmath>
#include <mutex>

#include "rendering/image/blit_internal.h"
#include "rendering/image/image_surface.h"

void DrawMesh(D3DInterface& d3d, ImageSurface* image, const std::vector<MeshVertex>& vertices,
              const std::vector<uint16_t>& indices, float dx, float dy, const Color& color, const DrawState* state,
              const FRect* clip) {
    std::lock_guard lock(d3d.GetDeviceLock());
    // 16-bit indices reach no further than the first 65,536 vertices.
    const size_t count = std::min<size_t>(vertices.size(), kMaxIndexedVertices);
    if (count == 0 || indices.size() < 3) return;
    TexturePieces* pieces = BeginTexturedDraw(d3d, image, kDrawKindBlit, state, clip);
    if (!pieces) return;
    const uint32_t argb = color.ToPremultipliedARGB();
    BlitBuffers& buffers = d3d.GetBlitBuffers();
    if (buffers.single.size() < count) buffers.single.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const MeshVertex& v = vertices[i];
        buffers.single[i] = {
            v.x + dx, v.y + dy, 0, v.color ? v.color : argb, v.s * pieces->textureScaleX, v.t * pieces->textureScaleY};
    }
    // Only whole triangles whose corners exist.
    if (buffers.indices.size() < indices.size()) buffers.indices.resize(indices.size());
    uint16_t* used = buffers.indices.data();
    size_t usedCount = 0;
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        if (indices[i] >= count || indices[i + 1] >= count || indices[i + 2] >= count) continue;
        used[usedCount++] = indices[i];
        used[usedCount++] = indices[i + 1];
        used[usedCount++] = indices[i + 2];
    }
    if (usedCount == 0) return;
    plat::Device* device = d3d.GetDevice();
    d3d.CheckResult("SetTexture", device->SetTexture(0, pieces->pieces[0].texture));
    d3d.CheckResult(
        "DrawIndexedPrimitiveUP",
        device->DrawIndexedPrimitiveUP(plat::PrimitiveType::TriangleList, 0, static_cast<uint32_t>(count),
                                       static_cast<uint32_t>(usedCount / 3), used, plat::IndexFormat::Index16,
                                       buffers.single.data(), sizeof(DeviceVertex)));
}

namespace {

struct Point3 {
    float x, y, z;
};

Point3 TransformPoint(const Matrix4& m, float x, float y, float z) {
    const float in[3] = {x, y, z};
    float out[3];
    m.TransformVector3(out, in);
    return {out[0], out[1], out[2]};
}

Point3 Lerp(const Point3& a, const Point3& b, float f) {
    return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f};
}

}  // namespace

void DrawGridMesh(D3DInterface& d3d, ImageSurface* image, const GridMeshArgs& args, const Color& color,
                  const DrawState* state, const FRect* clip) {
    std::lock_guard lock(d3d.GetDeviceLock());
    const int cols = args.cols, rows = args.rows;
    const FRect& src = args.source;
    // A row of more than 32,767 cells cannot be addressed in two rows of 16-bit indices.
    if (cols <= 0 || rows <= 0 || cols >= 32767 || !(src.w > 0) || !(src.h > 0)) return;
    TexturePieces* pieces = BeginTexturedDraw(d3d, image, kDrawKindGridMesh, state, clip);
    if (!pieces) return;
    if ((image->GetFlags() & kTexPerCel) && !CreateTexturePieces(pieces, image, d3d, &src)) return;
    const FRect clipped = src.Intersection(FRect::FromRect(pieces->region));
    PiecePart part;
    if (!(clipped.w > 0) || !(clipped.h > 0) || !GetPieceAt(*pieces, clipped.x, clipped.y, clipped.w, clipped.h, &part))
        return;
    // Corners of the drawn part, relative to the centre of the whole source.
    const float l = clipped.x - (src.x + src.w * 0.5f), t = clipped.y - (src.y + src.h * 0.5f);
    const float r = l + part.width, b = t + part.height;
    const float offX = args.x - 0.5f, offY = args.y - 0.5f;
    auto corner = [&](float cx, float cy) {
        Point3 p = TransformPoint(args.matrix, cx, cy, 0.0f);
        return Point3{p.x + offX, p.y + offY, p.z};
    };
    const Point3 tl = corner(l, t), tr = corner(r, t), bl = corner(l, b), br = corner(r, b);
    const Point3 ax = TransformPoint(args.matrix, 1, 0, 0), ay = TransformPoint(args.matrix, 0, 1, 0);
    Point3 n{ax.y * ay.z - ax.z * ay.y, ax.z * ay.x - ax.x * ay.z, ax.x * ay.y - ax.y * ay.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0) n = {n.x / length, n.y / length, n.z / length};
    const uint32_t argb = color.ToPremultipliedARGB();

    BlitBuffers& buffers = d3d.GetBlitBuffers();
    const size_t rowVertices = static_cast<size_t>(cols) + 1;
    // Rows per draw so that one band's vertices fit 16-bit indices.
    const int bandRows = std::max(1, std::min(rows, static_cast<int>(kMaxIndexedVertices / rowVertices) - 1));
    const size_t vertexBytes = rowVertices * static_cast<size_t>(bandRows + 1) * sizeof(GridVertex);
    if (buffers.grid.size() < vertexBytes) buffers.grid.resize(vertexBytes);
    const size_t indexCount = static_cast<size_t>(cols) * static_cast<size_t>(bandRows) * 6;
    if (buffers.indices.size() < indexCount) buffers.indices.resize(indexCount);
    auto* vertices = reinterpret_cast<GridVertex*>(buffers.grid.data());
    uint16_t* indices = buffers.indices.data();
    plat::Device* device = d3d.GetDevice();
    d3d.CheckResult("SetTexture", device->SetTexture(0, part.texture));
    device->SetFVF(kFvfGrid);
    for (int first = 0; first < rows; first += bandRows) {
        const int band = std::min(bandRows, rows - first);
        size_t v = 0;
        for (int row = first; row <= first + band; ++row) {
            const float fv = static_cast<float>(row) / static_cast<float>(rows);
            const Point3 left = Lerp(tl, bl, fv), right = Lerp(tr, br, fv);
            for (int c = 0; c <= cols; ++c) {
                const float fu = static_cast<float>(c) / static_cast<float>(cols);
                const Point3 p = Lerp(left, right, fu);
                vertices[v++] = {p.x,
                                 p.y,
                                 tl.z,
                                 n.x,
                                 n.y,
                                 n.z,
                                 argb,
                                 part.s1 + (part.s2 - part.s1) * fu,
                                 part.t1 + (part.t2 - part.t1) * fv};
            }
        }
        size_t i = 0;
        const auto stride = static_cast<uint16_t>(rowVertices);
        for (int row = 0; row < band; ++row)
            for (int c = 0; c < cols; ++c) {
                const auto a = static_cast<uint16_t>(static_cast<size_t>(row) * rowVertices + static_cast<size_t>(c));
                indices[i++] = a;
                indices[i++] = static_cast<uint16_t>(a + stride);
                indices[i++] = static_cast<uint16_t>(a + 1);
                indices[i++] = static_cast<uint16_t>(a + 1);
                indices[i++] = static_cast<uint16_t>(a + stride);
                indices[i++] = static_cast<uint16_t>(a + stride + 1);
            }
        d3d.CheckResult("DrawIndexedPrimitiveUP",
                        device->DrawIndexedPrimitiveUP(plat::PrimitiveType::TriangleList, 0, static_cast<uint32_t>(v),
                                                       static_cast<uint32_t>(i / 3), indices,
                                                       plat::IndexFormat::Index16, vertices, sizeof(GridVertex)));
    }
    device->SetFVF(kFvfSingleTexture);
}
