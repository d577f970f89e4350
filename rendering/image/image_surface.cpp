// ImageSurface: construction, registration and cel geometry.
#include "rendering/image/image_surface.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "foundation/values/saturate.h"
#include "rendering/device/d3d_interface.h"
#include "rendering/image/image_child.h"
#include "rendering/image/live_images.h"
#include "rendering/image/texture_tiles.h"

ImageSurface::ImageSurface(bool isRenderTarget) : isRenderTarget_(isRenderTarget) {
    D3DInterface* d3d = D3DInterface::Instance();
    if (d3d && d3d->GetSurfaceFormat() != plat::Format::Unknown) format_ = d3d->GetSurfaceFormat();
    if (isRenderTarget) {
        flags_ = kImageWholePieces | kImageRenderTarget;
        locked_ = keepSurface_ = true;
    }
    if (LiveImageSet* live = LiveImageSet::Current()) live->Add(this);
    if (d3d) d3d->AddImage(this);
}

ImageSurface::~ImageSurface() {
    D3DInterface* d3d = D3DInterface::Instance();
    if (d3d) {
        std::lock_guard lock(d3d->GetDeviceLock());
        // Unregistering first also unbinds this image if it is the render target.
        d3d->RemoveImage(this);
        ReleaseSurfaceObject();
        if (depthStencil_) depthStencil_->Release();
        depthStencil_ = nullptr;
        textures_.reset();
    } else {
        ReleaseSurfaceObject();
        if (depthStencil_) depthStencil_->Release();
        textures_.reset();
    }
    if (LiveImageSet* live = LiveImageSet::Current()) live->Remove(this);
}

int ImageSurface::GetCelWidth() const {
    if (!celRects_.empty()) return SaturateCast(celRects_[0].fullWidth);
    return cols > 0 ? width / cols : width;
}

int ImageSurface::GetCelHeight() const {
    if (!celRects_.empty()) return SaturateCast(celRects_[0].fullHeight);
    return rows > 0 ? height / rows : height;
}

int ImageSurface::GetSourceCelWidth() const {
    if (!celRects_.empty()) return GetCelWidth();
    return cols > 0 ? sourceWidth / cols : sourceWidth;
}

int ImageSurface::GetSourceCelHeight() const {
    if (!celRects_.empty()) return GetCelHeight();
    return rows > 0 ? sourceHeight / rows : sourceHeight;
}

int ImageSurface::GetCelCount() const {
    if (!celRects_.empty()) return static_cast<int>(celRects_.size());
    return std::max(rows, 0) * std::max(cols, 0);
}

Rect ImageSurface::GetCelRect(int col, int row) const {
    const int cw = GetCelWidth(), ch = GetCelHeight();
    return Rect(cw * col, ch * row, cw, ch);
}

Rect ImageSurface::GetCelRectByIndex(int n) const {
    if (!celRects_.empty()) {
        if (n < 0 || n >= static_cast<int>(celRects_.size())) return Rect();
        const CelRectRecord& r = celRects_[static_cast<size_t>(n)];
        return Rect(SaturateCast(r.x), SaturateCast(r.y), SaturateCast(r.w), SaturateCast(r.h));
    }
    const int c = std::max(cols, 1);
    const int cw = GetCelWidth(), ch = GetCelHeight();
    return Rect((n % c) * cw, (n / c) * ch, cw, ch);
}

FRect ImageSurface::GetSourceCelRect(int col, int row) const {
    if (!celRects_.empty()) return GetSourceCelRectByIndex(row * cols + col);
    const float scw = static_cast<float>(GetSourceCelWidth()), sch = static_cast<float>(GetSourceCelHeight());
    return FRect(scw * static_cast<float>(col), sch * static_cast<float>(row), scw, sch);
}

FRect ImageSurface::GetSourceCelRectByIndex(int n) const {
    if (!celRects_.empty()) {
        if (n < 0 || n >= static_cast<int>(celRects_.size())) return FRect();
        const CelRectRecord& r = celRects_[static_cast<size_t>(n)];
        return FRect(r.x, r.y, r.w, r.h);
    }
    const int c = std::max(cols, 1);
    return GetSourceCelRect(n % c, n / c);
}

