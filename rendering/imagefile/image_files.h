#pragma once
// Image files: reading PNG, JPEG, GIF and TGA files into ImageData, and
// writing ImageData as PNG or JPEG.
//
// Owns: nothing beyond each call; every reader opens, decodes and closes its
// file within the call, through the pack layer, so an image may be loose on
// disk or inside the pack. Promises: a reader returns null on any failure
// (missing file, wrong magic, truncated data, a size above the ImageData
// limits, a library error) and never reads outside its buffers; writers return
// false on failure. Nothing is logged except libjpeg's own message lines.
// Callers own the returned images. Readers keep no state, so any thread may
// read images; the pack layer must be mounted before the first read.
// JPEG 2000 (".j2k", ".jp2") needs an optional codec that this build never
// loads: those names yield nothing.

#include <memory>
#include <string_view>

#include "rendering/image/image_data.h"

// Reads `name`; without an extension tries ".png", ".jpg", ".gif", ".tga",
// ".j2k" and ".jp2" in this order. With `withAlpha`, an alpha companion
// ("dir/_file" first, then "file_", each in every format) supplies the alpha
// of a colour image of the same size, or, when there is no colour image,
// becomes a white image carrying the companion's blue channel as alpha.
std::unique_ptr<ImageData> GetImage(std::string_view name, bool withAlpha);

std::unique_ptr<ImageData> GetPNGImage(std::string_view fileName);
std::unique_ptr<ImageData> GetJPEGImage(std::string_view fileName);
std::unique_ptr<ImageData> GetGIFImage(std::string_view fileName);
// 32-bit uncompressed files with a top-left origin only.
std::unique_ptr<ImageData> GetTGAImage(std::string_view fileName);
std::unique_ptr<ImageData> GetJ2KImage(std::string_view fileName);

// 8-bit RGBA, not interlaced.
bool WritePNGImage(std::string_view path, const ImageData& image);
// RGB at quality 80; the alpha channel is dropped.
bool WriteJPEGImage(std::string_view path, const ImageData& image);

// Releases the JPEG 2000 codec when one is loaded.
void UnloadJ2KCodec();
