// A copy of any image drawn into a new surface of its own.

#include "app/shell/vorn_app_base.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"

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
