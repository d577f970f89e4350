// ImageSurface: where the pixels live (system bits, device surface,
// textures) and how they move between those places.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "foundation/system/text.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_data.h"
#include "rendering/image/image_packed.h"
#include "rendering/image/image_surface.h"
#include "rendering/image/texture_tiles.h"

namespace {

D3DInterface* ReadyDevice() {
    D3DInterface* d3d = D3DInterface::Instance();
    return d3d && d3d->GetDevice() ? d3d : nullptr;
}

// One row of a locked surface as ARGB. A4R4G4B4 widens each nibble n to
// n << 4, so the pixels narrow back to the same texels.
void ConvertLockedPixels(plat::Format format, const uint8_t* src, uint32_t* dst, int n) {
    switch (format) {
        case plat::Format::A8R8G8B8: std::memcpy(dst, src, static_cast<size_t>(n) * 4); break;
        case plat::Format::X8R8G8B8:
            std::memcpy(dst, src, static_cast<size_t>(n) * 4);
            for (int i = 0; i < n; ++i) dst[i] |= 0xFF000000u;
            break;
        case plat::Format::A4R4G4B4: {
            const auto* texels = reinterpret_cast<const uint16_t*>(src);
            for (int i = 0; i < n; ++i) dst[i] = Argb4444ToArgb(texels[i]);
            break;
        }
        default: plat::RowToArgb(format, src, dst, n); break;
    }
}

// Images share the image files' limit: a size from a script or a file cannot
// ask for more memory than the game's largest picture. Empty is allowed.
bool SizeWithinLimit(int64_t w, int64_t h) {
    return w >= 0 && h >= 0 && w <= ImageData::kMaxSide && h <= ImageData::kMaxSide;
}

// One row of bits into a staging surface of the image's format.
void ConvertRowToSurface(plat::Format format, const uint32_t* src, uint8_t* dst, int n) {
    if (format == plat::Format::A8R8G8B8 || format == plat::Format::X8R8G8B8) {
        std::memcpy(dst, src, static_cast<size_t>(n) * 4);
        return;
    }
    auto* texels = reinterpret_cast<uint16_t*>(dst);
    for (int i = 0; i < n; ++i) texels[i] = ArgbTo4444(src[i]);
}

}  // namespace

uint32_t* ImageSurface::AllocateBits(bool cleared) {
    bits_.reset();
    if (!SizeWithinLimit(sourceWidth, sourceHeight)) return nullptr;
    const size_t count = static_cast<size_t>(std::max(sourceWidth, 0)) * static_cast<size_t>(std::max(sourceHeight, 0));
    bits_.reset(cleared ? new (std::nothrow) uint32_t[count + 1]() : new (std::nothrow) uint32_t[count + 1]);
    if (!bits_) return nullptr;
    bits_[count] = kBitsGuardWord;
    return bits_.get();
}

bool ImageSurface::Create(int w, int h) {
    if (!SizeWithinLimit(w, h)) return false;
    FreeTextures();
    ReleaseSurfaceObject();
    FreeBits();
    SetSize(w, h);
    DiscardSurface();
    return true;
}

bool ImageSurface::SetBits(const uint32_t* pixels, int w, int h, bool premultiply) {
    if (pixels && pixels == bits_.get()) return true;
    if (w < 0 || h < 0) w = h = 0;
    if (!SizeWithinLimit(w, h)) return false;
    premultiplied = premultiply;
    if (flags_ & kImagePacked) {
        PackCels(pixels, w, h, premultiply);
    } else {
        // Allocate whenever the bits are absent, not only on a size change:
        // the bits may have been freed by an earlier upload or draw.
        if (!bits_ || w != sourceWidth || h != sourceHeight) {
            FreeBits();
            SetSize(w, h);
            // Pixels given are all written below: clearing them first
            // would cost a pass over every image registered at start-up.
            if (!AllocateBits(pixels == nullptr)) {
                SetSize(0, 0);
                DiscardSurface();
                return false;
            }
        }
        const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
        if (pixels) {
            if (premultiply)
                PremultiplyRow(pixels, bits_.get(), count);
            else
                std::copy(pixels, pixels + count, bits_.get());
        }
        bits_[count] = kBitsGuardWord;
    }
    dirty_ = true;
    DiscardSurface();
    return true;
}

uint32_t* ImageSurface::GetBits() {
    if (bits_) return bits_.get();
    if (flags_ & kImagePacked) return nullptr;
    if (surface_) {
        ReadBackSurface();
        return bits_.get();
    }
    if (locked_) return nullptr;
    D3DInterface* d3d = ReadyDevice();
    if (d3d && textures_) {
        std::lock_guard lock(d3d->GetDeviceLock());
        if (RecoverBits(*d3d, this)) return bits_.get();
    }
    AllocateBits();
    return bits_.get();
}

