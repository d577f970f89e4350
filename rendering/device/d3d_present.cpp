// D3DInterface: composing and presenting the frame, the cursor, screen
// capture, and the release of the device with its recovery.
#include "rendering/device/d3d_interface.h"

#include <algorithm>
#include <mutex>

#include "rendering/device/device_surface_image.h"
#include "rendering/draw/graphics.h"

bool D3DInterface::Redraw() {
    std::lock_guard lock(deviceLock_);
    if (!ready_ || (!windowed_ && host_ && host_->IsHidden())) return false;
    if (softwareCursor_ && drawBufferA_ && drawBufferB_) CopyImage(*drawBufferA_, *drawBufferB_, layout_.source, false);
    return plat::Succeeded(Present());
}

// Copies the whole source rectangle of `source` into `to` of `target`
// (an opaque copy: alpha blending plays no part), scaled when sizes differ.
void D3DInterface::CopyImage(DeviceImage& target, DeviceImage& source, const Rect& to, bool filter) {
    plat::Surface* src = source.GetD3DSurface();
    plat::Surface* dst = target.GetD3DSurface();
    if (!src || !dst) return;
    const Rect& s = layout_.source;
    const plat::Rect from{s.x, s.y, s.x + s.w, s.y + s.h};
    const plat::Rect into{to.x, to.y, to.x + to.w, to.y + to.h};
    CheckResult("StretchRect", device_->StretchRect(src, &from, dst, &into,
                                                    filter ? plat::TextureFilter::Linear : plat::TextureFilter::Point));
}

plat::HResult D3DInterface::Present() {
    std::lock_guard lock(deviceLock_);
    if (!ready_ || !device_ || !backBufferImage_) return -1;
    EndScene();
    DeviceImage* source = softwareCursor_ ? drawBufferA_.get() : drawBufferB_.get();
    // A frame shown as drawn, at the back buffer's size with nothing drawn
    // over it, goes to the screen straight from the draw buffer: one pass
    // over the frame's pixels fewer than copying it into the back buffer.
    if (source && !softwareCursor_ && !layout_.bordered && !layout_.stretchingNeeded && layout_.presentation.x == 0 &&
        layout_.presentation.y == 0)
        if (plat::Surface* frame = source->GetD3DSurface(); frame && device_->CanPresentFrom(*frame))
            return device_->Present(frame);
    if (layout_.bordered) backBufferImage_->Clear();
    if (source) {
        const Rect& p = layout_.presentation;
        if (layout_.stretchingNeeded)
            CopyImage(*backBufferImage_, *source, p, true);
        else
            CopyImage(*backBufferImage_, *source, Rect(p.x, p.y, layout_.source.w, layout_.source.h), false);
    }
    if (softwareCursor_) {
        drawnCursorX_ = cursorX_.load(std::memory_order_relaxed);
        drawnCursorY_ = cursorY_.load(std::memory_order_relaxed);
        DrawSoftwareCursor();
    }
    EndScene();
    return device_->Present();
}

plat::Texture* D3DInterface::CursorTexture(DeviceImage& image) {
    if (auto it = cursorTextures_.find(&image); it != cursorTextures_.end()) return it->second;
    const int w = image.GetWidth(), h = image.GetHeight();
    std::vector<uint32_t> pixels;
    if (const uint32_t* bits = image.GetBits())
        pixels.assign(bits, bits + static_cast<size_t>(w) * h);
    else if (!ReadSurfacePixels(*this, image.GetD3DSurface(), &pixels) || pixels.size() != static_cast<size_t>(w) * h)
        return nullptr;
    plat::Texture* texture = nullptr;
    if (w <= 0 || h <= 0 ||
        CheckResult("CreateTexture", device_->CreateTexture(static_cast<uint32_t>(w), static_cast<uint32_t>(h), 1, 0,
                                                            plat::Format::A8R8G8B8, plat::Pool::Managed, &texture)))
        return nullptr;
    plat::LockedRect locked;
    if (!CheckResult("LockRect", texture->LockRect(0, &locked, nullptr, plat::kLockDiscard))) {
        for (int y = 0; y < h; ++y)
            plat::RowFromArgb(plat::Format::A8R8G8B8, pixels.data() + static_cast<size_t>(y) * w,
                              static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch, w);
        CheckResult("UnlockRect", texture->UnlockRect(0));
    }
    cursorTextures_[&image] = texture;
    return texture;
}

void D3DInterface::DrawSoftwareCursor() {
    if (!cursorImage_ || !backBufferImage_) return;
    plat::Texture* texture = CursorTexture(*cursorImage_);
    if (!texture || !backBufferImage_->BindRenderTarget() || !BeginScene()) return;
    DrawState state;
    state.mode = kDrawNormal;
    SetupDrawMode(kDrawKindBlit, cursorImage_->IsPremultiplied(), &state);
    SetClip(nullptr);
    const float x = static_cast<float>(drawnCursorX_ - hotSpotX_) - 0.5f;
    const float y = static_cast<float>(drawnCursorY_ - hotSpotY_) - 0.5f;
    const float w = static_cast<float>(cursorImage_->GetCelWidth());
    const float h = static_cast<float>(cursorImage_->GetCelHeight());
    const float s = w / static_cast<float>(cursorImage_->GetWidth());
    const float t = h / static_cast<float>(cursorImage_->GetHeight());
    const DeviceVertex quad[4] = {{x, y, 0, 0xFFFFFFFFu, 0, 0},
                                  {x, y + h, 0, 0xFFFFFFFFu, 0, t},
                                  {x + w, y, 0, 0xFFFFFFFFu, s, 0},
                                  {x + w, y + h, 0, 0xFFFFFFFFu, s, t}};
    CheckResult("SetTexture", device_->SetTexture(0, texture));
    CheckResult("DrawPrimitive (Tri)",
                device_->DrawPrimitiveUP(plat::PrimitiveType::TriangleStrip, 2, quad, sizeof(DeviceVertex)));
    CheckResult("SetTexture NULL", device_->SetTexture(0, nullptr));
}

