// Image seeds: PNG and JPEG files from the engine's writers and, for the
// kinds those never write (palettes, grey, 16 bits, interlacing, progressive
// scans), from libpng and libjpeg called here; GIF and TGA files built byte
// by byte, the GIF data with a small LZW encoder of its own.
// jpeglib.h uses FILE and size_t without including their headers.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <utility>

#include "fuzz/seeds/seeds.h"
#include "rendering/imagefile/image_files.h"

namespace seeds {
namespace {

// A picture with an alpha ramp, so no channel is constant.
std::unique_ptr<ImageData> Picture(int width, int height) {
    auto image = std::make_unique<ImageData>();
    image->Allocate(width, height, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t a = 0xFF - static_cast<uint32_t>(x * 40 % 256);
            image->Row(y)[x] = a << 24 | static_cast<uint32_t>(x * 50 % 256) << 16 |
                               static_cast<uint32_t>(y * 70 % 256) << 8 | static_cast<uint32_t>((x + y) * 30 % 256);
        }
    return image;
}

struct PngLayout {
    int width = 0;
    int height = 0;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    int interlace = PNG_INTERLACE_NONE;
    std::vector<png_color> palette;
    Bytes transparency;  // tRNS: palette alphas
    std::vector<Bytes> rows;
};

bool WritePng(const std::string& path, const PngLayout& layout) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width), static_cast<png_uint_32>(layout.height),
                 layout.bitDepth, layout.colourType, layout.interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    if (!layout.transparency.empty())
        png_set_tRNS(png, info, layout.transparency.data(), static_cast<int>(layout.transparency.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const Bytes& row : layout.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

void WritePngSeeds(Corpus& corpus) {
    corpus.Begin("png");
    const std::string rgba = corpus.PathOf("rgba_4x3.png");
    corpus.Expect(WritePNGImage(rgba, *Picture(4, 3)) && GetPNGImage(rgba), "rgba_4x3.png");

    PngLayout palette;  // 2-bit palette with transparency, interlaced
    palette.width = palette.height = 5;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.bitDepth = 2;
    palette.interlace = PNG_INTERLACE_ADAM7;
    palette.palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    palette.transparency = {0, 128};
    for (int y = 0; y < 5; ++y) {
        uint8_t packed[2] = {0, 0};
        for (int x = 0; x < 5; ++x) packed[x / 4] |= static_cast<uint8_t>(((x + y) % 4) << (6 - 2 * (x % 4)));
        palette.rows.push_back({packed[0], packed[1]});
    }
    const std::string palettePath = corpus.PathOf("palette_2bit_interlaced.png");
    corpus.Expect(WritePng(palettePath, palette) && GetPNGImage(palettePath), "palette_2bit_interlaced.png");

    PngLayout grey;  // 16-bit grey with alpha
    grey.width = 3;
    grey.height = 2;
    grey.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    grey.bitDepth = 16;
    grey.rows = {{0x00, 0x10, 0xFF, 0xFF, 0x80, 0x00, 0x7F, 0x00, 0xFF, 0xFF, 0x00, 0x01},
                 {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x00, 0x00, 0xFF, 0xFF}};
    const std::string greyPath = corpus.PathOf("grey_alpha_16bit.png");
    corpus.Expect(WritePng(greyPath, grey) && GetPNGImage(greyPath), "grey_alpha_16bit.png");

    PngLayout mono;  // 1-bit grey, a row wider than one byte
    mono.width = 11;
    mono.height = 2;
    mono.colourType = PNG_COLOR_TYPE_GRAY;
    mono.bitDepth = 1;
    mono.rows = {{0xA5, 0xC0}, {0x5A, 0x20}};
    const std::string monoPath = corpus.PathOf("grey_1bit.png");
    corpus.Expect(WritePng(monoPath, mono) && GetPNGImage(monoPath), "grey_1bit.png");
}

bool WriteGreyProgressiveJpeg(const std::string& path, int width, int height) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);  // a failure ends the program, which is fine here
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 60, TRUE);
    jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    Bytes row(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) row[static_cast<size_t>(x)] = static_cast<uint8_t>((x * 31 + y * 17) % 256);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

void WriteJpegSeeds(Corpus& corpus) {
    corpus.Begin("jpeg");
    for (auto [name, w, h] : {std::tuple{"colour_8x8.jpg", 8, 8}, std::tuple{"colour_17x5.jpg", 17, 5}}) {
        const std::string path = corpus.PathOf(name);
        corpus.Expect(WriteJPEGImage(path, *Picture(w, h)) && GetJPEGImage(path), name);
    }
    const std::string grey = corpus.PathOf("grey_progressive_9x7.jpg");
    corpus.Expect(WriteGreyProgressiveJpeg(grey, 9, 7) && GetJPEGImage(grey), "grey_progressive_9x7.jpg");
}

// GIF LZW: codes packed from the low bit up, the code width growing as the
// table fills; the seeds are far too small to fill it.
Bytes LzwEncode(const Bytes& pixels, int minCodeSize) {
    Bytes out;
    uint32_t bits = 0;
    int held = 0;
    int width = minCodeSize + 1;
    auto put = [&](int code) {
        bits |= static_cast<uint32_t>(code) << held;
        for (held += width; held >= 8; held -= 8, bits >>= 8) out.push_back(static_cast<uint8_t>(bits));
    };
    const int clear = 1 << minCodeSize;
    int next = clear + 2;
    std::map<std::pair<int, int>, int> table;
    put(clear);
    int prefix = -1;
    for (uint8_t pixel : pixels) {
        if (prefix < 0) {
            prefix = pixel;
            continue;
        }
        auto known = table.find({prefix, pixel});
        if (known != table.end()) {
            prefix = known->second;
            continue;
        }
        put(prefix);
        table[{prefix, pixel}] = next++;
        if (next > (1 << width) && width < 12) ++width;
        prefix = pixel;
    }
    if (prefix >= 0) put(prefix);
    put(clear + 1);
    if (held > 0) out.push_back(static_cast<uint8_t>(bits));
    return out;
}

void Put16(Bytes& out, int value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutSubBlocks(Bytes& out, const Bytes& data) {
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(i), data.begin() + static_cast<long>(i + n));
    }
    out.push_back(0);
}