void ImageSurface::ReadBackSurface() {
    D3DInterface* d3d = ReadyDevice();
    if (!d3d || !surface_) return;
    std::lock_guard lock(d3d->GetDeviceLock());
    plat::Device* device = d3d->GetDevice();
    if (d3d->GetRenderTargetImage() == this && targetNewer_) d3d->EndScene();
    plat::SurfaceDesc desc;
    surface_->GetDesc(&desc);
    plat::Surface* copy = nullptr;
    if (d3d->CheckResult("CreateImageSurface", device->CreateOffscreenPlainSurface(desc.width, desc.height, desc.format,
                                                                                   plat::Pool::SystemMem, &copy)))
        return;
    plat::LockedRect locked;
    if (!d3d->CheckResult("GetBits::GetRenderTargetData", device->GetRenderTargetData(surface_, copy)) &&
        !d3d->CheckResult("GetBits::LockRect", copy->LockRect(&locked, nullptr, plat::kLockReadOnly))) {
        if (!bits_ && !AllocateBits()) {
            d3d->CheckResult("GetBits::UnlockRect", copy->UnlockRect());
            copy->Release();
            return;
        }
        const int w = std::min(sourceWidth, static_cast<int>(desc.width));
        const int h = std::min(sourceHeight, static_cast<int>(desc.height));
        for (int y = 0; y < h; ++y)
            ConvertLockedPixels(desc.format,
                                static_cast<const uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch,
                                bits_.get() + static_cast<size_t>(y) * static_cast<size_t>(sourceWidth), w);
        d3d->CheckResult("GetBits::UnlockRect", copy->UnlockRect());
        if (targetNewer_) {
            ++generation_;
            targetNewer_ = false;
        }
    }
    copy->Release();
}

plat::Surface* ImageSurface::GetD3DSurface() {
    if (!surface_) CreateSurface();
    return surface_;
}

void ImageSurface::CreateSurface() {
    if (surface_ || sourceWidth <= 0 || sourceHeight <= 0 || !SizeWithinLimit(sourceWidth, sourceHeight)) return;
    D3DInterface* d3d = ReadyDevice();
    if (!d3d) return;
    std::lock_guard lock(d3d->GetDeviceLock());
    if (flags_ & kImageRenderTarget)
        CreateRenderTargetSurface(*d3d);
    else
        CreatePlainSurface(*d3d);
    if (surface_) surface_->GetDesc(&surfaceDesc_);
}

void ImageSurface::CreatePlainSurface(D3DInterface& d3d) {
    plat::Device* device = d3d.GetDevice();
    // Recover the pixels before the surface exists, or the read-back would
    // find the new, empty surface.
    if (!bits_ && textures_ && !(flags_ & kImagePacked) && !RecoverBits(d3d, this)) FreeBits();
    plat::Surface* made = nullptr;
    if (d3d.CheckResult(text::Format("Error creating surface [%d,%d]", sourceWidth, sourceHeight),
                        d3d.CreateRenderTarget(sourceWidth, sourceHeight, format_, &made)))
        return;
    surface_ = made;
    if (!bits_) {
        d3d.CheckResult("ColorFill", device->ColorFill(surface_, nullptr, 0));
        return;
    }
    plat::Surface* staging = nullptr;
    if (d3d.CheckResult(
            "CreateImageSurface",
            device->CreateOffscreenPlainSurface(static_cast<uint32_t>(sourceWidth), static_cast<uint32_t>(sourceHeight),
                                                format_, plat::Pool::SystemMem, &staging)))
        return;
    plat::LockedRect locked;
    if (!d3d.CheckResult("LockRect", staging->LockRect(&locked, nullptr, 0))) {
        for (int y = 0; y < sourceHeight; ++y)
            ConvertRowToSurface(format_, bits_.get() + static_cast<size_t>(y) * static_cast<size_t>(sourceWidth),
                                static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch,
                                sourceWidth);
        d3d.CheckResult("UnlockRect", staging->UnlockRect());
        d3d.CheckResult("UpdateSurface", device->UpdateSurface(staging, nullptr, surface_, nullptr));
    }
    staging->Release();
}

void ImageSurface::CreateRenderTargetSurface(D3DInterface& d3d) {
    MoveToSystemMemory();
    PrepareImageTexture(d3d, this);
    if (textures_ && textures_->pieces.size() == 1 && textures_->pieces[0].texture) {
        plat::Surface* level = nullptr;
        if (!d3d.CheckResult("GetSurfaceLevel", textures_->pieces[0].texture->GetSurfaceLevel(0, &level))) {
            surface_ = level;
            flags_ |= kImageSurfaceIsTexture;
            return;
        }
    }
    d3d.CheckResult(text::Format("Error creating render target [%d,%d]", sourceWidth, sourceHeight), plat::kErrFail);
    plat::Surface* made = nullptr;
    if (d3d.CheckResult("CreateRenderTarget", d3d.CreateRenderTarget(sourceWidth, sourceHeight, format_, &made)))
        return;
    surface_ = made;
    d3d.CheckResult("ColorFill", d3d.GetDevice()->ColorFill(surface_, nullptr, 0));
}

