// JPEG files through libjpeg, baseline and progressive, colour and grey.
#include "fuzz/harness.h"
#include "rendering/imagefile/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ReadImageFile("input.jpg", GetJPEGImage, data, size);
    return 0;
}
