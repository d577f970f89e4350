#include "widgets/controls/text_label.h"

#include <cmath>

#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"
#include "rendering/font/fonts_xml.h"

TextLabel::TextLabel(int x, int y, std::wstring text, std::wstring_view fontName, int wrapWidth, int justification,
                     int horizontalAnchor, int verticalAnchor)
    : DynamicWidget(x, y, nullptr, 1.0f),
      justification_(justification),
      text_(std::move(text)),
      font_(GetFontMap().Find(std::wstring(fontName))),
      wrapWidth_(wrapWidth < 1 ? 10000 : wrapWidth),
      horizontalAnchor_(horizontalAnchor),
      verticalAnchor_(verticalAnchor) {
    Layout();
}

void TextLabel::SetText(std::wstring text) {
    text_ = std::move(text);
    Layout();
}

void TextLabel::SetFontName(std::wstring_view name) {
    font_ = GetFontMap().Find(std::wstring(name));
    Layout();
}

void TextLabel::Layout() {
    Graphics measure(nullptr);
    measure.SetFont(font_);
    textHeight_ = Graphics::GetWordWrappedHeight(&measure, wrapWidth_, text_, &textWidth_);
    MarkDirty();
    const int ascent = font_ ? SaturateCast(font_->GetAscent()) : 0;
    // Anchors come from scripts: products are taken wide.
    textX_ = static_cast<int>(-((int64_t{horizontalAnchor_} + 1) * textWidth_ / 2));
    textY_ = static_cast<int>(ascent - (int64_t{verticalAnchor_} + 1) * textHeight_ / 2);
}

void TextLabel::Draw(Graphics* g) {
    if (!g || !font_ || opacity <= 0.0f) return;
    const GraphicsState saved = g->GetState();
    g->ClipRectR(ClipRectangle());
    g->SetFont(font_);
    ColourPasses(g, red * opacity, green * opacity, blue * opacity, alpha * opacity, [&](const Color& pass) {
        g->SetColor(pass);
        g->DrawStringWordWrapped(text_, textX_, textY_, textWidth_, justification_);
    });
    g->SetState(saved);
}

bool TextLabel::HitTest(float x, float y) {
    const int64_t px = SaturateCast(x), py = SaturateCast(y);
    // textY_ is the first baseline; the block starts an ascent above it.
    const int64_t top = int64_t{textY_} - (font_ ? SaturateCast(font_->GetAscent()) : 0);
    return px >= textX_ && px < int64_t{textX_} + textWidth_ && py >= top && py < top + textHeight_;
}
