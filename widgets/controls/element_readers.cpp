// The colour and button readers of the script words.
#include <algorithm>

#include "foundation/system/app_services.h"
#include "foundation/values/color.h"
#include "foundation/values/saturate.h"
#include "rendering/font/fonts_xml.h"
#include "widgets/controls/button_widget.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/script_text.h"

Color AnimationWidget::ReadColor() {
    Color colour = Color::FromRGBA(255, 255, 255, 255);
    int32_t* channels[] = {&colour.r, &colour.g, &colour.b, &colour.a};
    const wchar_t* names[] = {L"red", L"green", L"blue", L"alpha"};
    for (int i = 0; i < 4; ++i)
        // Truncated, and kept to a channel's range whatever the script says.
        if (StepHasAttribute(names[i]))
            *channels[i] = std::clamp(SaturateCast(StepAttributeFloat(names[i]) * 255.0f), 0, 255);
    return colour;
}

void AnimationWidget::ReadButtonConfig(ButtonWidget* button) {
    if (!button) return;
    if (StepHasAttribute(L"text"))
        button->SetLabel(ScriptDisplayText(StepAttributeString(L"text"), StepAttributeBoolOr(L"lookup", true)));
    if (StepHasAttribute(L"font")) {
        const Font* font = GetFontMap().Find(StepAttributeString(L"font"));
        for (int state = ButtonWidget::kNormal; state <= ButtonWidget::kDisabled; ++state)
            button->SetStateFont(state, font);
    }
    if (StepHasAttribute(L"font_over"))
        button->SetStateFont(ButtonWidget::kOver, GetFontMap().Find(StepAttributeString(L"font_over")));
    if (StepHasAttribute(L"font_down"))
        button->SetStateFont(ButtonWidget::kDown, GetFontMap().Find(StepAttributeString(L"font_down")));
    if (StepHasAttribute(L"font_disabled"))
        button->SetStateFont(ButtonWidget::kDisabled, GetFontMap().Find(StepAttributeString(L"font_disabled")));
    button->SetWrapWidth(StepAttributeIntOr(L"width", button->GetWrapWidth()));
    if (StepHasAttribute(L"check_pixels")) button->SetPixelHitTest(StepAttributeBool(L"check_pixels"));
    button->SetTextOffset(StepAttributeIntOr(L"text_offset_x", button->GetTextOffsetX()),
                          StepAttributeIntOr(L"text_offset_y", button->GetTextOffsetY()));
    button->SetHandCursor(StepAttributeBoolOr(L"use_hand_cursor", button->GetHandCursor()));
    button->SetPlaySounds(StepAttributeBoolOr(L"sound", button->GetPlaySounds()));
    if (StepHasAttribute(L"sound_down")) button->SetPressSound(StepAttributeSound(L"sound_down"));
    if (StepHasAttribute(L"sound_over")) button->SetHoverSound(StepAttributeSound(L"sound_over"));
    button->SetDownTextOffset(StepAttributeIntOr(L"down_text_offset_x", button->GetDownTextOffsetX()),
                              StepAttributeIntOr(L"down_text_offset_y", button->GetDownTextOffsetY()));
}
