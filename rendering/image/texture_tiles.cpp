// Texture pieces: size choice, layout, creation and upload, read-back.
#include "rendering/image/texture_tiles.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "foundation/values/saturate.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_packed.h"
#include "rendering/image/image_surface.h"

namespace {

int BytesPerTexel(plat::Format format) { return format == plat::Format::A4R4G4B4 ? 2 : 4; }

void WriteTexel(plat::Format format, uint8_t* row, int x, uint32_t argb) {
    if (format == plat::Format::A4R4G4B4)
        reinterpret_cast<uint16_t*>(row)[x] = ArgbTo4444(argb);
    else
        reinterpret_cast<uint32_t*>(row)[x] = argb;
}

void WriteRow(plat::Format format, uint8_t* row, const uint32_t* src, int n) {
    if (format == plat::Format::A4R4G4B4) {
        auto* texels = reinterpret_cast<uint16_t*>(row);
        for (int i = 0; i < n; ++i) texels[i] = ArgbTo4444(src[i]);
    } else {
        std::memcpy(row, src, static_cast<size_t>(n) * 4);
    }
}

// The packed cel under image point (x, y): the grid cell without cel
// records, else the first record containing the point; -1 when none.
int PackedCelAt(ImageSurface* image, int x, int y) {
    ImageSurface* owner = image->GetOwnerSurface();
    const std::vector<CelRectRecord>& records = owner->GetCelRects();
    if (records.empty()) {
        const int cw = image->PackedCelWidth() > 0 ? image->PackedCelWidth() : owner->GetCelWidth();
        const int ch = image->PackedCelHeight() > 0 ? image->PackedCelHeight() : owner->GetCelHeight();
        if (cw <= 0 || ch <= 0 || x < 0 || y < 0) return -1;
        const int col = x / cw, row = y / ch;
        if (col >= std::max(owner->cols, 1)) return -1;
        return row * std::max(owner->cols, 1) + col;
    }
    for (size_t i = 0; i < records.size(); ++i)
        if (FRect(records[i].x, records[i].y, records[i].w, records[i].h)
                .Contains(static_cast<float>(x), static_cast<float>(y)))
            return static_cast<int>(i);
    return -1;
}

void CopyPackedCel(ImageSurface* image, int x, int y, plat::Format format, const plat::LockedRect& locked, int texWidth,
                   int texHeight) {
    const int cel = PackedCelAt(image, x, y);
    const std::vector<PackedCelRecord>& packed = image->GetPackedCels();
    if (cel < 0 || cel >= static_cast<int>(packed.size())) return;
    const int cw = image->PackedCelWidth(), ch = image->PackedCelHeight();
    if (cw <= 0 || ch <= 0) return;
    std::vector<uint32_t> pixels(static_cast<size_t>(cw) * static_cast<size_t>(ch));
    UnpackCel(packed[static_cast<size_t>(cel)], pixels.data(), static_cast<int>(pixels.size()));
    const int w = std::min(cw, texWidth), h = std::min(ch, texHeight);
    for (int row = 0; row < h; ++row)
        WriteRow(format, static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(row) * locked.pitch,
                 pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(cw), w);
}

// Copies system pixels into a locked texture and repeats the last column
// and row once beyond the copied area.
void CopyBits(const uint32_t* bits, int imageWidth, int x, int y, int copiedW, int copiedH, int wantedH,
              plat::Format format, const plat::LockedRect& locked, int texWidth, int texHeight) {
    const int bpp = BytesPerTexel(format);
    auto row = [&](int r) { return static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(r) * locked.pitch; };
    for (int r = 0; r < copiedH; ++r) {
        const uint32_t* src = bits + static_cast<size_t>(y + r) * static_cast<size_t>(imageWidth) + x;
        WriteRow(format, row(r), src, copiedW);
        if (copiedW < texWidth) WriteTexel(format, row(r), copiedW, src[copiedW - 1]);
    }
    if (copiedH < wantedH && copiedH < texHeight) {
        const int bytes = std::min(copiedW + 1, texWidth) * bpp;
        std::memcpy(row(copiedH), row(copiedH - 1), static_cast<size_t>(bytes));
    }
}

void FillLocked(const plat::LockedRect& locked, int x, int y, int width, int height, int texW, int texH,
                plat::Format format, ImageSurface* image, const uint32_t* bits) {
    const int copiedW = std::min({width, image->sourceWidth - x, texW});
    const int copiedH = std::min({height, image->sourceHeight - y, texH});
    if (copiedW <= 0 || copiedH <= 0 || x < 0 || y < 0) return;
    if (!image->GetPackedCels().empty())
        CopyPackedCel(image, x, y, format, locked, texW, texH);
    else if (bits)
        CopyBits(bits, image->sourceWidth, x, y, copiedW, copiedH, height, format, locked, texW, texH);
}

// Render-target textures cannot be locked: their pixels go through a
// system-memory surface and the device's update call.
void CopyToRenderTargetTexture(D3DInterface& d3d, plat::Texture* texture, const plat::SurfaceDesc& desc, int x, int y,
                               int width, int height, ImageSurface* image, const uint32_t* bits) {
    plat::Device* device = d3d.GetDevice();
    plat::Surface* staging = nullptr;
    if (d3d.CheckResult(
            "CopyImageToTexture::LockRect",
            device->CreateOffscreenPlainSurface(desc.width, desc.height, desc.format, plat::Pool::SystemMem, &staging)))
        return;
    plat::LockedRect locked;
    if (!d3d.CheckResult("CopyImageToTexture::LockRect", staging->LockRect(&locked, nullptr, 0))) {
        FillLocked(locked, x, y, width, height, static_cast<int>(desc.width), static_cast<int>(desc.height),
                   desc.format, image, bits);
        d3d.CheckResult("CopyImageToTexture::UnlockRect", staging->UnlockRect());
        plat::Surface* level = nullptr;
        if (!d3d.CheckResult("GetSurfaceLevel", texture->GetSurfaceLevel(0, &level))) {
            d3d.CheckResult("UpdateSurface", device->UpdateSurface(staging, nullptr, level, nullptr));
            level->Release();
        }
    }
    staging->Release();
}

void CopyToTexture(D3DInterface& d3d, plat::Texture* texture, int x, int y, int width, int height, plat::Format format,
                   ImageSurface* image, const uint32_t* bits) {
    plat::SurfaceDesc desc;
    texture->GetLevelDesc(0, &desc);
    if (desc.usage & plat::kUsageRenderTarget) {
        CopyToRenderTargetTexture(d3d, texture, desc, x, y, width, height, image, bits);
        return;
    }
    plat::LockedRect locked;
    if (d3d.CheckResult("CopyImageToTexture::LockRect", texture->LockRect(0, &locked, nullptr, plat::kLockDiscard)))
        return;
    FillLocked(locked, x, y, width, height, static_cast<int>(desc.width), static_cast<int>(desc.height), format, image,
               bits);
    d3d.CheckResult("CopyImageToTexture::UnlockRect", texture->UnlockRect(0));
}

// Reads one piece's texels: straight from a managed texture, through a
// system-memory copy from a render-target texture. Calls read(locked) with
// the texels and releases everything afterwards.
template <class F>
void ReadPiece(D3DInterface& d3d, plat::Texture* texture, F&& read) {
    plat::SurfaceDesc desc;
    texture->GetLevelDesc(0, &desc);
    if (!(desc.usage & plat::kUsageRenderTarget)) {
        plat::LockedRect locked;
        if (d3d.CheckResult("RecoverBits::LockRect", texture->LockRect(0, &locked, nullptr, plat::kLockReadOnly)))
            return;
        read(locked);
        d3d.CheckResult("RecoverBits::UnlockRect", texture->UnlockRect(0));
        return;
    }
    plat::Device* device = d3d.GetDevice();
    plat::Surface* level = nullptr;
    plat::Surface* copy = nullptr;
    if (d3d.CheckResult("GetSurfaceLevel", texture->GetSurfaceLevel(0, &level))) return;
    if (!d3d.CheckResult(
            "RecoverBits::LockRect",
            device->CreateOffscreenPlainSurface(desc.width, desc.height, desc.format, plat::Pool::SystemMem, &copy))) {
        plat::LockedRect locked;
        if (!d3d.CheckResult("RecoverBits::LockRect", device->GetRenderTargetData(level, copy)) &&
            !d3d.CheckResult("RecoverBits::LockRect", copy->LockRect(&locked, nullptr, plat::kLockReadOnly))) {
            read(locked);
            d3d.CheckResult("RecoverBits::UnlockRect", copy->UnlockRect());
        }
        copy->Release();
    }
    level->Release();
}

// The region of a per-cel image holding the given point (cel size of the owner).
Rect CelRegion(ImageSurface* image, const FRect* at) {
    ImageSurface* owner = image->GetOwnerSurface();
    const int cw = owner->GetCelWidth(), ch = owner->GetCelHeight();
    const float px = at ? at->x : 0.0f, py = at ? at->y : 0.0f;
    const std::vector<CelRectRecord>& records = owner->GetCelRects();
    if (records.empty()) {
        if (cw <= 0 || ch <= 0) return Rect(0, 0, cw, ch);
        const int col = std::max(SaturateCast(px) / cw, 0), row = std::max(SaturateCast(py) / ch, 0);
        return Rect(col * cw, row * ch, cw, ch);
    }
    for (const CelRectRecord& r : records)
        if (FRect(r.x, r.y, r.w, r.h).Contains(px, py)) return Rect(SaturateCast(r.x), SaturateCast(r.y), cw, ch);
    return Rect(SaturateCast(records[0].x), SaturateCast(records[0].y), cw, ch);
}

constexpr uint32_t kLayoutFlagsMask = ~static_cast<uint32_t>(kImageSurfaceIsTexture);

}  // namespace

