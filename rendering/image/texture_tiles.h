#pragma once
// Texture pieces: an image surface's pixels as a grid of device textures that
// respect the device's texture limits (size, minimum, aspect ratio, powers of
// two). The pieces are laid out, created, filled from the image's system
// pixels (or packed cels, or its device surface) and refilled only when the
// image's change counter, region, flags or dirty flag say so. Each piece
// repeats its last image column and row just outside the copied area, so
// bilinear filtering never blends in undefined texels. RecoverBits reads the
// pixels back when the system copy has to be rebuilt.
//
// Everything here runs under the D3DInterface device lock; the record is
// owned by its ImageSurface and must not outlive it.

#include <cstdint>
#include <vector>

#include "foundation/values/rect.h"
#include "platform/gfx/gfx.h"

class D3DInterface;
class ImageSurface;
struct TextureLimits;

struct TexturePiece {
    plat::Texture* texture = nullptr;  // owned; null until created
    int width = 0, height = 0;         // the texture's size
};

class TexturePieces {
public:
    explicit TexturePieces(ImageSurface* image) : image(image) {}
    ~TexturePieces() { FreeTextures(); }
    TexturePieces(const TexturePieces&) = delete;
    TexturePieces& operator=(const TexturePieces&) = delete;

    // Lays out the grid for a region of the given size under `limits`.
    void Layout(int regionWidth, int regionHeight, const TextureLimits& limits);
    void FreeTextures();

    std::vector<TexturePiece> pieces;  // row by row, cols per row
    Rect region;
    int cols = 0, rows = 0;
    int pieceWidth = 64, pieceHeight = 64;
    int changeCounter = -1;
    int textureBytes = 0;
    float textureScaleX = 1.0f, textureScaleY = 1.0f;
    plat::Format format = plat::Format::Unknown;  // Unknown: no valid textures
    uint32_t flags = 0;
    ImageSurface* image;
};

int NextPowerOfTwo(int n);
// The texture size for a wanted size (in/out).
void ChooseTextureSize(int* width, int* height, bool edge, bool powerOfTwoOnly, uint32_t flags,
                       const TextureLimits& limits);
// The process-wide size table entry for n (0 <= n < max(max width, max height)).
int TextureSizeTableEntry(int n, const TextureLimits& limits);

// Brings the textures up to date; false when a texture cannot be created.
bool CreateTexturePieces(TexturePieces* pieces, ImageSurface* image, D3DInterface& d3d, const FRect* region);
// Fills one piece from the image's pixels (or packed cel) at (x, y).
void CopyImageToTexture(D3DInterface& d3d, plat::Texture* texture, int x, int y, int width, int height,
                        plat::Format format, ImageSurface* image);
// Before a draw: makes the image's pieces and brings them up to date.
bool PrepareImageTexture(D3DInterface& d3d, ImageSurface* image);
// Rebuilds the image's system pixels from its textures.
bool RecoverBits(D3DInterface& d3d, ImageSurface* image);

// A4R4G4B4 conversions used by every copy of pixels: narrowing keeps the top
// nibble of each channel, widening puts the nibble into the top of its byte
// (0xF becomes 0xF0), so a widened pixel narrows back to the same texel.
inline uint16_t ArgbTo4444(uint32_t p) {
    return static_cast<uint16_t>(((p >> 16) & 0xF000) | ((p >> 12) & 0x0F00) | ((p >> 8) & 0x00F0) |
                                 ((p >> 4) & 0x000F));
}
inline uint32_t Argb4444ToArgb(uint16_t t) {
    return ((t & 0xF000u) << 16) | ((t & 0x0F00u) << 12) | ((t & 0x00F0u) << 8) | ((t & 0x000Fu) << 4);
}
