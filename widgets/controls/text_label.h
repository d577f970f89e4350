#pragma once
// TextLabel: word-wrapped text anchored at the widget's position. The
// anchors say where on the text block the position lies (-1 left or top,
// 0 centre, 1 right or bottom); the lines are justified within the block
// (0 centre, 1 right, other values left). Drawn in the colour the animatable
// colour and opacity properties give, overbright above 1. The pointer hits
// the label where its text block is drawn.
// The font is the font map's (not owned); an unknown name draws nothing.

#include <string>
#include <string_view>

#include "widgets/dynamic/dynamic_widget.h"

class Font;

class TextLabel : public DynamicWidget {
public:
    // A wrap width below 1 wraps at 10000 pixels.
    TextLabel(int x, int y, std::wstring text, std::wstring_view fontName, int wrapWidth, int justification,
              int horizontalAnchor, int verticalAnchor);

    void Draw(Graphics* g) override;
    bool HitTest(float x, float y) override;

    void SetText(std::wstring text);
    void SetFontName(std::wstring_view name);
    // 0 centre, 1 right, other values left; the block keeps its size.
    void SetJustification(int justification) {
        justification_ = justification;
        MarkDirty();
    }
    const std::wstring& GetText() const { return text_; }
    Font* GetFont() const { return font_; }
    // The block's top-left baseline point relative to the position, and its size.
    int GetTextX() const { return textX_; }
    int GetTextY() const { return textY_; }
    int GetTextWidth() const { return textWidth_; }
    int GetTextHeight() const { return textHeight_; }

protected:
    void Layout();

private:
    int justification_;
    std::wstring text_;
    Font* font_ = nullptr;
    int wrapWidth_;
    int horizontalAnchor_;
    int verticalAnchor_;
    int textX_ = 0, textY_ = 0;
    int textWidth_ = 0, textHeight_ = 0;
};
