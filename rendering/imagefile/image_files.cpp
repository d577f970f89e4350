#include "rendering/imagefile/image_files.h"

#include <cctype>
#include <string>

namespace {

using Reader = std::unique_ptr<ImageData> (*)(std::string_view);

struct Format {
    std::string_view extension;
    Reader read;
};

// The order of trying when a name comes without an extension.
constexpr Format kFormats[] = {
    {".png", GetPNGImage}, {".jpg", GetJPEGImage}, {".gif", GetGIFImage},
    {".tga", GetTGAImage}, {".j2k", GetJ2KImage},  {".jp2", GetJ2KImage},
};

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The companion's blue byte becomes the alpha byte of each colour pixel.
void MergeAlpha(ImageData& colour, const ImageData& alpha) {
    uint32_t* dst = colour.GetBits();
    const uint32_t* src = alpha.GetBits();
    size_t n = colour.PixelCount();
    for (size_t i = 0; i < n; ++i) dst[i] = (dst[i] & 0x00FFFFFFu) | (src[i] << 24);
}

// A lone companion becomes white carrying its blue byte as alpha.
void AlphaToWhite(ImageData& alpha) {
    uint32_t* p = alpha.GetBits();
    size_t n = alpha.PixelCount();
    for (size_t i = 0; i < n; ++i) p[i] = (p[i] << 24) | 0x00FFFFFFu;
}

}  // namespace

std::unique_ptr<ImageData> GetImage(std::string_view name, bool withAlpha) {
    size_t dotAt = name.rfind('.');
    size_t sepAt = name.find_last_of("\\/");
    long dot = dotAt == std::string_view::npos ? -1 : static_cast<long>(dotAt);
    long sep = sepAt == std::string_view::npos ? -1 : static_cast<long>(sepAt);

    std::string extension;
    std::string base(name);
    if (dot > sep) {
        extension = LowerAscii(name.substr(dotAt));
        base = std::string(name.substr(0, dotAt));
    }

    std::unique_ptr<ImageData> image;
    for (const Format& format : kFormats) {
        if (!extension.empty() && extension != format.extension) continue;
        image = format.read(base + std::string(format.extension));
        if (image) break;
    }
    if (!withAlpha) return image;

    std::string dir = base.substr(0, static_cast<size_t>(sep + 1));
    std::string file = base.substr(static_cast<size_t>(sep + 1));
    std::unique_ptr<ImageData> alpha = GetImage(dir + "_" + file, false);
    if (!alpha) alpha = GetImage(base + "_", false);
    if (!alpha) return image;

    if (!image) {
        AlphaToWhite(*alpha);
        return alpha;
    }
    if (alpha->GetWidth() == image->GetWidth() && alpha->GetHeight() == image->GetHeight()) MergeAlpha(*image, *alpha);
    return image;
}

// No JPEG 2000 codec is ever loaded in this build, so the reader finds nothing
// and there is nothing to release.
std::unique_ptr<ImageData> GetJ2KImage(std::string_view) { return nullptr; }

void UnloadJ2KCodec() {}
