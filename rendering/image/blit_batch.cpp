// Batched blitters: many quads of one image (and one mask) in one indexed
// draw per texture piece, split where 16-bit indices would run out.
#include <algorithm>
#include <mutex>

#include "rendering/image/blit_internal.h"
#include "rendering/image/image_surface.h"

namespace {

// Per-piece slices of a shared vertex and index array. Each slice holds at
// most kMaxIndexedVertices vertices; a full slice is drawn and reused.
template <class V>
class PieceBatch {
public:
    PieceBatch(D3DInterface& d3d, const TexturePieces& pieces, V* vertices, uint16_t* indices, uint32_t capacity)
        : d3d_(d3d),
          pieces_(pieces),
          vertices_(vertices),
          indices_(indices),
          capacity_(capacity),
          counts_(pieces.pieces.size(), 0) {}

    void Append(int piece, const V (&quad)[4]) {
        const size_t k = static_cast<size_t>(piece);
        if (counts_[k] + 4 > capacity_) Flush(k);
        const uint32_t b = counts_[k];
        V* v = vertices_ + k * capacity_ + b;
        std::copy(quad, quad + 4, v);
        uint16_t* i = indices_ + k * IndexCapacity() + b / 4 * 6;
        const uint16_t b16 = static_cast<uint16_t>(b);
        i[0] = b16;
        i[1] = static_cast<uint16_t>(b16 + 1);
        i[2] = static_cast<uint16_t>(b16 + 2);
        i[3] = static_cast<uint16_t>(b16 + 2);
        i[4] = static_cast<uint16_t>(b16 + 1);
        i[5] = static_cast<uint16_t>(b16 + 3);
        counts_[k] = b + 4;
    }

    void FlushAll() {
        for (size_t k = 0; k < counts_.size(); ++k) Flush(k);
    }

    uint32_t IndexCapacity() const { return capacity_ / 4 * 6; }

private:
    void Flush(size_t k) {
        const uint32_t count = counts_[k];
        if (count == 0) return;
        plat::Device* device = d3d_.GetDevice();
        d3d_.CheckResult("SetTexture", device->SetTexture(0, pieces_.pieces[k].texture));
        d3d_.CheckResult("DrawIndexedPrimitiveUP",
                         device->DrawIndexedPrimitiveUP(plat::PrimitiveType::TriangleList, 0, count, count / 2,
                                                        indices_ + k * IndexCapacity(), plat::IndexFormat::Index16,
                                                        vertices_ + k * capacity_, sizeof(V)));
        counts_[k] = 0;
    }

    D3DInterface& d3d_;
    const TexturePieces& pieces_;
    V* vertices_;
    uint16_t* indices_;
    uint32_t capacity_;
    std::vector<uint32_t> counts_;
};

uint32_t SliceCapacity(size_t items) { return static_cast<uint32_t>(std::min<size_t>(items * 4, kMaxIndexedVertices)); }

template <class T>
T* Grow(std::vector<T>& buffer, size_t count) {
    if (buffer.size() < count) {
        std::vector<T>().swap(buffer);
        buffer.resize(count);
    }
    return buffer.data();
}

}  // namespace

