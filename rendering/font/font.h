#pragma once
// The abstract text face. Widgets hold a Font* (often a private duplicate),
// measure with it and hand it to Graphics, which calls DrawString; they never
// know whether it is an image font or a system font. The subclasses fill the
// metrics; the base never changes them, and the six metric operations are the
// only way anything reads them. The font's own colour is multiplied into
// every draw colour. Whoever calls Duplicate owns the result.

#include <string>

#include "foundation/values/color.h"
#include "foundation/values/rect.h"

class Graphics;

class Font {
public:
    Font() = default;
    Font(const Font&) = default;
    Font& operator=(const Font&) = default;
    virtual ~Font() = default;

    virtual float GetAscent() { return ascent; }
    virtual float GetAscentPadding() { return ascentPadding; }
    virtual float GetDescent() { return height - ascent; }
    virtual float GetHeight() { return height; }
    virtual float GetLineSpacingOffset() { return lineSpacingOffset; }
    virtual float GetLineSpacing() { return height + lineSpacingOffset; }

    virtual float StringWidth(const std::wstring& text);
    virtual float CharWidth(wchar_t c);
    // The width of `c` when it follows `previous` (0 for the first character).
    virtual float CharWidthKern(wchar_t c, wchar_t previous);
    // Draws with the baseline at y; `color` is multiplied with the font's colour.
    virtual void DrawString(Graphics& g, float x, float y, const std::wstring& text, const Color& color,
                            const FRect& clip);
    virtual Font* Duplicate() const = 0;

    float ascent = 0;
    float ascentPadding = 0;
    float height = 0;
    float lineSpacingOffset = 0;
    Color color = Color::White;
    bool batch = false;
};
