// GIF files through the engine's own decoder: the first image, its colour
// tables and extensions, the LZW data and interlaced rows.
#include "fuzz/harness.h"
#include "rendering/imagefile/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ReadImageFile("input.gif", GetGIFImage, data, size);
    return 0;
}
