#pragma once
// ImageSurface: the image that holds pixels. They live in up to three places
// (32-bit system bits, a device surface, texture pieces) and move between
// them on demand: drawing the image makes textures, drawing into it makes the
// device surface and frees the bits, asking for the bits reads them back.
// The device's release pass keeps one copy (ReleaseExtraCopies) and a lost
// device moves everything to system memory (MoveToSystemMemory). Large
// animations may keep their cels packed instead of as plain bits.
//
// Every surface registers with the live-image set (LiveImageSet) and the
// device's (D3DInterface::AddImage) while it lives.
// Callers must hold the device lock around nothing here: each operation
// takes it itself. Threads: the drawing thread (the loading thread may make
// and fill images before they are drawn).

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/gfx.h"
#include "rendering/device/device_resources.h"
#include "rendering/image/image.h"
#include "rendering/image/image_render_target.h"

class D3DInterface;
class TexturePieces;

// One packed cel: kind 4 (32-bit units), 2 (16-bit A4R4G4B4 units) or 1
// (bytes indexing a palette of 16-bit pixels).
struct PackedCelRecord {
    std::vector<uint8_t> data;
    int count = 0;  // entries; bytes for kind 1
    int kind = 4;
    std::vector<uint16_t> palette;  // kind 1 only
};

constexpr uint32_t kBitsGuardWord = 0x4BEEFADE;

class ImageSurface : public Image, public ImageRenderTarget, public DeviceImage {
public:
    explicit ImageSurface(bool isRenderTarget = false);
    ~ImageSurface() override;
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    // Image.
    int GetCelWidth() const override;
    int GetCelHeight() const override;
    int GetSourceCelWidth() const override;
    int GetSourceCelHeight() const override;
    uint32_t GetFlags() const override { return flags_; }
    bool HasCelData() const override { return !celData_.empty() && !celData_[0].name.empty(); }
    ImageSurface* GetSurface() override { return this; }
    ImageSurface* ResolveCel(int cel, float* x, float* y, FRect* source, Matrix4* matrix) override;
    uint32_t GetPixel(int x, int y, int cel) override;
    bool LocateCelPixel(int x, int y, int cel, int* surfaceX, int* surfaceY) const override;
    bool IsPlain() const override { return !locked_ && packedCels_.empty(); }
    Image* Duplicate() override;
    Rect GetCelRect(int col, int row) const override;
    Rect GetCelRectByIndex(int n) const override;
    FRect GetSourceCelRect(int col, int row) const override;
    FRect GetSourceCelRectByIndex(int n) const override;
    int GetCelCount() const override;
    bool GetCelBox(int cel, FRect* box) const override;

    virtual ImageSurface* GetOwnerSurface() { return this; }

    // Storage.
    // Both refuse a negative size or one beyond ImageData::kMaxSide per side
    // (false, nothing changed), except that SetBits takes a negative size as
    // empty; SetBits also fails, leaving the image empty, when memory for the
    // bits cannot be had.
    bool Create(int w, int h);
    bool SetBits(const uint32_t* pixels, int w, int h, bool premultiply);
    void SetFlags(uint32_t flags) { flags_ = flags; }
    void SetCelRects(const std::vector<CelDataRecord>& records);
    const std::vector<CelRectRecord>& GetCelRects() const { return celRects_; }
    const std::vector<CelDataRecord>& GetCelData() const { return celData_; }
    const std::vector<PackedCelRecord>& GetPackedCels() const { return packedCels_; }
    int PackedCelWidth() const { return packedCelWidth_; }
    int PackedCelHeight() const { return packedCelHeight_; }

    // DeviceImage and residency.
    const std::wstring& GetImageName() const override { return name; }
    int GetWidth() const override { return width; }
    int GetHeight() const override { return height; }
    bool IsPremultiplied() const override { return premultiplied; }
    uint32_t* GetBits() override;
    plat::Surface* GetD3DSurface() override;
    bool BindRenderTarget() override;
    void Clear() override;
    void CommitBits() override;
    void MoveToSystemMemory() override;
    void ReleaseExtraCopies() override;
    void FreeTextures();
    void CreateSurface();
    void ReleaseSurface();
    void DiscardSurface();
    void AttachSurface(plat::Surface* surface);
    void EnsureDepthStencil();
    void SetTargetNewer();

    // State read by the texture upload and the device.
    bool HasBits() const { return bits_ != nullptr; }
    uint32_t* RawBits() { return bits_.get(); }
    bool HasSurface() const { return surface_ != nullptr; }
    plat::Surface* RawSurface() const { return surface_; }
    TexturePieces* GetTextures() const { return textures_.get(); }
    TexturePieces* EnsureTextures();
    int GetGeneration() const { return generation_; }
    bool IsDirty() const { return dirty_; }
    void SetDirty(bool dirty) { dirty_ = dirty; }
    bool ForceRefresh() const { return forceRefresh_; }
    void ClearForceRefresh() { forceRefresh_ = false; }
    bool BitsChanged() const { return bitsChanged_; }
    bool IsLocked() const { return locked_; }
    bool IsBackBuffer() const { return backBuffer_; }
    void SetBackBuffer() {
        backBuffer_ = true;
        locked_ = true;
        keepSurface_ = true;
    }
    bool ContentLost() const { return contentLost_; }
    void ClearContentLost() { contentLost_ = false; }
    bool TargetNewer() const { return targetNewer_; }
    bool IsRenderTargetImage() const { return isRenderTarget_; }
    plat::Format GetFormat() const { return format_; }
    const plat::SurfaceDesc& GetSurfaceDesc() const { return surfaceDesc_; }
    const Matrix4& GetProjection() const { return projection_; }
    // Frees the bits once the textures hold the pixels (after an upload).
    void DropBitsHeldByTextures();
    // The bits as a fresh allocation of sourceWidth x sourceHeight plus the
    // guard, cleared unless the caller writes every pixel at once; null (and
    // no bits) when that size is beyond the limit or memory cannot be had.
    uint32_t* AllocateBits(bool cleared = true);

