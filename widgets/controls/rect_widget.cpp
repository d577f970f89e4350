#include "widgets/controls/rect_widget.h"

#include <memory>
#include <vector>

#include "rendering/draw/graphics.h"
#include "rendering/image/image_data.h"
#include "rendering/image/image_surface.h"

RectWidget::RectWidget(const Color& colour, int x, int y, int width, int height)
    : DynamicWidget(x, y, nullptr, 1.0f), colour_(colour) {
    Resize(static_cast<float>(x), static_cast<float>(y), width, height);
}

void RectWidget::Draw(Graphics* g) {
    if (image_) {
        DynamicWidget::Draw(g);
        return;
    }
    if (!g || opacity <= 0.0f) return;
    const GraphicsState saved = g->GetState();
    g->ClipRectR(ClipRectangle());
    ColourPasses(g, red * opacity, green * opacity, blue * opacity, alpha * opacity, [&](const Color& pass) {
        g->SetColor(Color::Multiply(colour_, pass));
        g->FillRect(0, 0, width_, height_);
    });
    g->SetState(saved);
}

ImageSurface* RectWidget::GetWritableImage() {
    if (!image_) {
        // Sizes come from scripts: no larger image than any image may be.
        if (width_ <= 0 || height_ <= 0 || width_ > ImageData::kMaxSide || height_ > ImageData::kMaxSide)
            return nullptr;
        auto surface = std::make_unique<ImageSurface>(false);
        const std::vector<uint32_t> pixels(static_cast<size_t>(width_) * static_cast<size_t>(height_),
                                           colour_.ToPremultipliedARGB());
        if (!surface->SetBits(pixels.data(), width_, height_, false)) return nullptr;
        surface->premultiplied = true;
        AdoptImage(std::move(surface));
    }
    return DynamicWidget::GetWritableImage();
}
