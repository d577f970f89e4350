#pragma once
// The image family: every picture the program shows is an Image, a named and
// sized grid of cels (animation frames or sprite-sheet tiles). ImageSurface
// (image_surface.h) holds pixels; ImageChild and ImageAtlasPiece present
// another surface's pixels with their own cel geometry. Images answer script
// property queries ("name", "cols", "rows", "frames", "frame_width",
// "frame_height").
//
// Promises: every cel operation treats a cel index outside the image as
// "no such cel": ResolveCel answers null and GetPixel 0, so a script's bad
// frame number draws nothing and hit-tests false.
// Callers must not keep the surface ResolveCel returns beyond the image's
// life. Threads: images are used on the drawing thread; their device work is
// serialised by the device lock.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/values/matrix4.h"
#include "foundation/values/property_interface.h"
#include "foundation/values/property_value.h"
#include "foundation/values/rect.h"

class ImageSurface;

// The stored, trimmed part of a cel inside its surface (x, y, w, h), where
// that part sits inside the full cel (offsetX, offsetY), and the full size.
struct CelRectRecord {
    float x = 0, y = 0, w = 0, h = 0;
    float offsetX = 0, offsetY = 0;
    float fullWidth = 0, fullHeight = 0;
};

// A named run of cels inside an atlas surface.
struct CelDataRecord {
    std::wstring name;
    int32_t cols = 1, rows = 1;
    int32_t firstCel = 0;  // index of its first cel in the surface's cel rectangles
    std::vector<CelRectRecord> cels;
};

class ImageInterface {
public:
    virtual ~ImageInterface() = default;

    std::wstring name;
    int32_t width = 0, height = 0;
    int32_t sourceWidth = 0, sourceHeight = 0;
};

// Image flags (the flags word).
enum ImageFlags : uint32_t {
    kImageWholePieces = 0x1,  // whole-image texture pieces (powers of two)
    kImageRenderTarget = 0x2,
    kImageSurfaceIsTexture = 0x4,  // the surface is level 0 of the single texture
    kImagePacked = 0x8,            // pixels kept as packed cels; also: per-cel textures
    kImagePalette = 0x10,          // packed cels in the one-byte palette form
    kImageFormat8888 = 0x20,
    kImageFormat4444 = 0x40,
};
// Bits read by the texture upload (the same word, seen from the textures).
constexpr uint32_t kTexRefreshOnDirty = 0x4;
constexpr uint32_t kTexPerCel = 0x8;

class Image : public ImageInterface, public ExtendedPropertyInterface {
public:
    Image() = default;
    ~Image() override = default;

    virtual int GetCelWidth() const = 0;
    virtual int GetCelHeight() const = 0;
    virtual int GetSourceCelWidth() const = 0;
    virtual int GetSourceCelHeight() const = 0;
    virtual uint32_t GetFlags() const = 0;
    virtual bool HasCelData() const { return false; }
    virtual ImageSurface* GetSurface() = 0;
    // The surface to draw cel `cel` from, with the source rectangle moved into
    // surface pixels and the position (or the matrix) moved by a trimmed
    // cel's offset. `source` may be null (the full cel). Null when the cel is
    // not in the image.
    virtual ImageSurface* ResolveCel(int cel, float* x, float* y, FRect* source, Matrix4* matrix) = 0;
    virtual uint32_t GetPixel(int x, int y, int cel) = 0;
    // Where pixel (x, y) of cel `cel` lies in the pixels of the surface that
    // holds the cel; false outside the cel's stored part.
    virtual bool LocateCelPixel(int x, int y, int cel, int* surfaceX, int* surfaceY) const = 0;
    virtual bool IsPlain() const = 0;
    virtual Image* Duplicate() = 0;
    virtual Rect GetCelRect(int col, int row) const = 0;
    virtual Rect GetCelRectByIndex(int n) const = 0;
    virtual FRect GetSourceCelRect(int col, int row) const = 0;
    virtual FRect GetSourceCelRectByIndex(int n) const = 0;
    // How many cels the image has; a cel index must be below it.
    virtual int GetCelCount() const { return rows * cols; }
    // The visible box of cel `cel` in the cel's own pixels: where its trimmed,
    // stored part sits and its size, true when the image carries such boxes;
    // otherwise the whole cel at (0, 0), false. A cel outside the image gets
    // an empty box.
    virtual bool GetCelBox(int cel, FRect* box) const;

    bool IsValidCel(int cel) const { return cel >= 0 && cel < GetCelCount(); }

    PropertyValue GetProperty(std::wstring_view key) override;
    std::wstring ReferenceText() const override { return name; }

    void SetSize(int w, int h);
    void SetRowsCols(int r, int c);
    void CopyAttributesFrom(Image* other);

    std::string path;
    bool premultiplied = true;
    int32_t rows = 1, cols = 1;
};
