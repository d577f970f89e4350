#pragma once
// Reference-counted device resources: surfaces (render targets, off-screen
// plain surfaces, the back buffer, depth-stencil surfaces, texture levels) and
// textures. A resource starts with one reference held by its creator and is
// freed when Release brings the count to zero; a texture's level surface
// shares the texture's count, so holding the surface keeps the texture alive.
// Pixels are stored in the surface's own format with a pitch aligned to four
// bytes, a cache line longer where it would be a multiple of 1 KB. Not
// thread-safe: callers serialise device access.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/gfx_types.h"

namespace plat {

class RefCounted {
public:
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    virtual uint32_t AddRef();
    virtual uint32_t Release();

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;

private:
    uint32_t refs_ = 1;
};

// Points `slot` at `value`, taking a reference on the new object before
// dropping the old one, so rebinding the same object is safe.
template <typename T>
void ReplaceReference(T*& slot, T* value) {
    if (slot == value) return;
    if (value) value->AddRef();
    if (slot) slot->Release();
    slot = value;
}

class Texture;

// Pixels as 32-bit ARGB for sampling; `pitch` counts pixels.
struct TextureView {
    const uint32_t* pixels = nullptr;
    int width = 0, height = 0, pitch = 0;
};

class FilteredRows;
class ScaledImages;

class Surface : public RefCounted {
public:
    struct Params {
        uint32_t width = 0, height = 0;
        Format format = Format::Unknown;
        Pool pool = Pool::Default;
        uint32_t usage = 0;
        bool lockable = true;
    };
    static Surface* Create(const Params& p);

    uint32_t AddRef() override;
    uint32_t Release() override;

    HResult LockRect(LockedRect* out, const Rect* rect, uint32_t flags);
    HResult UnlockRect();
    HResult GetDesc(SurfaceDesc* out) const;

    // For the device's own routines.
    int Width() const { return static_cast<int>(params_.width); }
    int Height() const { return static_cast<int>(params_.height); }
    Format GetFormat() const { return params_.format; }
    Pool GetPool() const { return params_.pool; }
    uint32_t Usage() const { return params_.usage; }
    bool IsDepthStencil() const { return params_.format == Format::D24S8; }
    bool IsRenderTarget() const { return (params_.usage & kUsageRenderTarget) != 0; }
    int Pitch() const { return pitch_; }
    uint8_t* Row(int y) {
        if (fillLater_) MakeFill();
        return reinterpret_cast<uint8_t*>(words_.data()) + static_cast<size_t>(y) * pitch_;
    }
    const uint8_t* Row(int y) const {
        if (fillLater_) const_cast<Surface*>(this)->MakeFill();
        return reinterpret_cast<const uint8_t*>(words_.data()) + static_cast<size_t>(y) * pitch_;
    }
    // Fills every pixel of a 32-bit surface with `word` (the pixel as the
    // surface holds it), as far as anyone can tell: the words are written
    // only when a pixel is next read or written. A frame's target is filled
    // and then, most often, drawn over whole at once, which makes the
    // filling needless.
    void FillLater(uint32_t word);
    // Every pixel is about to be written without being read: a fill not
    // made yet never needs to be.
    void ForgetFill() { fillLater_ = false; }
    uint8_t* StencilRow(int y) { return stencil_.data() + static_cast<size_t>(y) * params_.width; }
    Texture* Container() const { return container_; }
    bool IsLocked() const { return locked_; }
    // Marks the pixels changed so derived copies (the sampling view, a copy
    // of the surface kept elsewhere) refresh: every row, or rows [top, bottom).
    void Touch() { Touch(0, Height()); }
    void Touch(int top, int bottom);
    // The rows of `from` to copy so that the copy made last time, of the same
    // rectangle of this surface into `to` of surface `reader` (an id of
    // Surface or of another reader), is brought up to date: the rows changed
    // since, or all of `from` when the last copy was another or `reader`
    // has changed since (its version is not `readerVersion`). The answer
    // starts a new record: call NoteCopied once the copy is made.
    struct RowSpan {
        int top = 0, bottom = 0;
    };
    RowSpan RowsToCopy(uint64_t reader, uint64_t readerVersion, const Rect& from, const Rect& to);
    void NoteCopied(uint64_t reader, uint64_t readerVersion);
    uint64_t Id() const { return id_; }
    uint64_t Version() const { return version_; }
    // An id for a reader that is not a surface.
    static uint64_t NewReaderId();
    TextureView View();
    // The texels filtered at a sub-texel offset, kept for draws at that offset.
    FilteredRows& Filtered();
    // The rows of samples of images drawn scaled, kept for draws at their sizes.
    ScaledImages& Scaled();
    uint32_t ReadArgb(int x, int y) const;

private:
    friend class Texture;
    explicit Surface(const Params& p);
    ~Surface() override;
    void MakeFill();

    Params params_;
    int pitch_ = 0;
    std::vector<uint32_t> words_;
    bool fillLater_ = false;
    uint32_t fillWord_ = 0;
    std::vector<uint8_t> stencil_;
    Texture* container_ = nullptr;
    bool locked_ = false;
    bool lockedReadOnly_ = false;
    uint64_t version_ = 0;
    uint64_t id_ = NewReaderId();
    // Rows changed since the last copy recorded by NoteCopied, and that copy.
    int changedTop_ = 0, changedBottom_ = 0;
    uint64_t copyReader_ = 0, copyReaderVersion_ = 0;
    Rect copyFrom_{}, copyTo_{};
    std::vector<uint32_t> argbCache_;
    std::unique_ptr<FilteredRows> filtered_;
    std::unique_ptr<ScaledImages> scaled_;
    uint64_t cacheVersion_ = ~uint64_t{0};
};

// A texture has one level; asking for more levels still gives one.
class Texture : public RefCounted {
public:
    static Texture* Create(uint32_t width, uint32_t height, uint32_t usage, Format format, Pool pool);

    HResult GetSurfaceLevel(uint32_t level, Surface** out);
    HResult LockRect(uint32_t level, LockedRect* out, const Rect* rect, uint32_t flags);
    HResult UnlockRect(uint32_t level);
    HResult GetLevelDesc(uint32_t level, SurfaceDesc* out) const;
    uint32_t GetLevelCount() const { return 1; }

    Surface* Level0() const { return level0_.get(); }

private:
    Texture() = default;
    ~Texture() override;
    struct SurfaceDeleter {
        void operator()(Surface* s) const;
    };
    std::unique_ptr<Surface, SurfaceDeleter> level0_;
};

}  // namespace plat
