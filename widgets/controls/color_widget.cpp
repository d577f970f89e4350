#include "widgets/controls/color_widget.h"

#include <cstddef>

void ColorWidget::SetColor(int row, const Color& colour) {
    if (row < 0) return;
    if (static_cast<size_t>(row) >= palette_.size()) palette_.resize(static_cast<size_t>(row) + 1);
    palette_[static_cast<size_t>(row)] = colour;
    MarkDirty();
}

Color ColorWidget::GetColor(int row) const {
    return row >= 0 && static_cast<size_t>(row) < palette_.size() ? palette_[static_cast<size_t>(row)] : Color();
}

void ColorWidget::ResetPalette() {
    palette_ = {Color::FromRGB(255, 255, 255), Color::FromRGB(0, 0, 0), Color::FromRGB(0, 0, 0),
                Color::FromRGB(0, 0, 0), Color::FromRGB(255, 255, 255)};
    MarkDirty();
}