int NextPowerOfTwo(int n) {
    uint32_t v = static_cast<uint32_t>(std::max(n, 1)) - 1;
    v |= v >> 1;
    v |= v >> 2;
    v |= v >> 4;
    v |= v >> 8;
    v |= v >> 16;
    return static_cast<int>(v + 1);
}

int TextureSizeTableEntry(int n, const TextureLimits&) {
    // Round up to a power of two only when that wastes at most 64 texels;
    // otherwise the lower power is used and the image split into pieces.
    const int p = NextPowerOfTwo(n);
    return p - n > 64 ? p / 2 : p;
}

void ChooseTextureSize(int* width, int* height, bool edge, bool powerOfTwoOnly, uint32_t flags,
                       const TextureLimits& limits) {
    int w = std::max(*width, 1), h = std::max(*height, 1);
    if (!powerOfTwoOnly) {
        w = std::min((w + 1) & ~1, limits.maxWidth);
        h = std::min((h + 1) & ~1, limits.maxHeight);
    } else if (!edge && !(flags & kImageWholePieces)) {
        w = w < limits.maxWidth ? TextureSizeTableEntry(w, limits) : limits.maxWidth;
        h = h < limits.maxHeight ? TextureSizeTableEntry(h, limits) : limits.maxHeight;
    } else {
        w = w < limits.maxWidth ? NextPowerOfTwo(w) : limits.maxWidth;
        h = h < limits.maxHeight ? NextPowerOfTwo(h) : limits.maxHeight;
    }
    w = std::max(w, limits.minWidth);
    h = std::max(h, limits.minHeight);
    const int64_t aspect = std::max(limits.maxAspectRatio, 1);
    while (w > aspect * h) h *= 2;
    while (h > aspect * w) w *= 2;
    *width = w;
    *height = h;
}

