// JPEG reading and writing through libjpeg (6b interface).
//
// libjpeg's fatal errors print the library's message and jump back to a
// setjmp point held by a function with only plain locals, so the jump skips
// no destructor; every owning object lives in the caller.

#include <cstdio>  // jpeglib.h needs FILE declared first

#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <new>

#include "rendering/imagefile/file_io.h"
#include "rendering/imagefile/image_files.h"

namespace {

constexpr size_t kSourceBufferSize = 4096;
constexpr int kWriteQuality = 80;

struct JumpingErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void PrintAndJump(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<JumpingErrors*>(cinfo->err)->jump, 1);
}

// A data source reading through the pack layer.
struct FileSource {
    jpeg_source_mgr manager;
    image_io::ImageFile* file;
    bool firstFill;
    bool atEnd;  // a read found the end of the file: no further read can add to it
    JOCTET buffer[kSourceBufferSize];
};

FileSource* SourceOf(j_decompress_ptr cinfo) { return reinterpret_cast<FileSource*>(cinfo->src); }

void StartSource(j_decompress_ptr cinfo) {
    SourceOf(cinfo)->firstFill = true;
    SourceOf(cinfo)->atEnd = false;
}

boolean FillSource(j_decompress_ptr cinfo) {
    FileSource* src = SourceOf(cinfo);
    size_t n = src->atEnd ? 0 : src->file->Read(src->buffer, 1, kSourceBufferSize);
    if (n == 0) {
        if (src->firstFill) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        src->atEnd = true;
        // A cut-off file still shows what arrived: end the image right here.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->manager.next_input_byte = src->buffer;
    src->manager.bytes_in_buffer = n;
    src->firstFill = false;
    return TRUE;
}

void SkipSource(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    auto left = static_cast<size_t>(count);
    while (left > src->bytes_in_buffer) {
        // A length running past the end of the file: skipping the invented
        // end-of-image marker two bytes at a time would read the exhausted
        // file tens of thousands of times. The marker stays for the reader.
        if (SourceOf(cinfo)->atEnd) return;
        left -= src->bytes_in_buffer;
        FillSource(cinfo);
    }
    src->next_input_byte += left;
    src->bytes_in_buffer -= left;
}

void TermSource(j_decompress_ptr) {}

bool DecodeInto(jpeg_decompress_struct* cinfo, JumpingErrors* errors, FileSource* source, ImageData* image) {
    if (setjmp(errors->jump)) return false;

    // Creation may fail too, so it happens under the jump point; destroying a
    // structure that was never created is harmless.
    jpeg_create_decompress(cinfo);
    cinfo->src = &source->manager;
    jpeg_read_header(cinfo, TRUE);
    if (cinfo->num_components != 1 && cinfo->num_components != 3) return false;
    if (!ImageData::SizeAllowed(cinfo->image_width, cinfo->image_height)) return false;
    jpeg_start_decompress(cinfo);
    const int components = cinfo->output_components;
    if (components != 1 && components != 3) return false;
    if (!image->Allocate(static_cast<int>(cinfo->output_width), static_cast<int>(cinfo->output_height), false))
        return false;

    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 cinfo->output_width * components, 1);
    const int width = image->GetWidth();
    while (cinfo->output_scanline < cinfo->output_height) {
        int y = static_cast<int>(cinfo->output_scanline);
        if (jpeg_read_scanlines(cinfo, row, 1) != 1) return false;
        const JSAMPLE* in = row[0];
        uint32_t* out = image->Row(y);
        if (components == 3) {
            for (int x = 0; x < width; ++x, in += 3)
                out[x] = 0xFF000000u | uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
        } else {
            for (int x = 0; x < width; ++x) out[x] = 0xFF000000u | uint32_t{in[x]} * 0x010101u;
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

bool EncodeFrom(jpeg_compress_struct* cinfo, JumpingErrors* errors, FILE* stream, const ImageData* image) {
    if (setjmp(errors->jump)) return false;

    jpeg_create_compress(cinfo);
    jpeg_stdio_dest(cinfo, stream);
    cinfo->image_width = static_cast<JDIMENSION>(image->GetWidth());
    cinfo->image_height = static_cast<JDIMENSION>(image->GetHeight());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, kWriteQuality, TRUE);
    jpeg_start_compress(cinfo, TRUE);

    JSAMPARRAY row =
        (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, cinfo->image_width * 3, 1);
    const int width = image->GetWidth();
    for (int y = 0; y < image->GetHeight(); ++y) {
        const uint32_t* in = image->Row(y);
        JSAMPLE* out = row[0];
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = static_cast<JSAMPLE>(in[x] >> 16);
            out[1] = static_cast<JSAMPLE>(in[x] >> 8);
            out[2] = static_cast<JSAMPLE>(in[x]);
        }
        jpeg_write_scanlines(cinfo, row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

std::unique_ptr<ImageData> ReadJpeg(std::string_view fileName) {
    std::unique_ptr<image_io::ImageFile> file = image_io::ImageFile::Open(fileName);
    if (!file) return nullptr;

    jpeg_decompress_struct cinfo{};
    JumpingErrors errors{};
    cinfo.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = PrintAndJump;

    auto source = std::make_unique<FileSource>();
    source->manager.init_source = StartSource;
    source->manager.fill_input_buffer = FillSource;
    source->manager.skip_input_data = SkipSource;
    source->manager.resync_to_restart = jpeg_resync_to_restart;
    source->manager.term_source = TermSource;
    source->file = file.get();

    std::unique_ptr<ImageData> image;
    bool ok = false;
    try {
        image = std::make_unique<ImageData>();
        ok = DecodeInto(&cinfo, &errors, source.get(), image.get());
    } catch (const std::bad_alloc&) {
        ok = false;  // the decompressor still goes
    }
    jpeg_destroy_decompress(&cinfo);
    if (!ok) return nullptr;
    return image;
}

}  // namespace

std::unique_ptr<ImageData> GetJPEGImage(std::string_view fileName) {
    // Nothing may escape a reader: an allocation that fails reads as no image.
    try {
        return ReadJpeg(fileName);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool WriteJPEGImage(std::string_view path, const ImageData& image) {
    if (image.GetBits() == nullptr) return false;
    image_io::WriteStream stream = image_io::OpenForWriting(path);
    if (!stream) return false;

    jpeg_compress_struct cinfo{};
    JumpingErrors errors{};
    cinfo.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = PrintAndJump;
    bool ok = EncodeFrom(&cinfo, &errors, stream.get(), &image);
    jpeg_destroy_compress(&cinfo);
    // A full disk may only show when the last buffer is flushed.
    return std::fclose(stream.release()) == 0 && ok;
}
