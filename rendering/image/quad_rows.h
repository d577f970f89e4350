#pragma once
// Queued quads of one image blended straight into a software target's
// pixels, as BlendRowsInPlace blends one: the image's textures and the
// target's binding are made ready once for the run rather than once a quad.

#include <cstddef>
#include <span>

#include "rendering/image/image_render_target.h"

class ImageSurface;

// Blends items[0 .. n) in their order, stopping at the first the rows
// cannot take (turned, between pixels, another state, across texture
// pieces), whose pixels only the device gives; returns n. The quads are cut
// to the clip already or lie within it.
size_t BlendQuadsInPlace(ImageSurface& target, ImageSurface* image, std::span<const QuadBatchItem> items,
                         const FRect& clip, const DrawState& state);