void TexturePieces::Layout(int regionWidth, int regionHeight, const TextureLimits& limits) {
    pieceWidth = regionWidth;
    pieceHeight = regionHeight;
    if ((image->rows > 1 || image->cols > 1) && !(flags & kImageWholePieces)) {
        const int cw = image->GetCelWidth(), ch = image->GetCelHeight();
        const bool pow2 = cw > 0 && ch > 0 && NextPowerOfTwo(cw) == cw && NextPowerOfTwo(ch) == ch;
        const bool even = cw > 0 && ch > 0 && cw % 2 == 0 && ch % 2 == 0;
        if ((!limits.powerOfTwoOnly && even) || pow2) {
            pieceWidth = cw;
            pieceHeight = ch;
        }
    }
    ChooseTextureSize(&pieceWidth, &pieceHeight, false, limits.powerOfTwoOnly, flags, limits);
    int rightW = pieceWidth, rightH = pieceHeight, bottomW = pieceWidth, bottomH = pieceHeight;
    if (regionWidth % pieceWidth > 0) {
        rightW = regionWidth % pieceWidth;
        ChooseTextureSize(&rightW, &rightH, true, limits.powerOfTwoOnly, flags, limits);
    }
    if (regionHeight % pieceHeight > 0) {
        bottomH = regionHeight % pieceHeight;
        ChooseTextureSize(&bottomW, &bottomH, true, limits.powerOfTwoOnly, flags, limits);
    }
    int cornerW = rightW, cornerH = bottomH;
    ChooseTextureSize(&cornerW, &cornerH, true, limits.powerOfTwoOnly, flags, limits);
    cols = std::max((regionWidth + pieceWidth - 1) / pieceWidth, 1);
    rows = std::max((regionHeight + pieceHeight - 1) / pieceHeight, 1);
    pieces.assign(static_cast<size_t>(cols) * static_cast<size_t>(rows),
                  TexturePiece{nullptr, pieceWidth, pieceHeight});
    for (int r = 0; r < rows; ++r) {
        TexturePiece& p = pieces[static_cast<size_t>(r * cols + cols - 1)];
        p.width = rightW;
        p.height = rightH;
    }
    for (int c = 0; c < cols; ++c) {
        TexturePiece& p = pieces[static_cast<size_t>((rows - 1) * cols + c)];
        p.width = bottomW;
        p.height = bottomH;
    }
    pieces.back().width = cornerW;
    pieces.back().height = cornerH;
    textureScaleX = static_cast<float>(regionWidth) / static_cast<float>(pieceWidth);
    textureScaleY = static_cast<float>(regionHeight) / static_cast<float>(pieceHeight);
}