bool D3DInterface::SetCursorImage(DeviceImage* image, bool* software) {
    std::lock_guard lock(deviceLock_);
    if (image == cursorImage_) {
        if (software) *software = softwareCursor_;
        return softwareCursor_;
    }
    if (!image) {
        cursorImage_ = nullptr;
        if (software) *software = softwareCursor_;
        softwareCursor_ = false;
        return true;
    }
    cursorImage_ = image;
    int hx = 0, hy = 0;
    const bool listed = host_ && host_->FindCursorHotspot(image->GetImageName(), &hx, &hy);
    softwareCursor_ = !listed;
    hotSpotX_ = listed ? hx : image->GetWidth() / 2;
    hotSpotY_ = listed ? hy : image->GetHeight() / 2;

    DeviceHost::CursorHandle cursor = 0;
    if (!softwareCursor_) {
        if (auto it = cursorCache_.find(image); it != cursorCache_.end()) {
            cursor = it->second;
        } else if (const uint32_t* bits = image->GetBits()) {
            // Packed and locked images have no system pixels to build a
            // cursor from; they are drawn as a software cursor instead.
            cursor = host_->CreateCursor(bits, image->GetWidth(), image->GetHeight(), hotSpotX_, hotSpotY_);
            if (cursor) cursorCache_[image] = cursor;
        }
        softwareCursor_ = cursor == 0;
    }
    if (software) *software = softwareCursor_;
    if (softwareCursor_) {
        Redraw();
        return true;
    }
    host_->SetWindowCursor(cursor);
    return false;
}

std::unique_ptr<DeviceImage> D3DInterface::CaptureScreen() {
    std::lock_guard lock(deviceLock_);
    if (!drawBufferB_ || !imageFactory_) return nullptr;
    if (currentRenderTarget_ == drawBufferB_.get()) EndScene();
    plat::Surface* surface = drawBufferB_->GetD3DSurface();
    std::vector<uint32_t> pixels;
    if (!surface || !ReadSurfacePixels(*this, surface, &pixels)) return nullptr;
    // The buffer's surface may be larger than the screen (power-of-two-only
    // devices): keep the screen's rows and columns from its top-left corner.
    plat::SurfaceDesc desc;
    surface->GetDesc(&desc);
    const int width = drawBufferB_->GetWidth();
    const int height = drawBufferB_->GetHeight();
    if (width <= 0 || height <= 0 || static_cast<int>(desc.width) < width || static_cast<int>(desc.height) < height)
        return nullptr;
    if (static_cast<int>(desc.width) != width) {
        for (int y = 1; y < height; ++y)
            std::copy_n(pixels.begin() + static_cast<ptrdiff_t>(y) * desc.width, width,
                        pixels.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    return imageFactory_->CreateImage(width, height, pixels.data());
}

void D3DInterface::ReleaseDeviceObjects(bool flushOnly) {
    std::lock_guard lock(deviceLock_);
    EndScene();
    FreeBlitBuffers();
    FreeScratchSurfaces();
    if (flushOnly) return;
    std::lock_guard surfaceLock(surfaceSetLock_);
    const std::set<DeviceImage*> surfaces = surfaces_;
    for (DeviceImage* image : surfaces) image->ReleaseExtraCopies();
}

void D3DInterface::FreeCursors() {
    for (const auto& [image, cursor] : cursorCache_)
        if (host_) host_->DestroyCursor(cursor);
    cursorCache_.clear();
    for (const auto& [image, texture] : cursorTextures_) texture->Release();
    cursorTextures_.clear();
}

void D3DInterface::ReleaseDevice() {
    std::lock_guard lock(deviceLock_);
    ReleaseDeviceObjects(true);
    ready_ = false;
    currentRenderTarget_ = nullptr;
    scratchRenderTargets_[1].reset();
    scratchRenderTargets_[0].reset();
    drawBufferB_.reset();
    drawBufferA_.reset();
    backBufferImage_.reset();
    currentRenderTarget_ = nullptr;
    FreeCursors();
    if (device_) device_->Release();
    device_ = nullptr;
    if (direct3d_) direct3d_->Release();
    direct3d_ = nullptr;
    softwareCursor_ = true;
}

void D3DInterface::Cleanup() {
    std::lock_guard lock(deviceLock_);
    std::lock_guard surfaceLock(surfaceSetLock_);
    ready_ = false;
    EndScene();
    currentRenderTarget_ = nullptr;
    const std::set<DeviceImage*> surfaces = surfaces_;
    for (DeviceImage* image : surfaces) image->MoveToSystemMemory();
    const std::set<DeviceSysFont*> fonts = sysFonts_;
    for (DeviceSysFont* font : fonts) font->ReleaseDeviceFont();
    DisableShaders();
    const std::set<DeviceShaderProgram*> programs = shaderPrograms_;
    for (DeviceShaderProgram* program : programs) program->Release();
    ReleaseDevice();
}
