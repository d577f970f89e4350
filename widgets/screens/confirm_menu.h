#pragma once
// ConfirmMenu: a dialog playing the standard "confirm_menu" script with a
// title, a text and the texts of its two buttons; "ok" confirms, every other
// action is the dialog's. ConfirmQuitMenu asks whether to quit and shuts the
// application down when confirmed. Main thread only.

#include <string>

#include "widgets/screens/dialog_menu.h"

class ConfirmMenu : public DialogMenu {
public:
    ConfirmMenu(const std::wstring& title, const std::wstring& text, const std::wstring& okText,
                const std::wstring& cancelText, Menu* parent);

    // Closes the dialog here.
    virtual void Confirm();
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;
};

class ConfirmQuitMenu : public ConfirmMenu {
public:
    ConfirmQuitMenu();
    void Confirm() override;
};
