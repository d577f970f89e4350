#include "widgets/screens/confirm_menu.h"

#include "foundation/expression/localization_map.h"
#include "widgets/screens/menu_host.h"

ConfirmMenu::ConfirmMenu(const std::wstring& title, const std::wstring& text, const std::wstring& okText,
                         const std::wstring& cancelText, Menu* parent)
    : DialogMenu(parent) {
    SetVariable(L"title", PropertyValue(title));
    SetVariable(L"text", PropertyValue(text));
    SetVariable(L"ok_text", PropertyValue(okText));
    SetVariable(L"cancel_text", PropertyValue(cancelText));
    PlayAnimationNamed(L"confirm_menu");
}

void ConfirmMenu::Confirm() { CloseDialog(); }

void ConfirmMenu::DoAction(std::wstring_view action, std::wstring_view parameter, int number) {
    if (action == L"ok")
        Confirm();
    else
        DialogMenu::DoAction(action, parameter, number);
}

// The button texts are keys: the script's labels look them up.
ConfirmQuitMenu::ConfirmQuitMenu()
    : ConfirmMenu(LocalizeLookup(L"quit_title"), LocalizeLookup(L"quit_text"), L"quit_confirm", L"quit_cancel",
                  nullptr) {}

void ConfirmQuitMenu::Confirm() { Service<MenuHost>::Get().Shutdown(); }
