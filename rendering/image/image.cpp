#include "rendering/image/image.h"

#include "rendering/image/image_surface.h"

PropertyValue Image::GetProperty(std::wstring_view key) {
    if (key == L"name") return PropertyValue(name);
    if (key == L"cols") return PropertyValue(static_cast<int>(cols));
    if (key == L"rows") return PropertyValue(static_cast<int>(rows));
    if (key == L"frames") return PropertyValue(static_cast<int>(rows * cols));
    if (key == L"frame_width") return PropertyValue(GetCelWidth());
    if (key == L"frame_height") return PropertyValue(GetCelHeight());
    return ExtendedPropertyInterface::GetProperty(key);
}

bool Image::GetCelBox(int cel, FRect* box) const {
    *box = IsValidCel(cel) ? FRect(0.0f, 0.0f, static_cast<float>(GetCelWidth()), static_cast<float>(GetCelHeight()))
                           : FRect();
    return false;
}

void Image::SetSize(int w, int h) {
    width = sourceWidth = w;
    height = sourceHeight = h;
}

void Image::SetRowsCols(int r, int c) {
    rows = r;
    cols = c;
}

void Image::CopyAttributesFrom(Image* other) {
    if (!other) return;
    name = other->name;
    rows = other->rows;
    cols = other->cols;
    if (ImageSurface* surface = other->GetSurface()) {
        path = surface->path;
        premultiplied = surface->premultiplied;
        if (ImageSurface* self = GetSurface(); self && self == this) self->SetFlags(surface->GetFlags());
    }
}