void ImageSurface::CommitBits() {
    // Render targets and attached surfaces keep their device copy as the only one.
    if (hasExternalSurface_ || locked_ || (flags_ & kImagePacked)) return;
    if (surface_) ReleaseSurface();
    // Without bits there is nothing new: the textures keep what they hold.
    if (!bits_) return;
    bitsChanged_ = true;
    // The textures are refilled from the new bits on the next draw, which
    // then drops the bits (PrepareImageTexture).
    if (textures_) ++generation_;
}

void ImageSurface::DropBitsHeldByTextures() {
    if (!textures_ || textures_->format == plat::Format::Unknown || textures_->changeCounter != generation_) return;
    if (textures_->flags & kTexPerCel) return;  // the textures hold one cel only
    FreeBits();
    bitsChanged_ = false;
}

void ImageSurface::MoveToSystemMemory() {
    if (locked_ || (!surface_ && !textures_)) return;
    GetBits();
    FreeTextures();
    ReleaseSurface();
}

void ImageSurface::ReleaseExtraCopies() {
    if (locked_) return;
    if (flags_ & kImagePacked) {
        FreeTextures();
        return;
    }
    const int copies = (bits_ ? 1 : 0) + (surface_ ? 1 : 0) + (textures_ ? 1 : 0);
    if (copies < 2) return;
    if (bits_ && surface_) ReleaseSurface();
    if (bits_ && textures_) {
        const int64_t bitsBytes = int64_t{sourceWidth} * sourceHeight * 4;
        const bool current = textures_->format != plat::Format::Unknown && textures_->changeCounter == generation_;
        if (current && textures_->textureBytes < bitsBytes)
            DropBitsHeldByTextures();
        else
            FreeTextures();
    }
}

void ImageSurface::FreeTextures() {
    if (textures_) {
        D3DInterface* d3d = D3DInterface::Instance();
        if (d3d) {
            std::lock_guard lock(d3d->GetDeviceLock());
            textures_.reset();
        } else {
            textures_.reset();
        }
    }
    flags_ &= ~static_cast<uint32_t>(kImageSurfaceIsTexture);
    if ((flags_ & kImageRenderTarget) && !keepSurface_) contentLost_ = true;
}

void ImageSurface::ReleaseSurfaceObject() {
    if (!surface_) return;
    D3DInterface* d3d = D3DInterface::Instance();
    if (d3d) {
        std::lock_guard lock(d3d->GetDeviceLock());
        if (d3d->GetRenderTargetImage() == this) d3d->SetRenderTargetImage(nullptr);
        surface_->Release();
    } else {
        surface_->Release();
    }
    surface_ = nullptr;
}

void ImageSurface::DiscardSurface() {
    ++generation_;
    ReleaseSurfaceObject();
    if ((flags_ & kImageRenderTarget) && !keepSurface_ && (bits_ || textures_)) contentLost_ = true;
}

void ImageSurface::ReleaseSurface() {
    if (!surface_) return;
    if (!bits_ && !(flags_ & kImagePacked)) ReadBackSurface();
    ReleaseSurfaceObject();
}

void ImageSurface::AttachSurface(plat::Surface* surface) {
    ReleaseSurfaceObject();
    if (!surface) return;
    surface->AddRef();
    surface_ = surface;
    hasExternalSurface_ = locked_ = true;
    keepSurface_ = false;
    surface_->GetDesc(&surfaceDesc_);
    SetSize(static_cast<int>(surfaceDesc_.width), static_cast<int>(surfaceDesc_.height));
    format_ = surfaceDesc_.format;
}

void ImageSurface::EnsureDepthStencil() {
    if (depthStencil_) return;
    D3DInterface* d3d = ReadyDevice();
    if (!d3d || !GetD3DSurface()) return;
    std::lock_guard lock(d3d->GetDeviceLock());
    plat::Surface* made = nullptr;
    if (d3d->CheckResult("CreateDepthStencilSurface",
                         d3d->GetDevice()->CreateDepthStencilSurface(surfaceDesc_.width, surfaceDesc_.height,
                                                                     plat::Format::D24S8, true, &made)))
        return;
    depthStencil_ = made;
    if (d3d->GetRenderTargetImage() == this)
        d3d->CheckResult("SetDepthStencilSurface", d3d->GetDevice()->SetDepthStencilSurface(depthStencil_));
}

void ImageSurface::SetTargetNewer() {
    targetNewer_ = true;
    FreeBits();
    // Textures copied from a separate surface are stale now; a surface that
    // is the texture itself is not.
    if (textures_ && !(flags_ & kImageSurfaceIsTexture)) forceRefresh_ = true;
}

void ImageSurface::Clear() {
    D3DInterface* d3d = ReadyDevice();
    if (d3d && surface_) {
        std::lock_guard lock(d3d->GetDeviceLock());
        if (d3d->GetRenderTargetImage() == this) d3d->EndScene();
        d3d->CheckResult("ColorFill", d3d->GetDevice()->ColorFill(surface_, nullptr, 0));
        SetTargetNewer();
        return;
    }
    if (!d3d && bits_) {
        std::fill(bits_.get(), bits_.get() + static_cast<size_t>(sourceWidth) * static_cast<size_t>(sourceHeight), 0u);
        DiscardSurface();
        return;
    }
    ClearRect(Rect(0, 0, width, height));
}
