#include "rendering/image/image_child.h"

ImageChild::ImageChild(ImageSurface* parent) : ImageSurface(false), parent_(parent) {
    name = parent->name + L"____CHILD";
    SetSize(parent->width, parent->height);
    rows = parent->rows;
    cols = parent->cols;
    SetFlags(parent->GetFlags());
    premultiplied = parent->premultiplied;
}

ImageSurface* ImageChild::ResolveCel(int cel, float* x, float* y, FRect* source, Matrix4* matrix) {
    ImageSurface* resolved = parent_->ResolveCel(cel, x, y, source, matrix);
    if (!resolved) return nullptr;
    // The child draws its own pixels once it has any; until then the parent's.
    const bool ownPixels = HasBits() || HasSurface() || GetTextures() || !GetPackedCels().empty();
    return ownPixels ? this : resolved;
}
