// TGA reading: uncompressed 32-bit true-colour files stored top row first
// with 8 alpha bits, which is what the game's own tools write.

#include <bit>
#include <cstdint>
#include <new>

#include "rendering/imagefile/file_io.h"
#include "rendering/imagefile/image_files.h"

namespace {

constexpr int kHeaderSize = 18;
constexpr int kUncompressedTrueColour = 2;
constexpr int kTopLeftWithAlpha = 0x28;

// The file's B, G, R, A bytes are the pixel words of a little-endian machine.
static_assert(std::endian::native == std::endian::little);

int Read16(const uint8_t* p) { return p[0] | p[1] << 8; }

std::unique_ptr<ImageData> ReadTga(std::string_view fileName) {
    std::unique_ptr<image_io::ImageFile> file = image_io::ImageFile::Open(fileName);
    if (!file) return nullptr;

    uint8_t header[kHeaderSize];
    if (file->Read(header, 1, kHeaderSize) != kHeaderSize) return nullptr;
    const int idLength = header[0];
    const int colourMapType = header[1];
    const int imageType = header[2];
    const int width = Read16(header + 12);
    const int height = Read16(header + 14);
    const int depth = header[16];
    const int descriptor = header[17];

    if (depth != 32 || descriptor != kTopLeftWithAlpha) return nullptr;
    // Colour-mapped or run-length data would be read as pixels.
    if (colourMapType != 0 || imageType != kUncompressedTrueColour) return nullptr;
    if (idLength > 0 && file->Seek(idLength, SEEK_CUR) != 0) return nullptr;

    // The header's size is only a claim: allocate for no more pixels than
    // the file holds.
    if (!ImageData::SizeAllowed(width, height)) return nullptr;
    const long remaining = file->Remaining();
    if (remaining < 0 || remaining / 4 < int64_t{width} * height) return nullptr;

    auto image = std::make_unique<ImageData>();
    if (!image->Allocate(width, height, false)) return nullptr;
    if (file->Read(image->GetBits(), 4, image->PixelCount()) != image->PixelCount()) return nullptr;
    return image;
}

}  // namespace

std::unique_ptr<ImageData> GetTGAImage(std::string_view fileName) {
    // Nothing may escape a reader; the sizes are checked before the pixels
    // are allocated, this only covers the small allocations besides.
    try {
        return ReadTga(fileName);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
