#pragma once
// What one image costs and where its pixels live, as the video statistics
// and the image dump report it: a device texture counts 4 bytes a pixel in
// the 32-bit formats (A8R8G8B8, X8R8G8B8) and 2 otherwise; pixels kept in
// system memory count 4 bytes a pixel. Sizes are the image's width and height.
// Main thread only (it reads the image's residency).

#include <cstdint>
#include <vector>

class ImageSurface;

struct ImageMemory {
    ImageSurface* image = nullptr;
    int64_t textureBytes = 0;
    int64_t bitsBytes = 0;
    bool hasTexture = false;
    bool texture32 = false;  // the texture is A8R8G8B8 or X8R8G8B8
    bool hasBits = false;
    bool hasSurface = false;
    int64_t Total() const { return textureBytes + bitsBytes; }
};

ImageMemory MeasureImage(ImageSurface& image);

// The images that own their pixels (no children of another surface), each
// measured, largest first; equal sizes keep the order they came in.
std::vector<ImageMemory> MeasureOwnImages(const std::vector<ImageSurface*>& images);
