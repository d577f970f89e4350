#include "app/services/image_memory.h"

#include <algorithm>

#include "rendering/image/image_surface.h"
#include "rendering/image/texture_tiles.h"

ImageMemory MeasureImage(ImageSurface& image) {
    ImageMemory m;
    m.image = &image;
    const int64_t pixels = static_cast<int64_t>(std::max(image.width, 0)) * std::max(image.height, 0);
    if (const TexturePieces* textures = image.GetTextures(); textures && textures->format != plat::Format::Unknown) {
        m.hasTexture = true;
        m.texture32 = textures->format == plat::Format::A8R8G8B8 || textures->format == plat::Format::X8R8G8B8;
        m.textureBytes = pixels * (m.texture32 ? 4 : 2);
    }
    if (image.HasBits()) {
        m.hasBits = true;
        m.bitsBytes = pixels * 4;
    }
    m.hasSurface = image.HasSurface();
    return m;
}

std::vector<ImageMemory> MeasureOwnImages(const std::vector<ImageSurface*>& images) {
    std::vector<ImageMemory> measured;
    for (ImageSurface* image : images)
        if (image && image->GetOwnerSurface() == image) measured.push_back(MeasureImage(*image));
    std::stable_sort(measured.begin(), measured.end(),
                     [](const ImageMemory& a, const ImageMemory& b) { return a.Total() > b.Total(); });
    return measured;
}