void TexturePieces::FreeTextures() {
    for (TexturePiece& p : pieces)
        if (p.texture) p.texture->Release();
    pieces.clear();
    textureBytes = 0;
}

bool CreateTexturePieces(TexturePieces* pieces, ImageSurface* image, D3DInterface& d3d, const FRect* regionArg) {
    plat::Device* device = d3d.GetDevice();
    if (!device || !pieces || !image) return false;
    const uint32_t flags = image->GetFlags();
    Rect region(0, 0, image->width, image->height);
    if (flags & kTexPerCel) {
        if (!regionArg && !pieces->pieces.empty() && pieces->format != plat::Format::Unknown) return true;
        region = CelRegion(image, regionArg);
    }
    if (region.w <= 0 || region.h <= 0) return false;
    const bool haveTextures = pieces->format != plat::Format::Unknown && !pieces->pieces.empty();
    const bool sameRegion = region == pieces->region;
    if (haveTextures && sameRegion && pieces->changeCounter == image->GetGeneration() && !image->ForceRefresh() &&
        flags == pieces->flags)
        return true;
    if (haveTextures && sameRegion && (flags & kTexRefreshOnDirty) && !image->IsDirty()) return true;

    const plat::Format format = (flags & kImageFormat8888)   ? plat::Format::A8R8G8B8
                                : (flags & kImageFormat4444) ? plat::Format::A4R4G4B4
                                                             : plat::Format::A8R8G8B8;
    const bool renderTarget = (flags & kImageRenderTarget) != 0;
    const uint32_t usage = renderTarget ? plat::kUsageRenderTarget : 0;
    const plat::Pool pool = renderTarget ? plat::Pool::Default : plat::Pool::Managed;

    bool fresh = false;
    if (!haveTextures || region.w != pieces->region.w || region.h != pieces->region.h || format != pieces->format ||
        (flags & kLayoutFlagsMask) != (pieces->flags & kLayoutFlagsMask)) {
        pieces->FreeTextures();
        pieces->format = format;
        pieces->flags = flags;
        pieces->Layout(region.w, region.h, d3d.GetTextureLimits());
        fresh = true;
    }

    plat::Surface* source = image->RawSurface();
    plat::SurfaceDesc sourceDesc;
    if (source) source->GetDesc(&sourceDesc);
    const bool stretch = source && renderTarget && sourceDesc.format == format;
    const bool noFill = !stretch && renderTarget && !image->IsDirty();
    const uint32_t* bits = nullptr;
    if (!stretch && !noFill && image->GetPackedCels().empty()) bits = image->GetBits();

    const int bpp = BytesPerTexel(format);
    for (int r = 0; r < pieces->rows; ++r) {
        for (int c = 0; c < pieces->cols; ++c) {
            TexturePiece& piece = pieces->pieces[static_cast<size_t>(r * pieces->cols + c)];
            const int x = region.x + c * pieces->pieceWidth, y = region.y + r * pieces->pieceHeight;
            if (fresh) {
                plat::Texture* texture = nullptr;
                if (plat::Failed(device->CreateTexture(static_cast<uint32_t>(piece.width),
                                                       static_cast<uint32_t>(piece.height), 1, usage, format, pool,
                                                       &texture)) ||
                    !texture) {
                    piece.texture = nullptr;
                    pieces->format = plat::Format::Unknown;
                    return false;
                }
                piece.texture = texture;
                pieces->textureBytes += piece.width * piece.height * bpp;
                if (noFill) {
                    plat::Surface* level = nullptr;
                    if (!d3d.CheckResult("GetSurfaceLevel", texture->GetSurfaceLevel(0, &level))) {
                        d3d.CheckResult("ColorFill", device->ColorFill(level, nullptr, 0));
                        level->Release();
                    }
                }
            }
            if (!piece.texture || noFill) continue;
            if (stretch) {
                plat::Surface* level = nullptr;
                if (d3d.CheckResult("GetSurfaceLevel", piece.texture->GetSurfaceLevel(0, &level))) continue;
                // A surface that is this texture's own level holds the pixels already.
                if (level != source) {
                    const int right = std::min(x + piece.width, region.x + region.w);
                    const int bottom = std::min(y + piece.height, region.y + region.h);
                    const int cw = right - x, ch = bottom - y;
                    auto copy = [&](int sx, int sy, int sw, int sh, int dx, int dy) {
                        const plat::Rect from{sx, sy, sx + sw, sy + sh}, to{dx, dy, dx + sw, dy + sh};
                        d3d.CheckResult("StretchRect",
                                        device->StretchRect(source, &from, level, &to, plat::TextureFilter::None));
                    };
                    if (cw > 0 && ch > 0) {
                        copy(x, y, cw, ch, 0, 0);
                        if (cw < piece.width) copy(right - 1, y, 1, ch, cw, 0);
                        if (ch < piece.height) copy(x, bottom - 1, cw, 1, 0, ch);
                        if (cw < piece.width && ch < piece.height) copy(right - 1, bottom - 1, 1, 1, cw, ch);
                    }
                }
                level->Release();
            } else {
                CopyToTexture(d3d, piece.texture, x, y, piece.width, piece.height, format, image, bits);
            }
        }
    }
    pieces->region = region;
    pieces->changeCounter = image->GetGeneration();
    pieces->format = format;
    image->SetDirty(false);
    image->ClearForceRefresh();
    return true;
}

