#include "rendering/device/device_surface_image.h"

#include <mutex>

#include "rendering/device/d3d_interface.h"

DeviceSurfaceImage::DeviceSurfaceImage(D3DInterface& d3d, plat::Surface* surface, int width, int height,
                                       bool renderTarget)
    : d3d_(d3d), surface_(surface), width_(width), height_(height), renderTarget_(renderTarget) {
    if (surface_) surface_->AddRef();
}

DeviceSurfaceImage::~DeviceSurfaceImage() {
    std::lock_guard lock(d3d_.GetDeviceLock());
    if (d3d_.GetRenderTargetImage() == this) {
        d3d_.EndScene();
        d3d_.SetRenderTargetImage(nullptr);
    }
    if (surface_) surface_->Release();
}

void DeviceSurfaceImage::SetPixels(const uint32_t* argb) {
    bits_.assign(argb, argb + static_cast<size_t>(width_) * height_);
}

uint32_t* DeviceSurfaceImage::GetBits() {
    if (!renderTarget_) return bits_.empty() ? nullptr : bits_.data();
    std::lock_guard lock(d3d_.GetDeviceLock());
    if (!surface_) return nullptr;
    if (d3d_.GetRenderTargetImage() == this) d3d_.EndScene();
    if (!ReadSurfacePixels(d3d_, surface_, &bits_)) return nullptr;
    return bits_.data();
}

plat::Surface* DeviceSurfaceImage::GetD3DSurface() {
    std::lock_guard lock(d3d_.GetDeviceLock());
    if (surface_ || width_ <= 0 || height_ <= 0) return surface_;
    plat::Device* device = d3d_.GetDevice();
    if (!device) return nullptr;
    const plat::Format format = plat::Format::A8R8G8B8;
    if (d3d_.CheckResult("CreateImageSurface", d3d_.CreateRenderTarget(width_, height_, format, &surface_)))
        return nullptr;
    if (renderTarget_ || bits_.empty()) {
        d3d_.CheckResult("ColorFill", device->ColorFill(surface_, nullptr, 0));
        return surface_;
    }
    plat::Surface* staging = nullptr;
    if (d3d_.CheckResult("CreateImageSurface",
                         device->CreateOffscreenPlainSurface(width_, height_, format, plat::Pool::SystemMem, &staging)))
        return surface_;
    plat::LockedRect locked;
    if (!d3d_.CheckResult("LockRect", staging->LockRect(&locked, nullptr, 0))) {
        for (int y = 0; y < height_; ++y)
            plat::RowFromArgb(format, bits_.data() + static_cast<size_t>(y) * width_,
                              static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch, width_);
        d3d_.CheckResult("UnlockRect", staging->UnlockRect());
        d3d_.CheckResult("UpdateSurface", device->UpdateSurface(staging, nullptr, surface_, nullptr));
    }
    staging->Release();
    return surface_;
}

bool DeviceSurfaceImage::BindRenderTarget() {
    std::lock_guard lock(d3d_.GetDeviceLock());
    plat::Device* device = d3d_.GetDevice();
    plat::Surface* surface = GetD3DSurface();
    if (!device || !surface) return false;
    if (d3d_.GetRenderTargetImage() == this) return true;
    d3d_.EndScene();
    if (d3d_.CheckResult("SetRenderTarget", device->SetRenderTarget(0, surface))) return false;
    d3d_.CheckResult("SetDepthStencilSurface", device->SetDepthStencilSurface(nullptr));
    plat::SurfaceDesc desc;
    surface->GetDesc(&desc);
    plat::Viewport vp{0, 0, static_cast<uint32_t>(width_), static_cast<uint32_t>(height_), 0.0f, 1.0f};
    d3d_.CheckResult("SetViewport", device->SetViewport(&vp));
    const plat::Matrix projection =
        PixelProjection(width_, height_, static_cast<int>(desc.width), static_cast<int>(desc.height));
    device->SetTransform(plat::TransformState::Projection, &projection);
    d3d_.SetRenderTargetImage(this);
    d3d_.RenderTargetChanged();
    return true;
}

void DeviceSurfaceImage::Clear() {
    std::lock_guard lock(d3d_.GetDeviceLock());
    plat::Device* device = d3d_.GetDevice();
    if (device && GetD3DSurface()) d3d_.CheckResult("ColorFill", device->ColorFill(surface_, nullptr, 0));
    std::fill(bits_.begin(), bits_.end(), 0u);
}

std::unique_ptr<DeviceImage> DeviceSurfaceImageFactory::WrapBackBuffer(plat::Surface* backBuffer) {
    plat::SurfaceDesc desc;
    backBuffer->GetDesc(&desc);
    return std::make_unique<DeviceSurfaceImage>(d3d_, backBuffer, static_cast<int>(desc.width),
                                                static_cast<int>(desc.height), true);
}

std::unique_ptr<DeviceImage> DeviceSurfaceImageFactory::CreateDrawBuffer(int width, int height) {
    return std::make_unique<DeviceSurfaceImage>(d3d_, nullptr, width, height, true);
}

std::unique_ptr<DeviceImage> DeviceSurfaceImageFactory::CreateImage(int width, int height, const uint32_t* argb) {
    auto image = std::make_unique<DeviceSurfaceImage>(d3d_, nullptr, width, height, false);
    image->SetPixels(argb);
    return image;
}

bool ReadSurfacePixels(D3DInterface& d3d, plat::Surface* surface, std::vector<uint32_t>* out) {
    std::lock_guard lock(d3d.GetDeviceLock());
    plat::Device* device = d3d.GetDevice();
    if (!device || !surface) return false;
    plat::SurfaceDesc desc;
    surface->GetDesc(&desc);
    plat::Surface* copy = nullptr;
    if (d3d.CheckResult("CreateImageSurface", device->CreateOffscreenPlainSurface(desc.width, desc.height, desc.format,
                                                                                  plat::Pool::SystemMem, &copy)))
        return false;
    bool ok = !d3d.CheckResult("GetBits::GetRenderTargetData", device->GetRenderTargetData(surface, copy));
    plat::LockedRect locked;
    if (ok) ok = !d3d.CheckResult("GetBits::LockRect", copy->LockRect(&locked, nullptr, plat::kLockReadOnly));
    if (ok) {
        out->resize(static_cast<size_t>(desc.width) * desc.height);
        for (uint32_t y = 0; y < desc.height; ++y)
            plat::RowToArgb(desc.format,
                            static_cast<const uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch,
                            out->data() + static_cast<size_t>(y) * desc.width, static_cast<int>(desc.width));
        d3d.CheckResult("GetBits::UnlockRect", copy->UnlockRect());
    }
    copy->Release();
    return ok;
}

plat::Matrix PixelProjection(int width, int height, int surfaceWidth, int surfaceHeight) {
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const float sw = static_cast<float>(surfaceWidth), sh = static_cast<float>(surfaceHeight);
    plat::Matrix translation, perspective, out;
    plat::MatrixTranslation(&translation, -w * 0.5f, -h * 0.5f, 2.0f * w);
    plat::MatrixPerspectiveOffCenterLH(&perspective, -0.25f, (2.0f * sw - w) * 0.25f / w, (2.0f * sh - h) * 0.25f / w,
                                       -0.25f * h / w, 1.0f, 100.0f * w);
    plat::MatrixMultiply(&out, &translation, &perspective);
    return out;
}