// Eight colours: the table-size bits 2, the LZW minimum code size 3.
void PutPalette(Bytes& out, int shift) {
    for (int i = 0; i < 8; ++i)
        for (int c = 0; c < 3; ++c) out.push_back(static_cast<uint8_t>(((i + shift) >> c & 1) * 0xFF - i * 9));
}

Bytes PixelsOf(int width, int height, int seed) {
    Bytes pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(static_cast<uint8_t>((x / 2 + y * seed) % 8));
    return pixels;
}

// Rows in the stored order of an interlaced image: every 8th from 0, from 4, every 4th from 2, every 2nd from 1.
Bytes Interlace(const Bytes& pixels, int width, int height) {
    Bytes out;
    for (auto [start, step] : {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}})
        for (int y = start; y < height; y += step)
            out.insert(out.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
    return out;
}

void PutImage(Bytes& out, int width, int height, bool interlaced, bool localPalette, int seed) {
    out.push_back(0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out.push_back(static_cast<uint8_t>((localPalette ? 0x82 : 0) | (interlaced ? 0x40 : 0)));
    if (localPalette) PutPalette(out, 3);
    out.push_back(3);
    const Bytes pixels = PixelsOf(width, height, seed);
    PutSubBlocks(out, LzwEncode(interlaced ? Interlace(pixels, width, height) : pixels, 3));
}

Bytes Gif(std::string_view version, int width, int height, bool globalPalette) {
    Bytes out(version.begin(), version.end());
    Put16(out, width);
    Put16(out, height);
    out.push_back(globalPalette ? 0xF2 : 0x70);
    out.push_back(0);  // background index
    out.push_back(0);  // aspect
    if (globalPalette) PutPalette(out, 0);
    return out;
}

void WriteGifSeeds(Corpus& corpus) {
    corpus.Begin("gif");
    Bytes transparent = Gif("GIF89a", 7, 3, true);
    transparent.insert(transparent.end(), {0x21, 0xF9, 0x04, 0x01, 0x0A, 0x00, 0x02, 0x00});  // index 2 clear
    PutImage(transparent, 7, 3, false, false, 3);
    transparent.push_back(0x3B);

    Bytes interlaced = Gif("GIF87a", 3, 11, false);
    PutImage(interlaced, 3, 11, true, true, 5);
    interlaced.push_back(0x3B);

    Bytes animated = Gif("GIF89a", 4, 4, true);
    const std::string_view loop = "NETSCAPE2.0";
    animated.insert(animated.end(), {0x21, 0xFF, 0x0B});
    animated.insert(animated.end(), loop.begin(), loop.end());
    animated.insert(animated.end(), {0x03, 0x01, 0x00, 0x00, 0x00});
    const std::string_view comment = "made by make_fuzz_seeds";
    animated.insert(animated.end(), {0x21, 0xFE, static_cast<uint8_t>(comment.size())});
    animated.insert(animated.end(), comment.begin(), comment.end());
    animated.push_back(0);
    PutImage(animated, 4, 4, false, false, 1);
    PutImage(animated, 4, 4, false, true, 2);
    animated.push_back(0x3B);

    for (auto& [name, bytes] :
         {std::pair{"transparent_7x3.gif", &transparent}, std::pair{"interlaced_local_palette_3x11.gif", &interlaced},
          std::pair{"two_frames_with_extensions.gif", &animated}})
        corpus.Expect(GetGIFImage(corpus.Write(name, *bytes)) != nullptr, name);
}

Bytes Tga(int width, int height, std::string_view id) {
    Bytes out = {static_cast<uint8_t>(id.size()), 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(out, width);
    Put16(out, height);
    out.push_back(32);
    out.push_back(0x28);
    out.insert(out.end(), id.begin(), id.end());
    for (int i = 0; i < width * height; ++i)
        out.insert(out.end(), {static_cast<uint8_t>(i * 40), static_cast<uint8_t>(i * 90), 0x7F,
                               static_cast<uint8_t>(0xFF - i * 20)});
    return out;
}

void WriteTgaSeeds(Corpus& corpus) {
    corpus.Begin("tga");
    for (auto& [name, bytes] :
         {std::pair{"plain_3x2.tga", Tga(3, 2, "")}, std::pair{"with_id_2x2.tga", Tga(2, 2, "halvaro")}})
        corpus.Expect(GetTGAImage(corpus.Write(name, bytes)) != nullptr, name);
}

}  // namespace

void WriteImageSeeds(Corpus& corpus) {
    WritePngSeeds(corpus);
    WriteJpegSeeds(corpus);
    WriteGifSeeds(corpus);
    WriteTgaSeeds(corpus);
}

}  // namespace seeds
