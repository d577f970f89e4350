// The label element of the "add" word: a text (optionally framed) rendered
// into a new object's image, or into the image of an existing object.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "foundation/system/log.h"
#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/font.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/image/image_surface.h"
#include "widgets/controls/text_box.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/script_text.h"

namespace {

int Keyword(const std::wstring& text, const wchar_t* centre, const wchar_t* end) {
    if (text == centre) return 0;
    if (text == end) return 1;
    return -1;
}

}  // namespace

DynamicWidget* AnimationWidget::ReadLabelElement(int textOffsetY, int bottomSpacing) {
    auto textOf = [this](std::wstring_view name) {
        return StepHasAttribute(name) ? StepAttributeString(name) : std::wstring();
    };
    const std::wstring text = ScriptDisplayText(textOf(L"text"), StepAttributeBoolOr(L"lookup", true));
    const bool hasWidth = StepHasAttribute(L"width");
    const int givenWidth = hasWidth ? StepAttributeInt(L"width") : 10000;
    const int justification = Keyword(textOf(L"justification"), L"center", L"right");
    const std::wstring box = textOf(L"textbox");
    // Either spelling: the label is sized and the box drawn by the same rule.
    const bool forceWidth = StepAttributeBoolOr(L"force_width", false) || StepAttributeBoolOr(L"force-width", false);
    Font* font = GetFontMap().Find(textOf(L"font"));

    std::unique_ptr<TextBoxFrame> frame;
    if (!box.empty()) frame = std::make_unique<TextBoxFrame>(box);
    const int margin = frame ? 0 : 8;
    int width, height;
    if (text.empty()) {
        height = StepAttributeInt(L"height");
        if (height == 0) height = 64;
        width = hasWidth ? givenWidth : 64;
    } else {
        Graphics measure(nullptr);
        measure.SetFont(font);
        int wrappedWidth = 0;
        const int wrapped = Graphics::GetWordWrappedHeight(&measure, givenWidth, text, &wrappedWidth);
        height = ClampHalfInt(int64_t{wrapped} + margin + bottomSpacing);
        width = forceWidth ? givenWidth : wrappedWidth;
        if (frame) {
            width = ClampHalfInt(int64_t{width} + frame->left + frame->right);
            height = ClampHalfInt(int64_t{height} + frame->top + frame->bottom);
        }
    }
    const int align = Keyword(textOf(L"align"), L"center", L"right");
    const int valign = Keyword(textOf(L"valign"), L"center", L"bottom");
    const int x = ClampHalfInt(int64_t{StepAttributeInt(L"x")} - (int64_t{align + 1} * width) / 2);
    const int y = ClampHalfInt(int64_t{StepAttributeInt(L"y")} - (int64_t{valign + 1} * height) / 2 - margin / 2);
    const float opacity = StepAttributeFloatOr(L"opacity", 1.0f);
    Color colour = ReadColor();

    DynamicWidget* result = nullptr;
    ImageSurface* canvas = nullptr;
    float originX = 0.0f, originY = 0.0f;
    if (StepHasAttribute(L"to")) {
        DynamicWidget* target = FindObject(L"to");
        if (!target) {
            LogWrite(L"Label skipped: no object named " + StepAttributeString(L"to"), true);
            return nullptr;
        }
        if (!target->IsImagePrivate()) target->MakeImagePrivate();
        canvas = target->GetWritableImage();
        if (!canvas) {
            LogWrite(L"Label skipped: object " + StepAttributeString(L"to") + L" has no image to draw into", true);
            return nullptr;
        }
        target->MarkDirty();
        colour.a = std::clamp(static_cast<int>(static_cast<float>(colour.a) * std::clamp(opacity, 0.0f, 1.0f)), 0, 255);
        // Coordinates stay those of the layer new objects go to.
        const FRect layer = GetLayer()->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
        const FRect object = target->MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
        originX = static_cast<float>(x) + layer.x - object.x;
        originY = static_cast<float>(y) + layer.y - object.y;
        result = target;
    } else {
        auto image = std::make_unique<ImageSurface>(true);
        if (!image->Create(width, height)) {
            LogWrite(L"Label skipped: it cannot be " + std::to_wstring(width) + L" x " + std::to_wstring(height) +
                         L" pixels",
                     true);
            return nullptr;
        }
        canvas = image.get();
        auto* label = new DynamicWidget(x, y, nullptr, opacity);
        label->AdoptImage(std::move(image));
        label->SetPriority(StepAttributeInt(L"depth"));
        label->z = StepAttributeFloat(L"z");
        label->PropertiesChanged(change_bit::kTransform);
        RegisterObject(textOf(L"id"), label);
        result = label;
    }

    Graphics g(canvas);
    g.Translate(originX, originY);
    g.SetColor(colour);
    g.SetDrawMode(10);
    g.SetFont(font);
    if (frame) {
        TextBoxRequest request;
        request.width = width;
        request.height = height;
        request.x = justification == 0 ? width / 2 : justification == 1 ? width : 0;
        request.justification = justification;
        request.extraTop = textOffsetY;
        request.forceWidth = forceWidth;
        DrawTextBox(&g, box, request, text);
    } else if (!text.empty()) {
        g.SetDrawMode(0);
        g.WriteWordWrapped(Rect(0, margin / 2, width, height), text, -1, justification);
    }
    return result;
}
