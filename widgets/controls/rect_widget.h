#pragma once
// RectWidget: a filled rectangle in its own colour, tinted by the animatable
// colour and opacity properties (factors above 1 draw overbright). A script
// that asks for its image to draw into gets one of its size, filled with the
// colour, and from then on the widget draws that image instead.

#include "foundation/values/color.h"
#include "widgets/dynamic/dynamic_widget.h"

class RectWidget : public DynamicWidget {
public:
    RectWidget(const Color& colour, int x, int y, int width, int height);

    void Draw(Graphics* g) override;
    ImageSurface* GetWritableImage() override;

    const Color& GetColor() const { return colour_; }
    void SetColor(const Color& colour) {
        colour_ = colour;
        MarkDirty();
    }

private:
    Color colour_;
};