bool ImageSurface::GetCelBox(int cel, FRect* box) const {
    if (celRects_.empty() || !IsValidCel(cel)) return Image::GetCelBox(cel, box);
    const CelRectRecord& r = celRects_[static_cast<size_t>(cel)];
    *box = FRect(r.offsetX, r.offsetY, r.w, r.h);
    return true;
}

ImageSurface* ImageSurface::ResolveCel(int cel, float* x, float* y, FRect* source, Matrix4* matrix) {
    if (!IsValidCel(cel)) return nullptr;
    if (celRects_.empty()) {
        if (source) {
            const Rect origin = GetCelRectByIndex(cel);
            source->x += static_cast<float>(origin.x);
            source->y += static_cast<float>(origin.y);
        }
        return this;
    }
    const CelRectRecord& r = celRects_[static_cast<size_t>(cel)];
    const FRect asked = source ? *source : FRect(0, 0, r.fullWidth, r.fullHeight);
    const FRect q = asked.Intersection(FRect(r.offsetX, r.offsetY, r.w, r.h));
    if (source) *source = FRect(q.x - r.offsetX + r.x, q.y - r.offsetY + r.y, q.w, q.h);
    if (matrix) {
        Matrix4 t;
        t.Translate((q.x - asked.x) + (q.w - asked.w) * 0.5f, (q.y - asked.y) + (q.h - asked.h) * 0.5f, 0.0f);
        Matrix4::Multiply(*matrix, *matrix, t);
    } else {
        if (x) *x += q.x - asked.x;
        if (y) *y += q.y - asked.y;
    }
    return this;
}

uint32_t ImageSurface::GetPixel(int x, int y, int cel) {
    int px = 0, py = 0;
    return LocateCelPixel(x, y, cel, &px, &py) ? PixelAt(px, py) : 0;
}

bool ImageSurface::LocateCelPixel(int x, int y, int cel, int* surfaceX, int* surfaceY) const {
    if (!IsValidCel(cel)) return false;
    const FRect r = GetSourceCelRectByIndex(cel);
    // Wide enough for script coordinates moved by record offsets from data files.
    int64_t px = x, py = y;
    if (!celRects_.empty()) {
        const CelRectRecord& record = celRects_[static_cast<size_t>(cel)];
        px -= SaturateCast(record.offsetX);
        py -= SaturateCast(record.offsetY);
    }
    if (px < 0 || py < 0 || static_cast<float>(px) >= r.w || static_cast<float>(py) >= r.h) return false;
    px += SaturateCast(r.x);
    py += SaturateCast(r.y);
    // A record reaching outside the surface reads nothing.
    if (px < 0 || py < 0 || px >= sourceWidth || py >= sourceHeight) return false;
    *surfaceX = static_cast<int>(px);
    *surfaceY = static_cast<int>(py);
    return true;
}

uint32_t ImageSurface::PixelAt(int x, int y) {
    if (x < 0 || y < 0 || x >= sourceWidth || y >= sourceHeight) return 0;
    const uint32_t* bits = GetBits();
    if (!bits) return 0;
    return bits[static_cast<size_t>(y) * static_cast<size_t>(sourceWidth) + static_cast<size_t>(x)];
}

Image* ImageSurface::Duplicate() { return new ImageChild(this); }

void ImageSurface::SetCelRects(const std::vector<CelDataRecord>& records) {
    for (const CelDataRecord& record : records) {
        CelDataRecord stored = record;
        stored.firstCel = static_cast<int32_t>(celRects_.size());
        celRects_.insert(celRects_.end(), record.cels.begin(), record.cels.end());
        celData_.push_back(std::move(stored));
    }
}

TexturePieces* ImageSurface::EnsureTextures() {
    if (!textures_) textures_ = std::make_unique<TexturePieces>(this);
    return textures_.get();
}
