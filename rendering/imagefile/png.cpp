// PNG reading and writing through libpng.
//
// libpng reports errors by jumping back to a setjmp point. The functions that
// hold those points keep only plain locals, so the jump skips no destructor;
// the owning objects live in their callers.

#include <png.h>

#include <csetjmp>
#include <new>

#include "rendering/imagefile/file_io.h"
#include "rendering/imagefile/image_files.h"

namespace {

void ReadThroughFile(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<image_io::ImageFile*>(png_get_io_ptr(png));
    if (file->Read(data, 1, length) != length) png_error(png, "Read Error");
}

[[noreturn]] void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void IgnoreWarning(png_structp, png_const_charp) {}

bool DecodeInto(png_structp png, png_infop info, ImageData* image) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (!ImageData::SizeAllowed(width, height)) return false;

    // Every row arrives as 8-bit B, G, R, A whatever the file holds: palette,
    // low-bit grey and transparency chunks are expanded, 16-bit channels
    // keep their high byte, grey becomes RGB and opaque files get alpha 0xFF.
    png_set_expand(png);
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) return false;

    // Interlaced passes fill each row in steps; clear it so no pixel is ever
    // undefined, even between passes. Compressed rows say nothing of the
    // size before they are read, so the size limit (set as libpng's user
    // limit too) bounds what a header may ask for.
    if (!image->Allocate(static_cast<int>(width), static_cast<int>(height), passes > 1)) return false;
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, reinterpret_cast<png_bytep>(image->Row(static_cast<int>(y))), nullptr);
    png_read_end(png, nullptr);
    return true;
}

bool EncodeFrom(png_structp png, png_infop info, FILE* stream, const ImageData* image) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_init_io(png, stream);
    png_color_8 significant{};
    significant.red = significant.green = significant.blue = significant.alpha = 8;
    png_set_sBIT(png, info, &significant);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image->GetWidth()), static_cast<png_uint_32>(image->GetHeight()),
                 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < image->GetHeight(); ++y) png_write_row(png, reinterpret_cast<png_const_bytep>(image->Row(y)));
    png_write_end(png, nullptr);
    return true;
}

std::unique_ptr<ImageData> ReadPng(std::string_view fileName) {
    std::unique_ptr<image_io::ImageFile> file = image_io::ImageFile::Open(fileName);
    if (!file) return nullptr;

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (png == nullptr) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    // libpng refuses oversized headers itself, before any allocation.
    png_set_user_limits(png, ImageData::kMaxSide, ImageData::kMaxSide);
    png_set_read_fn(png, file.get(), ReadThroughFile);

    std::unique_ptr<ImageData> image;
    bool ok = false;
    try {
        image = std::make_unique<ImageData>();
        ok = DecodeInto(png, info, image.get());
    } catch (const std::bad_alloc&) {
        ok = false;  // the structures still go
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) return nullptr;
    return image;
}

}  // namespace

std::unique_ptr<ImageData> GetPNGImage(std::string_view fileName) {
    // Nothing may escape a reader: an allocation that fails reads as no image.
    try {
        return ReadPng(fileName);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool WritePNGImage(std::string_view path, const ImageData& image) {
    if (image.GetBits() == nullptr) return false;
    image_io::WriteStream stream = image_io::OpenForWriting(path);
    if (!stream) return false;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    bool ok = EncodeFrom(png, info, stream.get(), &image);
    png_destroy_write_struct(&png, &info);
    // A full disk may only show when the last buffer is flushed.
    return std::fclose(stream.release()) == 0 && ok;
}
