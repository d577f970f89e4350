// The "add" form with "textends": a horizontally stretchable box of three
// cap images with word-wrapped text on it, as a new widget or drawn into an
// existing object's image.
#include <algorithm>
#include <memory>

#include "foundation/system/app_services.h"
#include "foundation/values/saturate.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/create_forms.h"
#include "widgets/script/script_text.h"
#include "widgets/script/word_support.h"

namespace {

Image* NamedImage(const std::wstring& name) { return dynamic_cast<Image*>(FindImageByName(name)); }

int Channel(AnimationWidget& widget, std::wstring_view name) {
    return std::clamp(SaturateCast(widget.StepAttributeFloatOr(name, 255.0f)), 0, 255);
}

struct Caps {
    Image* left = nullptr;
    Image* centre = nullptr;
    Image* right = nullptr;
};

// Where the text goes inside the box, and the box's size.
struct BoxLayout {
    int textX = 0;
    int textWidth = 0;
    int textHeight = 0;
    int width = 0;
    int height = 0;
};

// The wrap width starts at the room the box has for text and grows by 10
// while the text is taller than that room. It stops once there is no room
// at all or the width passes what the text needs on one line: wider can
// never make it lower, and a single line taller than the room would
// otherwise widen it for ever.
BoxLayout Measure(AnimationWidget& widget, const Caps& caps, Font* font, const std::wstring& text) {
    BoxLayout box;
    box.height = caps.centre->GetCelHeight();
    const int marginTop = widget.StepAttributeIntOr(L"margin_top", 0);
    const int marginBottom = widget.StepAttributeIntOr(L"margin_bottom", 0);
    const int minWidth = widget.StepAttributeIntOr(L"min_width", 0);
    const int room = ClampHalfInt(int64_t{box.height} - marginTop - marginBottom);
    Graphics measure(nullptr);
    measure.SetFont(font);
    int unwrapped = 0;
    Graphics::GetWordWrappedHeight(&measure, 0x40000000, text, &unwrapped);
    int wrap = room > minWidth ? room : minWidth;
    box.textHeight = Graphics::GetWordWrappedHeight(&measure, wrap, text, &box.textWidth);
    // Each try measures the whole text: charged to the run, which may cut the search short.
    const int work = static_cast<int>(std::min<size_t>(text.size() / 100 + 1, AnimationWidget::kStepBudget));
    while (box.textHeight > room && room > 0 && wrap <= unwrapped && AnimationWidget::SpendWork(work)) {
        wrap += 10;
        box.textHeight = Graphics::GetWordWrappedHeight(&measure, wrap, text, &box.textWidth);
    }
    const int marginLeft = widget.StepAttributeIntOr(L"margin_left", caps.left->GetCelWidth());
    const int marginRight = widget.StepAttributeIntOr(L"margin_right", caps.right->GetCelWidth());
    int contentWidth = box.textWidth;
    box.textX = marginLeft;
    if (box.textWidth < minWidth) {
        contentWidth = minWidth;
        box.textX = ClampHalfInt(marginLeft + (int64_t{minWidth} - box.textWidth) / 2);
    }
    box.width = ClampHalfInt(int64_t{marginLeft} + contentWidth + marginRight);
    return box;
}

void DrawBox(Graphics& g, AnimationWidget& widget, const Caps& caps, const BoxLayout& box, Font* font,
             const std::wstring& text) {
    const int leftWidth = caps.left->GetCelWidth(), rightWidth = caps.right->GetCelWidth();
    g.SetColorizeImages(true);
    DrawImageAtCelSize(&g, caps.left, 0.0f, 0.0f, 0);
    g.DrawImageScaled(caps.centre, static_cast<float>(leftWidth), 0.0f,
                      static_cast<float>(box.width - leftWidth - rightWidth), static_cast<float>(box.height), 0);
    DrawImageAtCelSize(&g, caps.right, static_cast<float>(box.width - rightWidth), 0.0f, 0);
    g.SetDrawMode(0);
    g.SetFont(font);
    const int marginTop = widget.StepAttributeIntOr(L"margin_top", 0);
    const int marginBottom = widget.StepAttributeIntOr(L"margin_bottom", 0);
    const int top = ClampHalfInt((int64_t{box.height} - box.textHeight - marginBottom + marginTop) / 2);
    const int justification = SignedAlignCode(widget.StepAttributeString(L"justification"), L"right");
    g.WriteWordWrapped(Rect(box.textX, top, box.textWidth, box.textHeight), text, -1, justification);
}

}  // namespace

void AddTextBoxWithEnds(AnimationWidget& widget) {
    const std::wstring text =
        ScriptDisplayText(widget.StepAttributeString(L"text"), widget.StepAttributeBoolOr(L"lookup", true));
    const std::wstring base = widget.StepAttributeString(L"textends");
    const Caps caps{NamedImage(base + L"_left"), NamedImage(base + L"_center"), NamedImage(base + L"_right")};
    // The box is made of all three; without one of them the step does nothing.
    if (!caps.left || !caps.centre || !caps.right) return;
    Font* font = StepAttributeFont(widget, L"font");
    const BoxLayout box = Measure(widget, caps, font, text);
    const int align = SignedAlignCode(widget.StepAttributeString(L"align"), L"right");
    const int valign = SignedAlignCode(widget.StepAttributeString(L"valign"), L"bottom");
    const int x = ClampHalfInt(widget.StepAttributeIntOr(L"x", 0) - (int64_t{align} + 1) * box.width / 2);
    const int y = ClampHalfInt(widget.StepAttributeIntOr(L"y", 0) - (int64_t{valign} + 1) * box.height / 2);
    Color colour = Color::FromRGBA(Channel(widget, L"red"), Channel(widget, L"green"), Channel(widget, L"blue"),
                                   Channel(widget, L"alpha"));
    const float opacity = widget.StepAttributeFloatOr(L"opacity", 1.0f);

    if (widget.StepHasAttribute(L"to")) {
        DynamicWidget* target = widget.FindObject(L"to");
        if (!target) return;
        if (!target->IsImagePrivate()) target->MakeImagePrivate();
        target->MarkDirty();
        ImageSurface* image = target->GetWritableImage();
        if (!image) return;
        Graphics g(image);
        colour.a = std::clamp(SaturateCast(static_cast<float>(colour.a) * opacity), 0, 255);
        g.SetColor(colour);
        const LocalPoint layer = ScreenOrigin(*widget.GetLayer()), onto = ScreenOrigin(*target);
        g.Translate(static_cast<float>(x) + layer.x - onto.x, static_cast<float>(y) + layer.y - onto.y);
        DrawBox(g, widget, caps, box, font, text);
        return;
    }

    auto surface = std::make_unique<ImageSurface>();
    if (!surface->Create(box.width, box.height)) return;
    ImageSurface* drawn = surface.get();
    auto* made = new DynamicWidget(x, y, nullptr, opacity);
    made->AdoptImage(std::move(surface));
    made->SetPriority(widget.StepAttributeIntOr(L"depth", 0));
    made->SetFloatProperty(L"z", widget.StepAttributeFloatOr(L"z", 0.0f), false);
    widget.RegisterObject(widget.StepAttributeString(L"id"), made);
    Graphics g(drawn);
    g.SetColor(colour);
    g.SetDrawMode(10);
    DrawBox(g, widget, caps, box, font, text);
}