void CopyImageToTexture(D3DInterface& d3d, plat::Texture* texture, int x, int y, int width, int height,
                        plat::Format format, ImageSurface* image) {
    const uint32_t* bits = image->GetPackedCels().empty() ? image->GetBits() : nullptr;
    CopyToTexture(d3d, texture, x, y, width, height, format, image, bits);
}

bool PrepareImageTexture(D3DInterface& d3d, ImageSurface* image) {
    if (!image) return false;
    std::lock_guard lock(d3d.GetDeviceLock());
    TexturePieces* pieces = image->EnsureTextures();
    const bool ok = CreateTexturePieces(pieces, image, d3d, nullptr);
    if (ok && image->BitsChanged()) image->DropBitsHeldByTextures();
    return ok;
}

bool RecoverBits(D3DInterface& d3d, ImageSurface* image) {
    TexturePieces* pieces = image ? image->GetTextures() : nullptr;
    if (!pieces || image->IsBackBuffer() || (image->HasSurface() && (image->GetFlags() & kImageRenderTarget)) ||
        pieces->changeCounter != image->GetGeneration() || pieces->format == plat::Format::Unknown)
        return false;
    uint32_t* bits = image->HasBits() ? image->RawBits() : image->AllocateBits();
    if (!bits) return false;
    const int imageW = image->sourceWidth, imageH = image->sourceHeight;
    for (int r = 0; r < pieces->rows; ++r) {
        for (int c = 0; c < pieces->cols; ++c) {
            const TexturePiece& piece = pieces->pieces[static_cast<size_t>(r * pieces->cols + c)];
            if (!piece.texture) continue;
            const int x0 = pieces->region.x + c * pieces->pieceWidth, y0 = pieces->region.y + r * pieces->pieceHeight;
            const int w = std::min({piece.width, pieces->pieceWidth, imageW - x0});
            const int h = std::min({piece.height, pieces->pieceHeight, imageH - y0});
            if (w <= 0 || h <= 0) continue;
            ReadPiece(d3d, piece.texture, [&](const plat::LockedRect& locked) {
                for (int y = 0; y < h; ++y) {
                    const uint8_t* src =
                        static_cast<const uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch;
                    uint32_t* dst = bits + static_cast<size_t>(y0 + y) * static_cast<size_t>(imageW) + x0;
                    if (pieces->format == plat::Format::A8R8G8B8) {
                        std::memcpy(dst, src, static_cast<size_t>(w) * 4);
                    } else if (pieces->format == plat::Format::A4R4G4B4) {
                        const auto* texels = reinterpret_cast<const uint16_t*>(src);
                        for (int x = 0; x < w; ++x) dst[x] = Argb4444ToArgb(texels[x]);
                    }
                }
            });
        }
    }
    return true;
}
