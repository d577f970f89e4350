#pragma once
// EnterNameMenu: the small dialog in which a new player names the first
// profile, shown over the title screen when no profile is selected. Enter or
// the OK button create and select the profile (names follow the name rule)
// and close the title screen, which brings the board and the main menu. With
// every slot taken nothing is created: a notice says so and the dialog stays.
// Main thread only.

#include <string>
#include <string_view>

#include "widgets/controls/edit_widget.h"
#include "widgets/screens/menu.h"

class ButtonWidget;
class EditWidget;
class TitleScreen;

class EnterNameMenu : public Menu, public EditListener {
public:
    // The title screen is not owned; null when none stands behind.
    explicit EnterNameMenu(TitleScreen* title);

    void AddedToManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    void ButtonRelease(int id) override;

    // Edit listener: Enter accepts; characters follow the name rule, and so
    // does the whole text after any change (a paste, an insertion inside).
    bool AllowKeyDown(int editId, int key) override;
    bool AllowKey(int editId, wchar_t c) override;
    bool AllowText(int editId, const std::wstring& text) override;

    // The line above the field: the question, or, once the name is as long
    // as a name may be, that no more letters fit.
    std::wstring Heading() const;

    EditWidget* GetNameEdit() const { return nameEdit_; }
    ButtonWidget* GetOkButton() const { return okButton_; }

private:
    void Accept();

    EditWidget* nameEdit_;
    ButtonWidget* okButton_;
    TitleScreen* title_;
};
