#pragma once
// ColorWidget: a widget holding a palette of colours, row 0 upwards, whose
// meaning each subclass gives (the edit field's background, outline, text,
// selection and selected text).

#include <vector>

#include "foundation/values/color.h"
#include "widgets/tree/widget.h"

class ColorWidget : public Widget {
public:
    // Grows the palette to hold the row (new rows are default colours); a
    // negative row is ignored.
    void SetColor(int row, const Color& colour);
    // Default colour for a row the palette lacks.
    Color GetColor(int row) const;
    int GetColorCount() const { return static_cast<int>(palette_.size()); }

protected:
    // Five opaque rows: white, black, black, black, white.
    void ResetPalette();

private:
    std::vector<Color> palette_;
};