    // ImageRenderTarget: drawing into this image.
    void FillRect(const Rect& rect, const Color& color, const DrawState* state) override;
    void ClearRect(const Rect& rect) override;
    void ClearStencil() override;
    void DrawLine(float x1, float y1, float x2, float y2, const Color& color, const DrawState* state) override;
    void DrawPolyline(const std::vector<float>& points, const FRect* clip, const Color& color,
                      const DrawState* state) override;
    void DrawLineAA(float x1, float y1, float x2, float y2, const Color& color, const DrawState* state) override;
    void DrawImage(ImageSurface* image, float x, float y, const FRect& source, const Color& color,
                   const DrawState* state) override;
    void DrawImageClipped(ImageSurface* image, float x, float y, const FRect& source, const FRect& clip,
                          const Color& color, const DrawState* state) override;
    void DrawImageTransformed(ImageSurface* image, float x, float y, const Matrix4& matrix, const FRect* clip,
                              const Color& color, const DrawState* state, const FRect& source) override;
    void DrawImageMesh(ImageSurface* image, const std::vector<MeshVertex>& vertices,
                       const std::vector<uint16_t>& indices, float dx, float dy, const Color& color,
                       const DrawState* state, const FRect* clip) override;
    void FillPolygon(const std::vector<float>& points, const std::vector<uint16_t>& indices, float dx, float dy,
                     const FRect* clip, const Color& color, const DrawState* state) override;
    void DrawImageMasked(ImageSurface* image, float x, float y, const FRect& source, ImageSurface* mask,
                         const FRect& maskSource, const Color& color, const DrawState* state) override;
    void DrawImageMaskedClipped(ImageSurface* image, float x, float y, const FRect& source, ImageSurface* mask,
                                const FRect& maskSource, const FRect& clip, const Color& color,
                                const DrawState* state) override;
    void DrawTriangles(ImageSurface* image, const std::vector<QuadBatchItem>& items, const DrawState* state) override;
    void DrawMaskedTriangles(ImageSurface* image, ImageSurface* mask, const std::vector<MaskedBatchItem>& items,
                             const DrawState* state) override;
    void DrawImageGridMesh(ImageSurface* image, const GridMeshArgs& args, const FRect* clip, const Color& color,
                           const DrawState* state) override;
    // DrawImageClipped's pixels for an unscaled image at whole coordinates,
    // blended straight into this surface's pixels: true when drawn so, false
    // (nothing drawn) when the draw needs the device, for any other draw state
    // than the plain premultiplied one, a straight-alpha or per-cel image, a
    // source across texture pieces or a target that is not 32-bit in memory.
    bool BlendRowsInPlace(ImageSurface* image, float x, float y, const FRect& source, const FRect& clip,
                          const Color& color, const DrawState& state);

protected:
    // Frees the bits, packed cels stay.
    void FreeBits() { bits_.reset(); }
    // This surface's pixel at (x, y), from GetBits; 0 outside it or without bits.
    uint32_t PixelAt(int x, int y);

private:
    struct BitsDeleter {
        void operator()(uint32_t* p) const { delete[] p; }
    };
    void PackCels(const uint32_t* pixels, int w, int h, bool premultiply);
    void ReadBackSurface();
    void CreatePlainSurface(D3DInterface& d3d);
    void CreateRenderTargetSurface(D3DInterface& d3d);
    void ReleaseSurfaceObject();

    std::unique_ptr<uint32_t[], BitsDeleter> bits_;
    int generation_ = 0;
    std::unique_ptr<TexturePieces> textures_;
    uint32_t flags_ = 0;
    bool bitsChanged_ = false;
    plat::Surface* surface_ = nullptr;
    plat::SurfaceDesc surfaceDesc_;
    plat::Format format_ = plat::Format::A8R8G8B8;
    plat::Surface* depthStencil_ = nullptr;
    bool hasExternalSurface_ = false;
    bool locked_ = false;
    bool keepSurface_ = false;
    bool targetNewer_ = false;
    bool contentLost_ = false;
    bool dirty_ = false;
    bool forceRefresh_ = false;
    bool backBuffer_ = false;
    int packedCelWidth_ = 0, packedCelHeight_ = 0;
    std::vector<PackedCelRecord> packedCels_;
    std::vector<CelRectRecord> celRects_;
    std::vector<CelDataRecord> celData_;
    Matrix4 projection_;
    const bool isRenderTarget_;
};
