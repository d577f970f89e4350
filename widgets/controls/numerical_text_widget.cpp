#include "widgets/controls/numerical_text_widget.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "foundation/expression/format.h"
#include "foundation/system/app_services.h"
#include "foundation/values/field_handle.h"
#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"
#include "rendering/font/fonts_xml.h"

NumericalTextWidget::NumericalTextWidget(int x, int y, int justification, std::wstring_view fontName,
                                         std::wstring format, int32_t watchedHandle, int step, int interval)
    : DynamicWidget(x, y, nullptr, 1.0f),
      format_(std::move(format)),
      font_(GetFontMap().Find(std::wstring(fontName))),
      justification_(justification),
      watched_(watchedHandle),
      shown_(FieldHandle::ReadInt(watchedHandle)),
      step_(step),
      interval_(interval) {
    FormatValue();
    if (font_) Resize(x_, y_, width_, SaturateCast(font_->GetHeight()));
}

void NumericalTextWidget::FormatValue() {
    const std::array<PropertyValue, 1> value{PropertyValue(shown_)};
    shownText_ = FormatWithArguments(format_, value);
}

void NumericalTextWidget::Update() {
    DynamicWidget::Update();
    if (++tickCounter_ < interval_) return;
    tickCounter_ = 0;
    const int watched = FieldHandle::ReadInt(watched_);
    changing_ = watched != shown_;
    if (!changing_) return;
    if (step_ < 1) {
        shown_ = watched;
    } else {
        // Wide: the distance between two ints and the grown step exceed an int.
        int64_t s = step_;
        int64_t d = std::llabs(int64_t{watched} - shown_) / s;
        while (d >= 100) {
            d /= 10;
            s *= 10;
        }
        int sound;
        if (watched > shown_) {
            shown_ = static_cast<int>(std::min<int64_t>(int64_t{shown_} + s, watched));
            sound = countUpSound_;
        } else {
            shown_ = static_cast<int>(std::max<int64_t>(int64_t{shown_} - s, watched));
            sound = countDownSound_;
        }
        if (sound >= 0) PlaySoundEffect(sound);
    }
    FormatValue();
    MarkDirty();
}

void NumericalTextWidget::Draw(Graphics* g) {
    if (!g || !font_ || opacity <= 0.0f) return;
    const GraphicsState saved = g->GetState();
    g->ClipRectR(ClipRectangle());
    g->SetFont(font_);
    const int ascent = SaturateCast(font_->GetAscent());
    ColourPasses(g, red * opacity, green * opacity, blue * opacity, alpha * opacity, [&](const Color& pass) {
        g->SetColor(pass);
        g->WriteString(shownText_, 0, ascent, width_, justification_);
    });
    g->SetState(saved);
}