void DrawTexturedTriangles(D3DInterface& d3d, ImageSurface* image, const std::vector<QuadBatchItem>& items,
                           const DrawState* state) {
    std::lock_guard lock(d3d.GetDeviceLock());
    if (items.empty()) return;
    TexturePieces* pieces = BeginTexturedDraw(d3d, image, kDrawKindBlit, state, nullptr);
    if (!pieces) return;
    BlitBuffers& buffers = d3d.GetBlitBuffers();
    const uint32_t capacity = SliceCapacity(items.size());
    const size_t slices = pieces->pieces.size();
    DeviceVertex* vertices = Grow(buffers.single, slices * capacity);
    uint16_t* indices = Grow(buffers.indices, slices * (capacity / 4 * 6));
    PieceBatch<DeviceVertex> batch(d3d, *pieces, vertices, indices, capacity);
    for (const QuadBatchItem& item : items) {
        const FRect& src = item.source;
        if (!(src.w > 0) || !(src.h > 0)) continue;
        const uint32_t argb = item.color.ToPremultipliedARGB();
        const float ox = src.x + src.w * 0.5f, oy = src.y + src.h * 0.5f;
        WalkSource(*pieces, src, [&](float px, float py, const PiecePart& p) {
            DeviceVertex quad[4];
            if (item.pureTranslation) {
                PartQuad(p, argb, item.x + (px - src.x) - 0.5f, item.y + (py - src.y) - 0.5f, quad);
            } else {
                PartQuad(p, argb, 0, 0, quad);
                TransformQuad(item.matrix, px - ox, py - oy, p.width, p.height, item.x, item.y, quad);
            }
            batch.Append(p.index, quad);
        });
    }
    batch.FlushAll();
}

void DrawMaskedTriangles(D3DInterface& d3d, ImageSurface* image, ImageSurface* mask,
                         const std::vector<MaskedBatchItem>& items, const DrawState* state) {
    std::lock_guard lock(d3d.GetDeviceLock());
    if (items.empty() || !HasPieces(mask) || mask->GetTextures()->pieces.size() != 1) return;
    TexturePieces* pieces = BeginTexturedDraw(d3d, image, kDrawKindMaskedBlit, state, nullptr);
    if (!pieces) return;
    const TexturePiece& maskPiece = mask->GetTextures()->pieces[0];
    const float maskW = static_cast<float>(maskPiece.width), maskH = static_cast<float>(maskPiece.height);
    BlitBuffers& buffers = d3d.GetBlitBuffers();
    const uint32_t capacity = SliceCapacity(items.size());
    const size_t slices = pieces->pieces.size();
    auto* vertices =
        reinterpret_cast<TwoTextureVertex*>(Grow(buffers.twoTexture, slices * capacity * sizeof(TwoTextureVertex)));
    uint16_t* indices = Grow(buffers.indices, slices * (capacity / 4 * 6));
    plat::Device* device = d3d.GetDevice();
    device->SetFVF(kFvfTwoTexture);
    d3d.CheckResult("SetTexture", device->SetTexture(1, maskPiece.texture));
    PieceBatch<TwoTextureVertex> batch(d3d, *pieces, vertices, indices, capacity);
    for (const MaskedBatchItem& item : items) {
        const FRect& src = item.source;
        if (!(src.w > 0) || !(src.h > 0)) continue;
        const uint32_t argb = item.color.ToPremultipliedARGB();
        const float ms = item.maskSource.x / maskW, mt = item.maskSource.y / maskH;
        const float mw = item.maskSource.w / maskW, mh = item.maskSource.h / maskH;
        WalkSource(*pieces, src, [&](float px, float py, const PiecePart& p) {
            const float ms1 = ms + mw * (px - src.x) / src.w, ms2 = ms + mw * (px + p.width - src.x) / src.w;
            const float mt1 = mt + mh * (py - src.y) / src.h, mt2 = mt + mh * (py + p.height - src.y) / src.h;
            const float dx = item.x + (px - src.x) - 0.5f, dy = item.y + (py - src.y) - 0.5f;
            const TwoTextureVertex quad[4] = {{dx, dy, 0, argb, p.s1, p.t1, ms1, mt1},
                                              {dx, dy + p.height, 0, argb, p.s1, p.t2, ms1, mt2},
                                              {dx + p.width, dy, 0, argb, p.s2, p.t1, ms2, mt1},
                                              {dx + p.width, dy + p.height, 0, argb, p.s2, p.t2, ms2, mt2}};
            batch.Append(p.index, quad);
        });
    }
    batch.FlushAll();
    RestoreSingleTexture(d3d);
}
