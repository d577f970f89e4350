#pragma once
// A decoded picture: width, height and 32-bit pixels 0xAARRGGBB, rows top to
// bottom, so the bytes of one pixel lie in memory as B, G, R, A.
//
// The image owns its pixel array. Sizes are refused above kMaxSide pixels per
// side, so width x height x 4 always fits the integer types of every caller;
// an image whose size was refused or whose memory could not be had stays
// empty (0 x 0, no pixels). Not thread-safe: one thread uses an image at a
// time.

#include <cstddef>
#include <cstdint>
#include <memory>

class ImageData {
public:
    // The largest side of any picture the game reads or makes. Its largest
    // images (sprite atlases, full-screen backgrounds at the highest screen
    // size) stay within 8,192 pixels per side; the limit keeps a hostile
    // header or a script's size from asking for more than 256 MB of pixels.
    // Image files and image surfaces share it.
    static constexpr int kMaxSide = 8192;

    ImageData() = default;
    ImageData(const ImageData&) = delete;
    ImageData& operator=(const ImageData&) = delete;
    virtual ~ImageData() = default;

    // True when a picture of this size may be made: both sides at least 1
    // and neither above kMaxSide.
    static bool SizeAllowed(int64_t width, int64_t height);

    // Gives the image the size and a fresh pixel array, cleared to 0 when asked
    // (readers that write every pixel skip the clearing). False, and the image
    // left empty, when the size is refused or the memory cannot be had.
    bool Allocate(int width, int height, bool clear);

    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    uint32_t* GetBits() { return bits_.get(); }
    const uint32_t* GetBits() const { return bits_.get(); }
    size_t PixelCount() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }
    uint32_t* Row(int y) { return bits_.get() + static_cast<size_t>(y) * static_cast<size_t>(width_); }
    const uint32_t* Row(int y) const { return bits_.get() + static_cast<size_t>(y) * static_cast<size_t>(width_); }

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::unique_ptr<uint32_t[]> bits_;
};
