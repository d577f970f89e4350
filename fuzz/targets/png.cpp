// PNG files through libpng: every colour type, bit depth and interlacing the
// reader converts to 32-bit pixels.
#include "fuzz/harness.h"
#include "rendering/imagefile/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ReadImageFile("input.png", GetPNGImage, data, size);
    return 0;
}
