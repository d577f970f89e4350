// TGA files: the header checks and the uncompressed 32-bit pixels.
#include "fuzz/harness.h"
#include "rendering/imagefile/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ReadImageFile("input.tga", GetTGAImage, data, size);
    return 0;
}
