// Images the application makes itself: a file decoded into a new surface,
// and a copy of any image drawn into a new one.

#include "app/shell/vorn_app_base.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"

ImageSurface* VornAppBase::LoadImageFile(std::string_view path, std::wstring_view name, int columns, int rows,
                                         uint32_t flags) {
    std::unique_ptr<ImageData> data = GetImage(path, true);
    if (!data) return nullptr;
    auto image = std::make_unique<ImageSurface>();
    image->path = std::string(path);
    image->name = std::wstring(name);
    image->SetRowsCols(std::max(rows, 1), std::max(columns, 1));
    image->SetFlags(flags);
    // Decoded files hold straight alpha; surfaces are drawn premultiplied.
    if (!image->SetBits(data->GetBits(), data->GetWidth(), data->GetHeight(), true)) return nullptr;
    image->CommitBits();
    return image.release();
}

ImageSurface* VornAppBase::DuplicateImage(Image* source) {
    if (!source || source->width <= 0 || source->height <= 0) return nullptr;
    auto copy = std::make_unique<ImageSurface>(true);
    if (!copy->Create(source->width, source->height)) return nullptr;
    {
        Graphics graphics(copy.get());
        graphics.DrawImageWhole(source, 0, 0);
    }
    copy->CopyAttributesFrom(source);
    return copy.release();
}
