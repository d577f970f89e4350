#include "game/frontend/menus/text_input_widget.h"

#include "foundation/expression/localization_map.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/in_game_display.h"
#include "game/frontend/menus/name_rule.h"
#include "rendering/font/fonts_xml.h"
#include "widgets/tree/widget_manager.h"

namespace {

std::wstring Shown(const std::wstring& text, bool isKey) { return isKey ? LocalizeLookup(text) : text; }

}  // namespace

TextInputWidget::TextInputWidget(int x, int y, std::wstring_view type, const std::wstring& initialText,
                                 const std::wstring& emptyPrompt, bool emptyPromptIsKey, const std::wstring& emptyText,
                                 bool emptyTextIsKey, const std::wstring& fontName, int maxLength)
    : ButtonWidget(x, y, type, emptyText, false),
      text_(initialText),
      emptyPrompt_(emptyPrompt),
      emptyText_(emptyText),
      emptyPromptIsKey_(emptyPromptIsKey),
      emptyTextIsKey_(emptyTextIsKey),
      isEmpty_(initialText.empty()),
      maxLength_(maxLength > 0 ? maxLength : kDefaultMaxLength) {
    SetLabel(isEmpty_ ? Prompt() : initialText);
    if (!fontName.empty()) {
        if (const Font* font = GetFontMap().Find(fontName)) SetStateFont(kNormal, font);
    }
    SetTextOffset(0, 0);
}

std::wstring TextInputWidget::Prompt() const { return Shown(emptyPrompt_, emptyPromptIsKey_); }
std::wstring TextInputWidget::EmptyText() const { return Shown(emptyText_, emptyTextIsKey_); }

void TextInputWidget::MouseUpAt(int, int) { Focus(); }

void TextInputWidget::Focus() {
    if (isEmpty_) SetLabel(EmptyText());
    SetVariable(L"up_frame", PropertyValue::FromInt(2));
    SetVariable(L"over_frame", PropertyValue::FromInt(2));
    RunAnimationNamed(L"button_refresh");
    if (WidgetManager* manager = GetManager()) manager->SetFocus(this);
}

void TextInputWidget::Unfocus() {
    if (isEmpty_) SetLabel(Prompt());
    RunAnimationNamed(L"button_init");
    RunAnimationNamed(L"button_refresh");
    if (HasFocus()) GiveFocusToDisplay();
}

void TextInputWidget::ShowPlaceholder() {
    isEmpty_ = true;
    SetLabel(Prompt());
}

void TextInputWidget::KeyChar(wchar_t c) {
    if (isEmpty_) SetLabel(std::wstring());
    std::wstring label = GetLabel();
    if (AllowTypedChar(label, c, maxLength_)) {
        SetLabel(label + c);
        isEmpty_ = false;
    } else if (c == 8 && !label.empty()) {
        label.pop_back();
        isEmpty_ = label.empty();
        SetLabel(label);
    } else if (c == 13) {
        FinishInput();
    }
    if (GetLabel().empty()) SetLabel(EmptyText());
    MarkDirty();
}

void TextInputWidget::FinishInput() {
    if (isEmpty_)
        SetLabel(text_);
    else
        text_ = GetLabel();
    GiveFocusToDisplay();
    if (AnimationListener* listener = GetAnimationListener(); listener && !isEmpty_)
        listener->AnimationSignal(GetId(), L"finished_text_input_" + GetLabel());
    MarkDirty();
}

void TextInputWidget::GiveFocusToDisplay() {
    InGameDisplay* display = Service<FrontendHost>::Get().GetInGameDisplay();
    WidgetManager* manager = GetManager();
    if (display && manager) manager->SetFocus(display->FocusTarget());
}
