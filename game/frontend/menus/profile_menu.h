#pragma once
// The profile screen of the main menu. Its scene script "profile_menu" adds
// one row per profile slot with the word "add-profile"; a row is a
// ProfileNameWidget (a button labelled with the profile's name, into which
// the player types a new name) with the confirm button the script made for
// it. Choosing a named row selects that profile at once; choosing an empty
// row starts naming it, and Enter or the row's confirm button finish. The
// screen is left with "main" (saving the profiles) only while a named row is
// chosen; a save that failed is told (notice "profiles_not_saved") and the
// screen stays once. "delete" asks first (ConfirmDeleteMenu). Names follow
// the name rule.
// Main thread only.

#include <string>
#include <vector>

#include "widgets/controls/button_widget.h"
#include "widgets/controls/edit_widget.h"
#include "widgets/screens/confirm_menu.h"
#include "widgets/screens/menu.h"

class ProfileMenu;

class ProfileNameWidget : public ButtonWidget {
public:
    ProfileNameWidget(int x, int y, std::wstring_view type, const std::wstring& name, ProfileMenu* owner);

    void KeyChar(wchar_t c) override;
    void Select();
    void Deselect();
    void ClearName();

    bool IsPlaceholder() const { return isPlaceholder_; }

private:
    bool isPlaceholder_;
    ProfileMenu* owner_;
};

class ProfileMenu : public Menu, public EditListener {
public:
    ProfileMenu();
    ~ProfileMenu() override;

    int HandleCustomCommand(const AnimationStep& step) override;
    void AnimationFinished() override;
    void ButtonRelease(int id) override;
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;
    // Escape leaves as its Done/Back button does.
    std::wstring_view BackAction() const override { return L"main"; }

    void ApplySelectedName();
    void FinishEditing();
    // From the delete confirmation.
    void DeleteSelected();

    int GetSelected() const { return selected_; }
    const std::vector<ProfileNameWidget*>& NameWidgets() const { return nameWidgets_; }
    const std::vector<ButtonWidget*>& RowButtons() const { return rowButtons_; }

private:
    bool SelectedRowIsNamed() const;
    void AddProfileRow();

    std::vector<ProfileNameWidget*> nameWidgets_;
    std::vector<ButtonWidget*> rowButtons_;
    int selected_;
    bool unsavedTold_ = false;
};

class ConfirmDeleteMenu : public ConfirmMenu {
public:
    ConfirmDeleteMenu(const std::wstring& name, ProfileMenu* owner);
    void Confirm() override;

private:
    ProfileMenu* owner_;
};
