// "add-button" makes a push button bound to what the script wants done when
// it acts; "config-button" re-reads the look of an existing one.
#include <cstdint>

#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"
#include "widgets/controls/button_widget.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"
#include "widgets/script/word_support.h"

namespace {

// A button without an image is as large as its caption, wrapped at its
// wrap width (none when that is 0 or less).
void SizeToCaption(ButtonWidget& button) {
    Graphics measure(nullptr);
    measure.SetFont(button.GetCurrentFont());
    const int wrap = button.GetWrapWidth() > 0 ? button.GetWrapWidth() : 0x40000000;
    int width = 0;
    const int height = Graphics::GetWordWrappedHeight(&measure, wrap, button.GetLabel(), &width);
    button.Resize(button.GetX(), button.GetY(), width, height);
}

ButtonBinding Binding(AnimationWidget& widget, ButtonWidget& button, bool stateFrames) {
    ButtonBinding binding;
    binding.name = button.GetIdText();
    binding.hoverAnimation = widget.StepAttributeString(L"hover");
    binding.leaveAnimation = widget.StepAttributeString(L"leave");
    // The first of the three that names something decides what the button does.
    const std::pair<const wchar_t*, int> kinds[] = {
        {L"launch", ButtonBinding::kLaunch}, {L"call", ButtonBinding::kCall}, {L"action", ButtonBinding::kAction}};
    for (const auto& [attribute, kind] : kinds) {
        std::wstring target = widget.StepAttributeString(attribute);
        if (target.empty()) continue;
        binding.kind = kind;
        binding.target = std::move(target);
        break;
    }
    binding.parameter = widget.StepAttributeString(L"parameter");
    binding.number = widget.StepAttributeIntOr(L"object", 0);
    // A button whose image shows hover and pressed looks acts on release, so
    // that the pressed look is seen; one without acts at once.
    binding.depress = widget.StepAttributeBoolOr(L"depress", stateFrames);
    return binding;
}

WordResult AddButton(AnimationWidget& widget, const AnimationStep&, DynamicWidget*) {
    auto* button = new ButtonWidget(widget.StepAttributeIntOr(L"x", 0), widget.StepAttributeIntOr(L"y", 0),
                                    widget.StepAttributeString(L"type"), widget.StepAttributeString(L"text"),
                                    widget.StepAttributeBoolOr(L"lookup", true));
    button->SetPriority(widget.StepAttributeIntOr(L"depth", 0));
    const std::wstring justification = widget.StepAttributeString(L"justification");
    if (justification == L"left") button->SetJustification(-1);
    if (justification == L"right") button->SetJustification(1);
    if (widget.StepHasAttribute(L"image")) button->SetImage(widget.StepAttributeImage(L"image"));
    const Image* image = button->GetImage();
    const bool stateFrames = image && int64_t{image->rows} * image->cols >= 3;
    button->SetStateFrames(stateFrames, stateFrames);
    widget.ReadButtonConfig(button);
    if (!button->GetImage()) SizeToCaption(*button);
    button->SetButtonListener(&widget);
    const std::wstring id = widget.StepAttributeString(L"id");
    button->SetId(id);
    ButtonBinding binding = Binding(widget, *button, stateFrames);
    widget.Buttons()[button->GetId()] = binding;
    widget.RegisterObject(id, button);
    const std::wstring align = widget.StepAttributeString(L"align");
    const std::wstring valign = widget.StepAttributeString(L"valign");
    const float x = AlignValue(button->GetX(), *button, false, align);
    const float y = AlignValue(button->GetY(), *button, true, valign);
    button->SetPosition(L"x", L"y", x, y, false);
    widget.ObjectAdded(binding);
    return WordResult::kNext;
}

WordResult ConfigButton(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    auto* button = dynamic_cast<ButtonWidget*>(object);
    if (!button) return WordResult::kNext;
    widget.ReadButtonConfig(button);
    button->MarkDirty();
    return WordResult::kNext;
}

}  // namespace

void RegisterButtonWords(ScriptWords& words) {
    words.Register(WordGroup::kNoObject, L"add-button", AddButton);
    words.Register(WordGroup::kObject, L"config-button", ConfigButton);
}
