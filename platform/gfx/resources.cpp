#include "platform/gfx/resources.h"

#include <algorithm>
#include <atomic>

#include "platform/gfx/filtered_rows.h"
#include "platform/gfx/formats.h"
#include "platform/gfx/scaled_images.h"

namespace plat {

namespace {

constexpr int kCacheLine = 64;
constexpr int kCrowdedPitch = 1024;

}  // namespace

uint32_t RefCounted::AddRef() { return ++refs_; }

uint32_t RefCounted::Release() {
    uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

Surface::Surface(const Params& p) : params_(p) {
    if (IsDepthStencil()) {
        stencil_.assign(static_cast<size_t>(p.width) * p.height, 0);
        return;
    }
    pitch_ = (static_cast<int>(p.width) * BytesPerPixel(p.format) + 3) & ~3;
    // Rows a multiple of 1 KB apart fall in at most four of the first-level
    // cache's 64 sets: a sprite's rows, blended down a column, push each
    // other out of it. One cache line more a row spreads them over every
    // set (a sixtieth off a busy frame 1024 pixels wide; 1 KB or 2 KB more
    // a row lost time instead).
    if (pitch_ % kCrowdedPitch == 0) pitch_ += kCacheLine;
    words_.assign(static_cast<size_t>(pitch_ / 4) * p.height, 0);
}

Surface::~Surface() = default;

void Surface::FillLater(uint32_t word) {
    fillLater_ = true;
    fillWord_ = word;
    Touch();
}

void Surface::MakeFill() {
    fillLater_ = false;
    for (int y = 0; y < Height(); ++y)
        std::fill_n(words_.data() + static_cast<size_t>(y) * static_cast<size_t>(pitch_ / 4), Width(), fillWord_);
}

FilteredRows& Surface::Filtered() {
    if (!filtered_) filtered_ = std::make_unique<FilteredRows>();
    return *filtered_;
}

ScaledImages& Surface::Scaled() {
    if (!scaled_) scaled_ = std::make_unique<ScaledImages>();
    return *scaled_;
}

Surface* Surface::Create(const Params& p) {
    if (p.width == 0 || p.height == 0 || p.width > 16384 || p.height > 16384) return nullptr;
    if (!IsColorFormat(p.format) && p.format != Format::D24S8) return nullptr;
    return new Surface(p);
}

uint32_t Surface::AddRef() { return container_ ? container_->AddRef() : RefCounted::AddRef(); }

uint32_t Surface::Release() { return container_ ? container_->Release() : RefCounted::Release(); }

HResult Surface::LockRect(LockedRect* out, const Rect* rect, uint32_t flags) {
    if (!out || locked_ || !params_.lockable || IsDepthStencil()) return kErrInvalidCall;
    Rect r{0, 0, Width(), Height()};
    if (rect) {
        r = *rect;
        if (r.left < 0 || r.top < 0 || r.right > Width() || r.bottom > Height() || r.left >= r.right ||
            r.top >= r.bottom)
            return kErrInvalidCall;
    }
    locked_ = true;
    lockedReadOnly_ = (flags & kLockReadOnly) != 0;
    out->pitch = pitch_;
    out->bits = Row(r.top) + r.left * BytesPerPixel(params_.format);
    return kOk;
}

HResult Surface::UnlockRect() {
    if (!locked_) return kErrInvalidCall;
    locked_ = false;
    if (!lockedReadOnly_) Touch();
    return kOk;
}

HResult Surface::GetDesc(SurfaceDesc* out) const {
    if (!out) return kErrInvalidCall;
    out->format = params_.format;
    out->type = ResourceType::Surface;
    out->usage = params_.usage;
    out->pool = params_.pool;
    out->width = params_.width;
    out->height = params_.height;
    return kOk;
}

uint64_t Surface::NewReaderId() {
    static std::atomic<uint64_t> next{1};
    return next++;
}

void Surface::Touch(int top, int bottom) {
    ++version_;
    top = std::max(top, 0);
    bottom = std::min(bottom, Height());
    if (top >= bottom) return;
    if (changedTop_ >= changedBottom_) {
        changedTop_ = top;
        changedBottom_ = bottom;
        return;
    }
    changedTop_ = std::min(changedTop_, top);
    changedBottom_ = std::max(changedBottom_, bottom);
}

Surface::RowSpan Surface::RowsToCopy(uint64_t reader, uint64_t readerVersion, const Rect& from, const Rect& to) {
    const bool same = reader == copyReader_ && readerVersion == copyReaderVersion_ && from.left == copyFrom_.left &&
                      from.top == copyFrom_.top && from.right == copyFrom_.right && from.bottom == copyFrom_.bottom &&
                      to.left == copyTo_.left && to.top == copyTo_.top && to.right == copyTo_.right &&
                      to.bottom == copyTo_.bottom;
    copyReader_ = 0;
    copyFrom_ = from;
    copyTo_ = to;
    if (!same) return {from.top, from.bottom};
    const RowSpan changed{std::max(from.top, changedTop_), std::min(from.bottom, changedBottom_)};
    return changed.top < changed.bottom ? changed : RowSpan{from.top, from.top};
}

void Surface::NoteCopied(uint64_t reader, uint64_t readerVersion) {
    copyReader_ = reader;
    copyReaderVersion_ = readerVersion;
    changedTop_ = changedBottom_ = 0;
}

TextureView Surface::View() {
    TextureView v;
    v.width = Width();
    v.height = Height();
    if (params_.format == Format::A8R8G8B8) {
        if (fillLater_) MakeFill();
        v.pixels = words_.data();
        v.pitch = pitch_ / 4;
        return v;
    }
    if (cacheVersion_ != version_) {
        argbCache_.resize(static_cast<size_t>(Width()) * Height());
        for (int y = 0; y < Height(); ++y)
            RowToArgb(params_.format, Row(y), argbCache_.data() + static_cast<size_t>(y) * Width(), Width());
        cacheVersion_ = version_;
    }
    v.pixels = argbCache_.data();
    v.pitch = Width();
    return v;
}

uint32_t Surface::ReadArgb(int x, int y) const {
    if (IsDepthStencil() || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    return ToArgb(params_.format, Row(y) + x * BytesPerPixel(params_.format));
}

void Texture::SurfaceDeleter::operator()(Surface* s) const { delete s; }

Texture::~Texture() = default;

Texture* Texture::Create(uint32_t width, uint32_t height, uint32_t usage, Format format, Pool pool) {
    if (!IsColorFormat(format)) return nullptr;
    Surface::Params p;
    p.width = width;
    p.height = height;
    p.format = format;
    p.pool = pool;
    p.usage = usage;
    // Only memory the program owns can be locked: managed and system-memory
    // textures, and dynamic ones; render targets never.
    p.lockable = (usage & kUsageRenderTarget) == 0 && (pool != Pool::Default || (usage & kUsageDynamic));
    Surface* s = Surface::Create(p);
    if (!s) return nullptr;
    auto* t = new Texture();
    t->level0_.reset(s);
    s->container_ = t;
    return t;
}

HResult Texture::GetSurfaceLevel(uint32_t level, Surface** out) {
    if (!out || level != 0) return kErrInvalidCall;
    level0_->AddRef();
    *out = level0_.get();
    return kOk;
}

HResult Texture::LockRect(uint32_t level, LockedRect* out, const Rect* rect, uint32_t flags) {
    if (level != 0) return kErrInvalidCall;
    return level0_->LockRect(out, rect, flags);
}

HResult Texture::UnlockRect(uint32_t level) {
    if (level != 0) return kErrInvalidCall;
    return level0_->UnlockRect();
}

HResult Texture::GetLevelDesc(uint32_t level, SurfaceDesc* out) const {
    if (level != 0 || !out) return kErrInvalidCall;
    HResult r = level0_->GetDesc(out);
    out->type = ResourceType::Surface;
    return r;
}

}  // namespace plat
