#include "rendering/image_render_target.h"

ImageRenderTarget& ImageRenderTarget::Default() {
    static ImageRenderTarget target;
    return target;
}
