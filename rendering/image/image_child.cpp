#include "rendering/image/image_child.h"

#include "rendering/image/image_atlas_region.h"

ImageChild::ImageChild(ImageSurface* parent) : ImageSurface(false), parent_(parent), cels_(parent) {
    name = parent->name + L"____CHILD";
    SetSize(parent->width, parent->height);
    rows = parent->rows;
    cols = parent->cols;
    SetFlags(parent->GetFlags());
    premultiplied = parent->premultiplied;
}

// The child's own pixels, when it gets any, are addressed like the atlas's,
// so it takes the atlas's size.
ImageChild::ImageChild(const ImageAtlasPiece& piece)
    : ImageSurface(false),
      parent_(piece.GetAtlas()),
      piece_(std::make_unique<ImageAtlasPiece>(piece)),
      cels_(piece_.get()) {
    name = piece.name + L"____CHILD";
    SetSize(parent_->width, parent_->height);
    rows = piece.rows;
    cols = piece.cols;
    SetFlags(parent_->GetFlags());
    premultiplied = piece.premultiplied;
}

ImageChild::~ImageChild() = default;

bool ImageChild::HasOwnPixels() const { return HasBits() || HasSurface() || GetTextures() || !GetPackedCels().empty(); }

ImageSurface* ImageChild::ResolveCel(int cel, float* x, float* y, FRect* source, Matrix4* matrix) {
    ImageSurface* resolved = cels_->ResolveCel(cel, x, y, source, matrix);
    if (!resolved) return nullptr;
    return HasOwnPixels() ? this : resolved;
}

uint32_t ImageChild::GetPixel(int x, int y, int cel) {
    // The pixels ResolveCel draws from.
    if (!HasOwnPixels()) return cels_->GetPixel(x, y, cel);
    int sx = 0, sy = 0;
    return cels_->LocateCelPixel(x, y, cel, &sx, &sy) ? PixelAt(sx, sy) : 0;
}
