#include "rendering/image/image_render_target.h"

ImageRenderTarget& ImageRenderTarget::Default() {
    static ImageRenderTarget target;
    return target;
}
